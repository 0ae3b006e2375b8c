#pragma once
// One marker of the content set that the tracker accepted: its tracker
// marker, pose filter and transform node, the content object shown on it,
// its visibility and motion bookkeeping, and its optional hider patch.
// Owned by the content manager; the object is not owned.

#include "MarkerState.h"

#include "BaseMarker.h"
#include "MarkerTransform.h"
#include "TransformFilterCallback.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Group>
#include <osg/Texture2D>
#include <osg/ref_ptr>

#include <string>

class CContentObject;

class CTrackedMarker
{
public:
    CTrackedMarker();

    /// Keeps the marker, attaches the pose filter and makes the transform.
    void Setup(BaseMarker* marker, CContentObject* object, const std::string& name, const std::string& group, int id);
    /// Builds the marker's own geometry: a hider patch or a plain quad.
    void SetupGeometry(bool generateGeometry, bool useHider, int hiderType, int videoWidth, int videoHeight,
                       const std::string& alphaMap);

    /// Adds the object's nodes without removing any (null changes nothing).
    void SetObject(CContentObject* object);
    /// Replaces the bound object, telling the old one its marker went away
    /// and the new one that it appeared.
    void ChangeObject(CContentObject* object);

    /// The visibility step, from the tracker marker's validity.
    void UpdateVisibility();
    /// Timers, motion analysis, state record and the bound object's update.
    void Update(float dt);

    const std::string& GetName() const { return m_name; }
    const std::string& GetGroup() const { return m_group; }
    int GetId() const { return m_id; }
    CContentObject* GetObject() const { return m_object; }
    BaseMarker* GetMarker() const { return m_marker.get(); }
    MarkerTransform* GetTransform() const { return m_transform.get(); }
    osg::Group* GetAuxGroup() const { return m_auxGroup.get(); }
    TransformFilterCallback* GetFilter() const { return m_filter.get(); }
    const MarkerState& GetState() const { return m_state; }

    bool IsVisible() const { return m_visible; }
    bool HasReappeared() const { return m_reappeared; }
    float GetVisibleTime() const { return m_visibleTime; }
    float GetInvisibleTime() const { return m_invisibleTime; }
    int GetAppearCount() const { return m_appearCount; }
    int GetLostLong() const { return m_lostLong; }
    void ForceReappear() { m_forceReappear = true; }
    /// Reads and clears the object-changed flag.
    bool TakeObjectChanged();
    int GetSwingState() const { return m_swingState; }

    int GetAutoSwapMode() const { return m_autoSwapMode; }
    void SetAutoSwapMode(int mode) { m_autoSwapMode = mode; }
    float GetHiderScale() const { return m_hiderScale; }
    void SetHiderScale(float scale) { m_hiderScale = scale; }
    float GetFinScale() const { return m_finScale; }
    void SetFinScale(float scale) { m_finScale = scale; }
    bool HasGeometry() const { return m_generateGeometry; }
    bool UsesHider() const { return m_useHider; }
    int GetHiderType() const { return m_hiderType; }
    osg::Geode* GetHiderGeode() const { return m_hiderGeode.get(); }

    void SetRotationSmoothing(float factor);
    void SetTranslationSmoothing(float factor);

    /// The hider patch for the marker's last corners (image pixels, y up).
    void UpdateHider();

private:
    void UpdateMotion(float dt);
    void FillState(bool wasVisible);
    void SetStateFor(bool visible);
    void BuildHider(int videoWidth, int videoHeight, const std::string& alphaMap);
    void BuildPlainQuad();
    void FillFanPatch(const osg::Vec2f c[4], const osg::Vec2f& centre);
    void FillSplitPatch(const osg::Vec2f c[4], const osg::Vec2f& centre);
    void SetPatchVertex(int index, const osg::Vec2f& position, const osg::Vec2f& sample, const osg::Vec2f& alpha);
    osg::Vec2 PictureCoord(const osg::Vec2f& p) const;

    std::string m_name = "NONE", m_group = "NONE";
    int m_id = -1;
    int m_autoSwapMode = 0;
    osg::ref_ptr<MarkerTransform> m_transform;
    osg::ref_ptr<BaseMarker> m_marker;
    osg::ref_ptr<TransformFilterCallback> m_filter;
    CContentObject* m_object = nullptr;
    osg::ref_ptr<osg::Group> m_auxGroup, m_spareGroup;

    MarkerState m_state;
    osg::Matrixd m_previousMatrix, m_currentMatrix;  // poses at the previous and the last update
    bool m_objectChanged = false;
    bool m_visible = false, m_reappeared = false, m_forceReappear = false;
    float m_visibleTime = 0.f, m_invisibleTime = 0.f;  // seconds
    int m_appearCount = 0;
    int m_lostLong = 1;

    // Motion (the swing gesture), marker translation in camera space (mm).
    float m_speed = 0.f, m_previousSpeed = 0.f;
    osg::Vec3f m_position, m_previousPosition, m_direction, m_previousDirection, m_summedDirection;
    float m_travel = 0.f;
    int m_stepCount = 0, m_dominantAxis = 0, m_axisSign = 0;
    int m_swingState = 0;

    // Hider patch.
    osg::ref_ptr<osg::Geode> m_hiderGeode;
    osg::ref_ptr<osg::Geometry> m_hiderGeometry;
    osg::ref_ptr<osg::Vec3Array> m_hiderVertices;
    osg::ref_ptr<osg::Vec2Array> m_hiderTexCoords;   // camera picture, unit 0
    osg::ref_ptr<osg::Vec2Array> m_hiderAlphaCoords;  // alpha map, unit 1
    bool m_generateGeometry = false, m_useHider = false;
    int m_hiderType = 0;
    float m_hiderScale = 1.5f, m_finScale = 0.25f;
    float m_videoWidth = 640.f, m_videoHeight = 480.f;  // pixels
};
