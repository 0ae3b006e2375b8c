#pragma once
// A skinned character on the Cal3D library: its skeleton, mesh, animations
// and materials named by a skin configuration file, one instance of it, its
// actions and cycles, and the scene node that draws it.
//
// Skin configuration file (tag file):
//
//   <SKIN_CONFIG>
//       <SKELETON> models/characters/walker/walker.xsf   required
//       <MESH> models/characters/walker/walker.xmf       required
//       <ANIMATION> ... </ANIMATION>                     any number (CSkinnedAnimation)
//       <MATERIAL> models/characters/walker/walker.xrf   any number; in the mesh's material order
//       <TEX_DIR> models/characters/walker               where the materials' maps are; default
//                                                        "models/images"
//   </SKIN_CONFIG>
//
// File names are taken relative to the working folder, else to the skin
// configuration file's folder. Cal3D reads XML (.xsf .xmf .xaf .xrf) and
// binary (.csf .cmf .caf .crf) files.
//
// Messages (standard output): the skin configuration's own, as the file
// format prescribes ("Failed to load Skinned Model Config file : ...",
// "Skin config file '...' does not contain a <SKELETON> tag. Returning", ...),
// and for a Cal3D file that does not load or holds impossible data (bone or
// vertex numbers out of range) one line naming the file and the reason. A
// skeleton or mesh that does not load makes Load return null; an animation,
// material or texture that does not load is left out.
//
// Drawing: one osg::Geometry per submesh under a geode, skinned on the CPU in
// the update traversal by the frame's reference time (once per frame, also
// when the node is shown on two markers). The arrays are made once; each
// update writes the new pose into them, so nothing is allocated per frame,
// and the bounds follow the pose. Textures come from the materials' first map.
//
// Reference counted; the character entity holds it, the scene graph holds its
// node (which holds no reference back).

#include "CSkinnedAnimation.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Referenced>
#include <osg/ref_ptr>

#include <memory>
#include <string>
#include <vector>

class CalCoreModel;
class CalModel;
class COsgSettings;

class CSkinnedModel : public osg::Referenced
{
public:
    struct Config
    {
        std::string skeleton = "NULL";
        std::string mesh = "NULL";
        std::vector<CSkinnedAnimation> animations;
        std::vector<std::string> materials;
        std::string texDir = "models/images";
    };

    /// Reads the configuration and loads and instances the character; null
    /// after printing why.
    static osg::ref_ptr<CSkinnedModel> Load(const std::string& configFile);
    /// Reads a skin configuration file with its messages; false when the
    /// file, its <SKIN_CONFIG> block, its skeleton or its mesh is missing.
    static bool ReadConfig(const std::string& configFile, Config& config);

    osg::Geode* GetNode() { return m_geode.get(); }

    /// Plays an animation once, fading in and out over the given seconds
    /// (starting it again when it is already playing). False, doing nothing,
    /// for a name or index the character does not have.
    bool StartAction(const std::string& name, float fadeIn, float fadeOut);
    bool StartAction(int index, float fadeIn, float fadeOut);
    /// Ends an action at once; false when it is not found.
    bool StopAction(const std::string& name);
    /// Fades a looping cycle to `weight` over `delay` seconds (0 ends it).
    bool BlendCycle(const std::string& name, float weight, float delay);

    /// Advances the animations by `seconds` (not while paused) and skins the mesh.
    void Update(float seconds);
    void SetPaused(bool paused) { m_paused = paused; }
    bool IsPaused() const { return m_paused; }

    int GetAnimationCount() const { return int(m_animations.size()); }
    const CSkinnedAnimation& GetAnimation(int index) const { return m_animations.at(size_t(index)); }
    /// Index of the loaded animation with that name, or -1.
    int FindAnimation(const std::string& name) const;
    int GetBoneCount() const;
    const std::string& GetConfigFile() const { return m_configFile; }
    /// How many animations are running (actions and cycles) after the last update.
    int GetActiveAnimationCount() const;

protected:
    ~CSkinnedModel() override;

private:
    struct Submesh
    {
        int mesh = 0, submesh = 0;
        osg::ref_ptr<osg::Geometry> geometry;
        osg::ref_ptr<osg::Vec3Array> vertices, normals;
    };

    explicit CSkinnedModel(const std::string& configFile);
    bool LoadCore(const Config& config);
    bool LoadSkeleton(const std::string& file);
    bool LoadMesh(const std::string& file);
    void LoadAnimations(const std::vector<CSkinnedAnimation>& animations);
    void LoadMaterials(const std::vector<std::string>& files);
    bool CheckMesh(int meshId, const std::string& file);
    bool CheckAnimation(int animationId, const std::string& file);
    bool Instance();
    void BuildGeometry(const std::string& texDir);
    osg::StateSet* MaterialState(int submeshMaterialThread, const std::string& texDir);
    void Skin();
    void DetachNode();
    std::string Resolve(const std::string& file) const;
    void Report(const std::string& what) const;

    friend class CSkinnedModelUpdate;

    std::string m_configFile;
    std::unique_ptr<CalCoreModel> m_core;
    std::unique_ptr<CalModel> m_model;
    std::vector<CSkinnedAnimation> m_animations;
    std::vector<Submesh> m_submeshes;
    osg::ref_ptr<osg::Geode> m_geode;
    bool m_paused = false;
    int m_meshId = -1;
    int m_materialCount = 0;
};
