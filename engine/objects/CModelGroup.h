#pragma once
// A loaded model group file (extension "zep"): its <LIGHT> and <MATERIAL>
// blocks join the process-wide light and material lists, and each <MODEL>
// block becomes a COsgObject under the group's node.
//
// Material numbers in <APPLY_MATERIAL> and <APPLY_SUB_MATERIAL> are local to
// the file: the number plus the count of materials loaded before the file.
// Every loaded group stays in a process-wide list (which owns it) for the
// life of the content.

#include "COsgObject.h"

#include <osg/Group>
#include <osg/Referenced>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class COsgSettings;

class CModelGroup : public osg::Referenced
{
public:
    /// The developer's lighting map path of <ANISOTROPIC_EFFECT>, and the map
    /// shipped with the content that is used when that path does not exist.
    static const char* const kLightingMap;
    static const char* const kShippedLightingMap;

    /// Loads a model group file; the caller has made the file's folder the
    /// working folder. Null, after printing the reason, when the file cannot
    /// be opened, has no <MODEL> block, or one of its meshes does not load.
    static CModelGroup* Load(const std::string& fileName);

    static const std::vector<osg::ref_ptr<CModelGroup>>& Loaded();
    /// Drops every loaded group (tests, engine restart).
    static void ClearAll();

    /// The node the content object adds to its root node.
    osg::Group* GetNode() { return m_node.get(); }
    const std::vector<osg::ref_ptr<COsgObject>>& Objects() const { return m_objects; }
    const std::string& FileName() const { return m_fileName; }

protected:
    ~CModelGroup() override;

private:
    CModelGroup(const std::string& fileName);
    /// Reads one <MODEL> block; false when its mesh does not load.
    bool ReadModel(COsgSettings& reader, int materialBase);
    void ApplyTag(COsgSettings& reader, const std::string& tag, COsgObject* object, int materialBase);
    /// <SPLIT_ANIMATION> frames, <USE_SPLIT_ANI> segment, <ANIMATION_RATE> speed.
    void ApplyAnimationTag(COsgSettings& reader, const std::string& tag, COsgObject* object);

    static std::vector<osg::ref_ptr<CModelGroup>>& List();

    std::string m_fileName;
    osg::ref_ptr<osg::Group> m_node;
    std::vector<osg::ref_ptr<COsgObject>> m_objects;
};
