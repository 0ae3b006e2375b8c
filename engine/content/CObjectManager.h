#pragma once
// The content manager: owns the tracker, the tracked markers, the content
// objects and the object groups, and the scene node all content hangs under.
// It loads the content set once (InitNewTricks), binds objects to markers,
// follows every marker frame by frame, keeps the selection, offers the edit
// and switch operations of the keys and menus, and builds the marker hider
// overlay. Everything runs on the engine's thread.

#include "CTrackedMarker.h"
#include "MarkerState.h"
#include "ObjectGroup.h"
#include "SquareTracker.h"

#include <osg/Group>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CLoadProgress;
class CContentObject;
class COsgSettings;
class CVideoStream;

namespace osgUtil
{
class SceneView;
}

class CObjectManager
{
public:
    CObjectManager();  // creates the tracker with its default settings
    virtual ~CObjectManager();
    CObjectManager(const CObjectManager&) = delete;
    CObjectManager& operator=(const CObjectManager&) = delete;

    // ---- loading ----
    /// Creates the tracker, reads the content set and binds objects to
    /// markers. 1 on success, 0 when the tracker could not be made.
    int InitNewTricks(int, const std::string& folder, int videoWidth, int videoHeight, int viewWidth,
                      int viewHeight, CLoadProgress* splash, const std::string& contentFile, bool debugFolder);
    bool InitTracker(int videoWidth, int videoHeight);
    /// The data files of the content set: every entry of `folder` when
    /// `debugFolder` is set, else the <ASSET_FILE> names of the content file.
    std::vector<std::string> GetFileList(const std::string& folder, const std::string& contentFile,
                                         bool debugFolder);
    /// Reads one marker block; the reader stands on its <VEXA_MARKER> line.
    void LoadMarker(COsgSettings* reader);
    /// Takes over the content that `fresh` loaded (InitNewTricks): its tracker,
    /// markers, objects and groups replace this manager's, which go to `fresh`
    /// (to be destroyed with it). This manager's scene node and hider overlay
    /// stay in the scene with the new content in them; the tracker keeps its
    /// threshold and settings and image source; the selected marker (by name,
    /// else by position) and the object on it (by name) stay selected.
    void TakeContent(CObjectManager& fresh);
    void SetCameraParamFile(const std::string& path) { m_cameraParamFile = path; }
    const std::string& GetCameraParamFile() const { return m_cameraParamFile; }

    // ---- binding and lookup ----
    bool HookUpByName();
    bool HookUpByGroup();
    bool HooUpRandom() { return true; }
    bool HookThisObjectToAllGroupMarkers(CContentObject* object);
    bool HookThisObjectToAllGroupMarkers(int index);
    bool HookThisObjectToAllGroupMarkers(const std::string& name);
    CContentObject* FindObjectByName(const std::string& name) const;
    CTrackedMarker* FindMarkerByName(const std::string& name) const;
    std::vector<CContentObject*> FindObjectsInGroup(const std::string& group) const;
    std::vector<CTrackedMarker*> FindMarkersInGroup(const std::string& group) const;
    std::vector<std::string> GetGroupNames() const;
    CContentObject* GetNextObjectByID(CContentObject* object) const;
    CContentObject* GetNextObjectInGroup(CContentObject* object) const;
    CContentObject* GetPreviousObjectInGroup(CContentObject* object) const;

    // ---- selection and editing ----
    CTrackedMarker* GetSelectedMarker() const { return m_selected; }
    CContentObject* GetSelectedObject() const;
    void FindNewSelection();
    void ChangeCurrentObject(bool next);
    void ScaleObject(bool up);
    void SetObjectScale(float scale);
    void RotateObject(bool positive, int axis);
    void SetObjectRotation(float xDeg, float yDeg, float zDeg);
    void TranslateObject(float x, float y, float z);
    void TranslateObject(const osg::Vec3f& v) { TranslateObject(v.x(), v.y(), v.z()); }

    // ---- per frame ----
    /// Hands the stream's frame to the tracker and updates it.
    void UpdateTracker(CVideoStream* stream);
    void UpdateTracker();
    void Update(float dt, int);
    void Trigger(const std::vector<int>& keys);
    /// Markers visible after the last Update.
    int GetNumFoundMarkers() const { return m_visibleCount; }
    void CleanUp();

