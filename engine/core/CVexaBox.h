#pragma once
// The engine's application object: the one object a host creates. It owns
// the window, the scene, the video, content and sound managers, the input
// plumbing, the text HUD and the splash screen.
//
// A host calls, all on one thread: the constructor, Init once, then Update
// and Render once per frame while Update returns true, then CleanUp, then
// the destructor.

#include "CBatchProgress.h"
#include "CEngineOptions.h"
#include "CHudSkin.h"
#include "CObjectManager.h"
#include "CRenderSurface.h"
#include "CSoundManager.h"
#include "CVideo.h"
#include "cHud.h"
#include "cSplash.h"

#include <osg/Group>
#include <osg/Image>
#include <osg/MatrixTransform>
#include <osg/Projection>
#include <osg/Texture2D>
#include <osg/Timer>
#include <osg/Vec4f>
#include <osg/ref_ptr>
#include <osgGA/EventQueue>
#include <osgGA/EventVisitor>
#include <osgGA/GUIEventHandler>
#include <osgUtil/SceneView>

#include <cstdint>
#include <functional>
#include <vector>
#include <list>
#include <memory>
#include <string>

class COsgSettings;
class CContentReload;
class CFrameRecorder;
class CHudContentBridge;
class CHudRegion;
class CNumRegion;
class CSliderValueRegion;
class CTextRegion;
class CVXObjectMenu;
class CVXSettingsRegion;
class CVec3InputRegion;
class CVecSliderRegion;
class CVideoRegion;
class CPoseExport;
class CTextureStore;
class MyActionAdapter;
class MyKeyboardMouseCallback;

/// Samples per second of the sound of recordings.
constexpr int kRecordedSoundRate = 44100;

class CVexaBox
{
public:
    CVexaBox();
    virtual ~CVexaBox();
    CVexaBox(const CVexaBox&) = delete;
    CVexaBox& operator=(const CVexaBox&) = delete;

    /// Builds everything; always true. A null window handle makes the engine
    /// open its own window. "--help" and "--version" print to standard output
    /// and build nothing; the first Update then returns false.
    bool Init(int argc, char** argv, const char* contentList, bool enableKeyCommands, bool useGui,
              bool useShadows, bool showDebugLayer, CRenderSurface::WindowHandle windowHandle = 0);
    /// One frame of logic; false means the host must stop. The argument is
    /// not used: time comes from the engine's own clock.
    bool Update(float);
    /// Draws one frame, writes the captures that are due (continuous, or a
    /// marker found again) from that frame, and swaps buffers.
    void Render();
    /// Stops and releases the subsystems and saves the settings.
    void CleanUp();

    CObjectManager* GetObjectManager() { return &m_objectManager; }
    CVideo* GetVideoManager() { return &m_videoManager; }
    CSoundManager* GetSoundManager() { return &m_soundManager; }
    CRenderSurface* GetRenderSurface() { return m_renderSurface.get(); }
    osgUtil::SceneView* GetSceneView() { return m_sceneView.get(); }
    cHud* GetHud() { return &m_hud; }
    MyKeyboardMouseCallback* GetKeyboardMouseCallback() { return m_keyboardMouseCallback.get(); }

    void ToggleFullScreen();
    void ToggleFlipScreen();
    void ToggleThresholdView();
    void ToggleShowHelp();
    void RealiseWnd();
    void LoadDefaultLghts();

    void ReadInitSettings();
    void ReadSettings();
    /// Rewrites the settings file whole; false (and one log line) when it
    /// could not be written, the old file then being kept.
    bool WriteSettings();

    void CheckButtons();
    void SetObjEditToCurrent();

    // The 3D GUI (with useGui): the menu page, the object-edit page, and
    // what the settings file adds (settings panel, static toolbar, saver).
    void BuildGUI(float width, float height);
    /// Applies the object-edit widgets' changes and the scan button.
    void CheckGUI();
    const CHudSkin& GetHudSkin() const { return m_hudSkin; }
    CVXObjectMenu* GetMainMenu() const { return m_mainMenu.get(); }
    CSliderValueRegion* GetRotSmoothSlider() const { return m_rotSmoothSlider.get(); }
    CSliderValueRegion* GetTransSmoothSlider() const { return m_transSmoothSlider.get(); }
    CSliderValueRegion* GetConfSlider() const { return m_confSlider.get(); }
    CVec3InputRegion* GetPosInput() const { return m_posInput.get(); }
    CVecSliderRegion* GetRotSliders() const { return m_rotSliders.get(); }
    CNumRegion* GetScaleInput() const { return m_scaleInput.get(); }
    CVXSettingsRegion* GetSettingsMenu() const { return m_settingsRegion.get(); }
    CVXObjectMenu* GetStaticToolbar() const { return m_staticToolbar.get(); }
    CVideoRegion* GetScreenSaver() const { return m_saverVideo.get(); }
    CHudRegion* GetScreenSaverBackground() const { return m_saverBackground.get(); }
    bool IsEditPageOpen() const { return m_editPageOpen; }
    /// Where the object-edit page puts its six labels and widgets on a
    /// screen of width × height: (x, y, w, h) of label 0, widget 0, label 1, ...
    /// ("Rot S", "Trans S", "Min Conf", "Pos", "Rot", "Scale").
    static std::vector<osg::Vec4f> EditPageBoxes(float width, float height);
    bool GetUseGui() const { return m_useGui; }
    float GetIdleTime() const { return m_idleTime; }
    float GetScreenSaverTimeout() const { return m_screenSaverTimeout; }

