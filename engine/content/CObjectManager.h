#pragma once
// The content manager: owns the tracker, the tracked markers, the content
// objects and the object groups, and the scene node all content hangs under.
// Built once by InitNewTricks at engine start-up.

#include "SquareTracker.h"

#include <osg/Group>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class cSplash;
class CVideoStream;

class CObjectManager
{
public:
    CObjectManager();  // creates the tracker with its default settings
    virtual ~CObjectManager();  // creates the tracker with its default settings

    /// Creates the tracker, reads the content set and binds objects to
    /// markers. 1 on success, 0 when the tracker could not be made.
    int InitNewTricks(int, const std::string& folder, int videoWidth, int videoHeight, int viewWidth,
                      int viewHeight, cSplash* splash, const std::string& contentFile, bool debugFolder);
    bool InitTracker(int videoWidth, int videoHeight);

    /// The data files of the content set: every entry of `folder` when
    /// `debugFolder` is set, else the <ASSET_FILE> names of the content file.
    std::vector<std::string> GetFileList(const std::string& folder, const std::string& contentFile,
                                         bool debugFolder);

    void BuildHiderOverLay(int videoWidth, int videoHeight, osg::Group* root);
    /// Hands the stream's frame to the tracker and updates it.
    void UpdateTracker(CVideoStream* stream);
    void UpdateTracker();
    void Update(float timeStep, float);
    void CleanUp();
    void ToggleMirrorObjects() { m_mirrored = !m_mirrored; }

    void SetCameraParamFile(const std::string& path) { m_cameraParamFile = path; }
    const std::string& GetCameraParamFile() const { return m_cameraParamFile; }

    osg::Group* GetSceneNode() { return m_sceneNode.get(); }
    SquareTracker* GetTracker() { return m_tracker.get(); }

    void SetPatternDetectionMode(int mode);
    int GetPatternDetectionMode() const;

private:
    int m_viewWidth = 800, m_viewHeight = 600;      // pixels
    float m_videoWidth = 640.f, m_videoHeight = 480.f;  // pixels
    osg::ref_ptr<SquareTracker> m_tracker;
    std::string m_cameraParamFile = "Data/camera_para.dat";
    CVideoStream* m_currentStream = nullptr;
    osg::ref_ptr<osg::Group> m_objectStore;
    osg::ref_ptr<osg::Group> m_sceneNode;
    bool m_mirrored = false;
};