    // ---- tracker controls ----
    int GetThresholdValue() const;
    void SetThresholdValue(int value);
    void IncreaseThreshold();
    void DecreaseThreshold();
    bool GetUseAuto() const;
    void SetUseAuto(bool on);
    int GetAutoStepSize() const;
    void SetAutoStepSize(int size);
    int GetMaxAutoSteps() const;
    void SetMaxSteps(int steps);
    float GetConfTol() const;
    void SetConfTol(float tolerance);
    void SetPatternDetectionMode(int mode);
    int GetPatternDetectionMode() const;
    bool SaveTargetPattern();
    const double* GetTrackerProjection() const;
    osg::Node* BuildTrackerDebugLayer(const osg::Vec2f& size);
    void ToggleTrakerDebugView();
    /// Tries every fifth threshold, drawing each, and keeps the last one that
    /// saw the most markers.
    void AutoScan(osgUtil::SceneView* viewer);
    void ToggleTrackerPause() { m_trackerPaused = !m_trackerPaused; }

    // ---- hider and overlays ----
    osg::Node* BuildDebugView(int width, int height);
    osg::Texture2D* BuildMarkerHiderTexture(int width, int height, osg::Group* sceneGroup);
    osg::Node* BuildHiderOverLay(int width, int height, osg::Group* sceneGroup);
    void ToggleHiderVisible();
    /// While the picture under the overlay is not the camera picture (the
    /// video is hidden, or the threshold view shows what the tracker sees),
    /// the patches are not drawn; the user's own switch is kept apart.
    void SetHiderSuppressed(bool suppressed);
    bool IsHiderSuppressed() const { return m_hiderSuppressed; }
    osg::Group* GetHiderOverlay() { return m_hiderOverlay.get(); }

    // ---- other ----
    void ToggleMirrorObjects();
    void SwapObjects(int, int) {}
    void SwapObjects(CTrackedMarker*, CTrackedMarker*) {}
    void ChangeEffectColor(bool) {}
    void SetSaveFlag(bool on) { m_saveFlag = on; }
    void SaveSelectedSettings(const std::string& fileName);

    osg::Group* GetSceneNode() { return m_sceneNode.get(); }
    SquareTracker* GetTracker() { return m_tracker.get(); }
    const SquareTracker* GetTracker() const { return m_tracker.get(); }
    std::vector<ObjectGroup*> GetGroups() const { return m_groups; }
    int GetNumTrackedMarkers() const { return static_cast<int>(m_markers.size()); }
    CTrackedMarker* GetTrackedMarker(int i) const;
    int GetNumObjects() const { return static_cast<int>(m_objects.size()); }
    CContentObject* GetObject(int i) const;

private:
    void LoadDataFile(const std::string& path);
    void LoadEntities(COsgSettings& file);
    void LoadGroups(COsgSettings& file);
    CTrackedMarker* RequireSelectedObject() const;
    void KeepTrackerSettings(SquareTracker& next) const;
    void KeepSelection(const std::string& markerName, int markerIndex, const std::string& objectName);

    int m_viewWidth = 800, m_viewHeight = 600;          // pixels
    osg::ref_ptr<SquareTracker> m_tracker;
    std::string m_cameraParamFile = "Data/camera_para.dat";
    float m_videoWidth = 640.f, m_videoHeight = 480.f;  // pixels
    CVideoStream* m_currentStream = nullptr;
    osg::ref_ptr<osg::Group> m_objectStore;
    osg::ref_ptr<osg::Group> m_sceneNode;
    std::vector<CContentObject*> m_objects;   // owned
    std::vector<ObjectGroup*> m_groups;       // owned
    std::vector<CTrackedMarker*> m_markers;   // owned
    CTrackedMarker* m_selected = nullptr;
    bool m_trackerPaused = false;
    bool m_saveFlag = false;
    int m_visibleCount = 0;
    bool m_mirrored = false;  // flipped by ToggleMirrorObjects; nothing draws it yet
    osg::ref_ptr<osg::Group> m_hiderGeodes;
    osg::ref_ptr<osg::Group> m_hiderOverlay;
    osg::ref_ptr<osg::Node> m_hiderOverlayRoot;  // parent of m_hiderOverlay; masked while suppressed
    bool m_hiderSuppressed = false;
};