    // Captures and the threshold scan.
    void CaptureSingleFrame();
    bool ToggleCapture();
    bool IsCapturing() const { return m_capturing; }
    void SetCapturePath(const std::string& path);
    const std::string& GetCapturePath() const { return m_capturePath; }
    /// The single-capture file name for a capture number.
    static std::string SingleCaptureName(int number);
    /// Tries every fifth threshold, drawing each frame, and keeps the middle
    /// of the range that saw the most markers.
    void AutoScan();
    /// The scan's result from the marker counts at thresholds 0, 5, ... 255
    /// (the fallback when no count is above zero).
    static int ScanResult(const std::vector<int>& counts, int fallback);

    // State a host or a test may inspect.
    bool IsInitialised() const { return m_initialised; }
    const CEngineOptions& GetOptions() const { return m_options; }
    const std::string& GetSettingsPath() const { return m_settingsPath; }
    void SetSettingsPath(const std::string& path) { m_settingsPath = path; }
    const std::string& GetHelpText() const { return m_helpText; }
    const osg::Vec4f& GetClearColor() const { return m_clearColor; }
    int GetShadowMapResolution() const { return m_shadowMapResolution; }
    const std::string& GetCameraConfig() const { return m_cameraConfig; }
    int GetCaptureCount() const { return m_captureCount; }
    bool GetCaptureNewOn() const { return m_captureNewOn; }
    bool GetRotateSettings() const { return m_rotateSettings; }
    bool GetShowMouse() const { return m_showMouse; }
    bool IsFlipped() const { return m_flipped; }
    bool IsFullScreen() const { return m_fullScreen; }
    int GetScreenWidth() const { return m_screenWidth; }
    int GetScreenHeight() const { return m_screenHeight; }
    /// Reference time of the last frame stamp, seconds.
    double GetReferenceTime() const { return m_referenceTime; }
    float GetLastTimeStep() const;

private:
    static std::string BuildHelpText();
    void RunAlwaysActiveKeys(const std::function<bool(int)>& pressed);
    void RunEditKeys(const std::function<bool(int)>& pressed);
    void RunTrackerKeys(const std::function<bool(int)>& pressed);
    void SaveSelectedObject();
    void ToggleEditPage();
    void FillHudSkin();
    void BuildEditPage(float width, float height);
    void CreateScreenSaver();
    void CreateSettingsMenu();
    void CreateStaticToolbar();
    void RegisterTopLevel(CHudRegion* region);
    void UpdateScreenSaver(float timeStep);
    void WakeFromScreenSaver();
    void CaptureScreen();
    void CheckForNewInstanceCapture();
    bool WriteCapture(const std::string& path, int width, int height, bool durable = true);
    void RenderFrame(bool capture);
    // Recording, the pose file and the progress line of unattended runs.
    void StartBatchOutputs();
    void StartRecording();
    void StartPoseExport();
    void RecordFrame();
    void ExportPoses();
    void RenderSound(float seconds);
    void ReportBatchFailures();
    void FinishBatchOutputs();
    void ApplyBackgroundView();
    /// Hands the threshold view the tracker's own picture while local thresholding is on.
    void ShowTrackersPicture();
    static osg::Texture2D* MakeCameraTexture(CVideoStream* stream);
    void CreateRenderSurface();
    void CreateSceneView();
    void BuildScene(const char* contentList);
    void CreateInput();
    void StartClock();
    float AdvanceClock(double& referenceTime);
    void DispatchEvents(double referenceTime);
    void ApplySettingsLine(COsgSettings& file, const std::string& tag);

    // Presentation
    cSplash m_splash;
    cHud m_hud;
    std::string m_helpText;

