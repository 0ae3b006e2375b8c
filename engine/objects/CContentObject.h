#pragma once
// One piece of content that can be shown on a marker: its models (plain
// model files read through osgDB, or model group files "*.zep"), their
// materials and effects, and its entities. Built from one <ENTITY> block of a
// content data file; the content manager owns every object for its whole life.
//
// What the content manager (and the menus and panels) may call:
//   construction                         CContentObject()
//   Load(id, reader)                      reads the <ENTITY> block the reader stands on
//   GetRootNode()                         placement node; goes under the marker transform
//   GetSecondNode()                       icon, sound, bubble and trail nodes; goes under
//                                         the marker's auxiliary group
//   GetId(), GetName(), GetGroup(), GetMarker(), GetIcon(), GetIconTexture(),
//   GetModels(), GetEntities(), GetTranslation(), GetRotation(), GetScale(), GetFileScale()
//   SetTranslation(x, y, z)               marker units
//   SetRotation(x, y, z)                  radians about x, y, z
//   SetScale(s)                           uniform
//   Update(seconds, marker state)         every frame while bound
//   SetDistance(d), IsVisible(), GetDistance()
//   Trigger(keys)                         the frame's key characters
//   CleanUp()                             once at shut-down
//   SaveSettings(file name)               writes the object as an <ENTITY> block
//
// The root node's matrix is always scale x rotation x translation (row
// vectors): a model point is scaled, then turned about x, then y, then z,
// then moved, in the marker's frame.
//
// Messages about bad content go to standard output; loading never stops
// early and a model that does not load simply leaves no model entry.

#include "CMarkerEntity.h"
#include "ModelEntry.h"

#include <osg/Group>
#include <osg/Matrixd>
#include <osg/MatrixTransform>
#include <osg/Texture2D>
#include <osg/Vec3d>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CEffect;
class COsgSettings;

class CContentObject
{
public:
    CContentObject();
    virtual ~CContentObject();
    CContentObject(const CContentObject&) = delete;
    CContentObject& operator=(const CContentObject&) = delete;

    /// Passes a copy of the keys to every entity's Trigger.
    virtual void Trigger(std::vector<int> keys);
    /// Calls every entity's CleanUp.
    virtual void CleanUp();

    /// Stores the id, makes the nodes and reads the block whose <ENTITY> line
    /// the reader stands on. Leaves the reader on the block's </ENTITY> line,
    /// or on its last line when the block is not closed (it then ends where
    /// the next <ENTITY>, <VEXA_MARKER> or <OBJECT_GROUP> begins); never on
    /// an earlier line, so the caller can search on for the next block.
    /// False only when the block was not closed.
    bool Load(int id, COsgSettings& reader);

    void SetTranslation(double x, double y, double z);
    void SetRotation(double x, double y, double z);
    void SetScale(double s);

    /// Stores the marker's visible flag and calls every entity's update.
    void Update(float seconds, const MarkerState& state);

    /// Writes the object as an entity block, replacing the file only when the
    /// whole block was written. False (with a message) when it cannot be written.
    bool SaveSettings(const std::string& fileName);

    int GetId() const { return m_id; }
    const std::string& GetName() const { return m_name; }
    const std::string& GetGroup() const { return m_group; }
    const std::string& GetMarker() const { return m_marker; }
    const std::string& GetIcon() const { return m_icon; }
    osg::Texture2D* GetIconTexture() { return m_iconTexture.get(); }
    const std::string& GetVideoInfo() const { return m_videoInfo; }
    osg::MatrixTransform* GetRootNode() { return m_rootNode.get(); }
    osg::Group* GetSecondNode() { return m_secondNode.get(); }
    osg::Group* GetSpareGroup() { return m_spareGroup.get(); }
    const std::vector<ModelEntry*>& GetModels() const { return m_models; }
    const std::vector<CMarkerEntity*>& GetEntities() const { return m_entities; }
    const std::vector<CEffect*>& GetEffectGroups() const { return m_effectGroups; }

    osg::Vec3d GetTranslation() const { return osg::Vec3d(m_translation[0], m_translation[1], m_translation[2]); }
    osg::Vec3d GetRotation() const { return osg::Vec3d(m_rotation[0], m_rotation[1], m_rotation[2]); }  // radians
    double GetScale() const { return m_scale; }
    double GetFileScale() const { return m_fileScale; }
    const osg::Matrixd& GetScaleMatrix() const { return m_scaleMatrix; }
    const osg::Matrixd& GetRotationMatrix() const { return m_rotationMatrix; }
    const osg::Matrixd& GetTranslationMatrix() const { return m_translationMatrix; }

    bool IsLoaded() const { return m_loaded; }
    bool IsVisible() const { return m_visible; }
    void SetDistance(float distance) { m_distance = distance; }
    float GetDistance() const { return m_distance; }
    int GetViewWidth() const { return m_viewWidth; }
    int GetViewHeight() const { return m_viewHeight; }

private:
    void Reset();
    void ApplyEntityLine(COsgSettings& reader, const std::string& tag);
    void LoadModelBlock(COsgSettings& reader);
    void ApplyModelLine(COsgSettings& reader, const std::string& tag, ModelEntry*& current);
    /// Builds the entity of an <ANI_CONTROL>, <VIDEO_MAT> or <TRACE_PARTICLE>
    /// block of `model` and attaches it.
    void AttachModelEntity(const std::string& tag, const std::vector<CTagBlock::KeptLine>& block, osg::Node* model);
    ModelEntry* LoadModel(const std::string& path);
    void LoadShadowCompMat(COsgSettings& reader, ModelEntry* current);
    void LoadIcon(const std::string& file);
    void LoadCharacter(COsgSettings& reader);
    void UpdateRootMatrix();
    std::string ReadWord(COsgSettings& reader, const std::string& tag, const std::string& fallback);
    void WriteModel(COsgSettings& writer, const ModelEntry& entry) const;

    int m_id = 0;
    std::string m_name = "NONE";
    std::string m_group = "NONE";
    std::string m_marker = "NONE";
    std::string m_icon;
    osg::ref_ptr<osg::Group> m_secondNode;
    osg::ref_ptr<osg::Group> m_spareGroup;
    std::vector<CMarkerEntity*> m_entities;  // owned
    osg::ref_ptr<osg::MatrixTransform> m_rootNode;
    osg::Matrixd m_scaleMatrix, m_translationMatrix, m_rotationMatrix;
    double m_translation[3] = {0.0, 0.0, 0.0};
    double m_rotation[3] = {0.0, 0.0, 0.0};  // radians
    double m_scale = 1.0;
    double m_fileScale = 1.0;
    bool m_visible = false;
    float m_distance = 0.f;
    bool m_loaded = false;
    int m_viewWidth = 800, m_viewHeight = 600;
    osg::ref_ptr<osg::Texture2D> m_iconTexture;
    std::string m_videoInfo;
    std::vector<ModelEntry*> m_models;      // owned
    std::vector<CEffect*> m_effectGroups;   // not owned (the effect library keeps them)

    // Lines kept so that writing the object back loses nothing: <EFFECT_GROUP>
    // blocks that made no group (written before the models, which may name
    // them) and the <CHARACTER> blocks (after).
    std::vector<CTagBlock::KeptLine> m_keptEffectGroups;
    std::vector<CTagBlock::KeptLine> m_keptEntities;
};