    // Start-up state
    bool m_initialised = false;
    bool m_infoOnly = false;  // "--help" or "--version": nothing was built
    bool m_enableKeyCommands = false, m_useGui = false, m_useShadows = false, m_showDebugLayer = false;
    CRenderSurface::WindowHandle m_windowHandle = 0;
    int m_screenWidth = 800, m_screenHeight = 600;  // pixels
    CEngineOptions m_options;

    // Clock
    int64_t m_counterStart = 0, m_counterFrequency = 1;
    osg::Timer_t m_startTick = 0;
    bool m_fixedTimeStep = false;
    double m_referenceTime = 0.0;  // seconds
    unsigned int m_framesUpdated = 0;

    // Paths and names
    std::string m_contentFolder = "models";
    std::string m_settingsPath = "../Data/VexaSettings.tsf";
    std::string m_cameraConfig;
    std::string m_staticToolbarName = "NONE";
    std::string m_screenSaverVideo;

    // Scene and window
    osg::ref_ptr<CRenderSurface> m_renderSurface;
    osg::ref_ptr<osgUtil::SceneView> m_sceneView;
    osg::ref_ptr<osg::Group> m_rootGroup;
    osg::ref_ptr<osg::Group> m_sceneGroup;
    osg::ref_ptr<osg::Projection> m_projectionNode;
    osg::ref_ptr<osg::MatrixTransform> m_viewTransform;
    osg::Vec4f m_clearColor{0.5f, 0.5f, 0.6f, 1.0f};
    int m_shadowMapResolution = 1024;  // texels
    bool m_flipped = false, m_fullScreen = false;

    // Input plumbing
    osg::ref_ptr<MyKeyboardMouseCallback> m_keyboardMouseCallback;
    std::unique_ptr<MyActionAdapter> m_actionAdapter;
    osg::ref_ptr<osgGA::EventVisitor> m_eventVisitor;
    osg::ref_ptr<osgGA::EventQueue> m_eventQueue;
    std::list<osg::ref_ptr<osgGA::GUIEventHandler>> m_eventHandlers;

    // Owned subsystems
    CVideo m_videoManager;
    CObjectManager m_objectManager;
    CSoundManager m_soundManager;
    CTextureStore* m_textureStore = nullptr;

    // Settings-backed members
    bool m_showMouse = false, m_rotateSettings = false, m_useScreenSaver = false;
    float m_screenSaverTimeout = 30.f;  // seconds

    // Screen saver and page fade
    float m_idleTime = 0.f;  // seconds
    bool m_editPageOpen = false;
    double m_pageFade[3] = {0.0, 0.9, 0.2};  // low alpha, high alpha, seconds

    // The 3D GUI: all null until built. The HUD's region manager keeps
    // pointers to these; the engine owns them.
    CHudSkin m_hudSkin;
    std::unique_ptr<CHudContentBridge> m_hudContent;
    std::unique_ptr<CVXObjectMenu> m_mainMenu;
    std::unique_ptr<CSliderValueRegion> m_rotSmoothSlider, m_transSmoothSlider, m_confSlider;
    std::unique_ptr<CVec3InputRegion> m_posInput;
    std::unique_ptr<CVecSliderRegion> m_rotSliders;
    std::unique_ptr<CNumRegion> m_scaleInput;
    std::vector<std::unique_ptr<CTextRegion>> m_editLabels;
    std::unique_ptr<CVXSettingsRegion> m_settingsRegion;
    std::unique_ptr<CVXObjectMenu> m_staticToolbar;
    std::unique_ptr<CVideoRegion> m_saverVideo;
    std::unique_ptr<CHudRegion> m_saverBackground;

    // Captures
    bool m_capturing = false;
    int m_captureFrame = 0;
    osg::ref_ptr<osg::Image> m_captureImage;
    osg::ref_ptr<osg::Image> m_thresholdPicture;  // the tracker's picture for the threshold view
    int m_captureCount = 0;
    bool m_captureNewOn = false;
    std::string m_capturePath;

    // Recording ("-record:"), the pose file ("-poses:"), the progress line
    std::unique_ptr<CFrameRecorder> m_recorder;
    std::unique_ptr<CPoseExport> m_poseExport;
    std::unique_ptr<CContentReload> m_contentReload;  // "-watch"; null without it
    CBatchProgress m_progress;
    int64_t m_recordedFrames = 0;     // frames handed to the recorder
    int64_t m_lastRecordTime = -1;    // frame time of the last recorded frame
    double m_recordStart = 0.0;       // reference time of the recording's start, seconds
    unsigned long long m_analysedFrames = 0;  // the tracker's count when the poses were last written
    bool m_poseFailureReported = false;
    double m_soundTime = 0.0;          // seconds of the mix due
    int64_t m_soundRendered = 0;       // sample frames of the mix rendered
    std::vector<int16_t> m_soundBlock; // one frame's mix
};
