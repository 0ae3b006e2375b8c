#include "CVexaBox.h"

#include "CContentReload.h"
#include "CEffectLibrary.h"
#include "CFrameRecorder.h"
#include "CHighResCounter.h"
#include "CHudRegionManager.h"
#include "CLightRig.h"
#include "CMessageLog.h"
#include "COsgSettings.h"
#include "CPathResolver.h"
#include "CContentObject.h"
#include "CSystemInfo.h"
#include "CTextureStore.h"
#include "HudMarkerInputCallback.h"
#include "CHudContentBridge.h"
#include "CNumRegion.h"
#include "CSliderValueRegion.h"
#include "CTextRegion.h"
#include "CVXObjectMenu.h"
#include "CVXSettingsRegion.h"
#include "CVec3InputRegion.h"
#include "CVecSliderRegion.h"
#include "CVideoRegion.h"
#include "MyActionAdapter.h"
#include "MyKeyboardMouseCallback.h"
#include "PickHandler.h"
#include "CPoseExport.h"

#include <osg/FrameStamp>
#include <osgGA/StateSetManipulator>

#include <cstdio>

#ifndef VEXAMARK_VERSION
#define VEXAMARK_VERSION "0.0.0"
#endif

namespace
{
// Process-wide frame state: the frame counter, the last frame's time step and
// the frame clock's last reading, shared by every engine object.
unsigned int g_frameCounter = 0;
float g_lastTimeStep = 0.f;     // seconds
int64_t g_lastCounter = 0;

const double kFixedTimeStep = 0.0333;  // seconds per frame with "-FFMPEG"

void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
}

std::unique_ptr<CContentReload> startContentReload(CObjectManager& manager, cHud& hud, const CEngineOptions& options,
                                                   const char* contentList, CVideoStream* stream, int width, int height)
{
    CContentReload::Setup setup;
    setup.contentFolder = options.contentFolder;
    setup.contentList = contentList ? contentList : "";
    setup.debugFolder = options.debugFolder;
    setup.videoWidth = stream ? stream->s() : 640;
    setup.videoHeight = stream ? stream->t() : 480;
    setup.viewWidth = width;
    setup.viewHeight = height;
    std::unique_ptr<CContentReload> reload(new CContentReload(manager, hud, setup));
    reload->Start();
    return reload;
}

std::string programName(int argc, char** argv)
{
    if (argc < 1 || !argv || !argv[0]) return "Vexamark";
    const std::string path = argv[0];
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}

CVexaBox::CVexaBox() : m_helpText(BuildHelpText()), m_captureImage(new osg::Image) {}

CVexaBox::~CVexaBox() = default;  // the recorder and pose file are complete types in the .cpp

float CVexaBox::GetLastTimeStep() const
{
    return g_lastTimeStep;
}

bool CVexaBox::Init(int argc, char** argv, const char* contentList, bool enableKeyCommands, bool useGui,
                    bool useShadows, bool showDebugLayer, CRenderSurface::WindowHandle windowHandle)
{
    m_options = CEngineOptions::Parse(argc, argv);
    if (m_options.showHelp || m_options.showVersion)
    {
        if (m_options.showHelp)
            std::fputs(CEngineOptions::HelpText(programName(argc, argv)).c_str(), stdout);
        else
            std::printf("%s %s\n", programName(argc, argv).c_str(), VEXAMARK_VERSION);
        std::fflush(stdout);
        m_infoOnly = true;
        return true;
    }

    m_windowHandle = windowHandle;                                         // step 1
    log("VexaBox::Init()...");
    m_enableKeyCommands = enableKeyCommands || m_options.keyCommands;      // step 2
    m_useGui = useGui || m_options.gui;
    m_useShadows = useShadows;
    m_showDebugLayer = showDebugLayer;
    m_settingsPath = "Data/VexaSettings.tsf";                              // step 3
    m_fixedTimeStep = m_options.fixedTimeStep;                             // step 4
    m_videoManager.SetVideoFileLooping(!m_options.untilClipEnds);
    m_splash.SetWindowless(m_options.headless);
    m_contentFolder = m_options.contentFolder;
    for (const std::string& warning : m_options.warnings) log("VexaBox :Init : " + warning);
    ReadInitSettings();                                                    // step 5
    SetCapturePath("");                                                    // step 6
    CSystemInfo::GetPrimaryScreenSize(m_screenWidth, m_screenHeight);      // step 7
    CreateRenderSurface();                                                 // steps 8, 9
    CreateSceneView();                                                     // step 10
    m_rootGroup = new osg::Group;                                          // step 11
    m_videoManager.SetVideoFile(m_options.videoFile);                      // step 12
    m_videoManager.SetFrameLocked(m_fixedTimeStep);
    m_videoManager.InitWebCamStream(1, m_options.videoSourceType, false, false, m_cameraConfig);
    m_textureStore = CTextureStore::Instance();                            // step 13
    // The live camera picture, shared by the marker hider and the effects.
    m_textureStore->SetSceneTexture(MakeCameraTexture(m_videoManager.GetStream()));

    log("VexaBox :Init : Init Sound Manager");                             // step 14
    // A recording takes the run's sound too: the mix is rendered for it.
    if (!m_options.recordFile.empty()) m_soundManager.CaptureMix(kRecordedSoundRate, 2);
    m_soundManager.Init(argc, argv);
    m_soundManager.SetListenerPosition(0.f, 0.f, 0.f);
    m_soundManager.SetForwardVector(0.f, 0.f, -1.f);
    m_soundManager.SetUpVector(0.f, 1.f, 0.f);
    log("VexaBox :Init : Sound Manager initalised");
    CEffectLibrary::Instance()->LoadPresets("models/effects.mfx");         // step 15
    LoadDefaultLghts();                                                    // step 16

    CVideoStream* stream = m_videoManager.GetStream();                     // step 17
    m_objectManager.InitNewTricks(0, m_contentFolder, stream ? stream->s() : 640, stream ? stream->t() : 480,
                                  m_screenWidth, m_screenHeight, &m_splash, contentList ? contentList : "",
                                  m_options.debugFolder);
    BuildScene(contentList);                                               // steps 18 to 26
    if (m_options.watchContent)
        m_contentReload = startContentReload(m_objectManager, m_hud, m_options, contentList, stream, m_screenWidth,
                                             m_screenHeight);

    m_splash.kill();                                                       // step 27
    log("VexaBox :Init : Splash Screen Terminated");
    if (m_renderSurface->realize())                                        // step 28
    {
        m_sceneView->setState(m_renderSurface->getGraphicsContext()->getState());
        log("VexaBox :Init : Render surface realized");
    }
    else
        log("VexaBox :Init : Failed to realize render surface");
    log("VexaBox :Init : Starting webcam stream");                         // step 29
    if (stream) stream->StartStream();
    log("VexaBox :Init : Webcam started");
    CreateInput();                                                         // steps 30, 31
    StartClock();                                                          // step 32
    ReadSettings();                                                        // step 33
    StartBatchOutputs();
    m_initialised = true;                                                  // step 34
    log("VexaBox :Init : Complete");
    return true;
}

void CVexaBox::CreateRenderSurface()
{
    m_renderSurface = new CRenderSurface;
    m_renderSurface->setWindowName("Vexamark");
    m_renderSurface->setWindowRectangle(m_screenWidth / 2 - 320, m_screenHeight / 2 - 240, 640, 480);
    m_renderSurface->useBorder(true);
    m_renderSurface->useCursor(true);
    m_renderSurface->fullScreen(false);
    m_renderSurface->setOffScreen(m_options.headless && !m_windowHandle);
    if (!m_windowHandle) return;
    CRenderSurface::VisualRequest visual;
    visual.rgba = true;
    visual.doubleBuffer = true;
    visual.depthBits = 16;
    m_renderSurface->useCursor(true);
    m_renderSurface->fullScreen(false);
    m_renderSurface->setVisualRequest(visual);
    m_renderSurface->setWindow(m_windowHandle);
    m_renderSurface->setShareContexts(false);
}

void CVexaBox::ApplyBackgroundView()
{
    // The video layer covers the window only while it is shown: a hidden
    // video must not leave its last picture on screen for content to smear
    // over, so the colour buffer is then cleared with the clear colour.
    const bool videoShown = m_videoManager.IsVisible();
    const GLbitfield mask = videoShown ? GL_DEPTH_BUFFER_BIT : (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (m_sceneView.valid())
    {
        m_sceneView->getCamera()->setClearMask(mask);
        if (m_sceneView->getRenderStage()) m_sceneView->getRenderStage()->setClearMask(mask);
    }
    // The hider's patches are pieces of the camera picture: they belong over
    // the picture, not over the threshold view or the clear colour.
    m_objectManager.SetHiderSuppressed(!videoShown || m_videoManager.UsingThreshold());
}

void CVexaBox::ShowTrackersPicture()
{
    // With local thresholding no single value tells dark from light, so the
    // threshold view shows the tracker's own two-valued picture of this frame.
    SquareTracker* tracker = m_objectManager.GetTracker();
    const bool own = m_videoManager.UsingThreshold() && tracker && tracker->GetAdaptiveThreshold();
    if (own && !m_thresholdPicture.valid()) m_thresholdPicture = new osg::Image;
    if (own && tracker->CopyThresholdPicture(*m_thresholdPicture))
        m_videoManager.SetThresholdPicture(m_thresholdPicture.get());
    else
        m_videoManager.SetThresholdPicture(nullptr);
}

void CVexaBox::CreateSceneView()
{
    m_sceneView = new osgUtil::SceneView;
    m_sceneView->setDefaults(osgUtil::SceneView::HEADLIGHT | osgUtil::SceneView::COMPILE_GLOBJECTS_AT_INIT);
    m_sceneView->setClearColor(m_clearColor);
    // The video background covers the whole window every frame, so only the
    // depth buffer needs clearing.
    m_sceneView->getCamera()->setClearMask(GL_DEPTH_BUFFER_BIT);
    if (m_sceneView->getRenderStage()) m_sceneView->getRenderStage()->setClearMask(GL_DEPTH_BUFFER_BIT);
}

void CVexaBox::BuildScene(const char*)
{
    CVideoStream* stream = m_videoManager.GetStream();
    const int videoW = stream ? stream->s() : 640;
    const int videoH = stream ? stream->t() : 480;

    log("VexaBox :Init : Attaching Video Node to graph");                  // step 18
    m_sceneGroup = new osg::Group;
    m_sceneGroup->addChild(m_videoManager.GetVideoNode());

    log("VexaBox :Init : Creating debug and hider layers");                // step 19
    m_objectManager.BuildHiderOverLay(videoW, videoH, m_rootGroup.get());
    osg::Node* debugLayer = m_objectManager.GetTracker()->BuildDebugLayer(
        osg::Vec2f(static_cast<float>(videoW), static_cast<float>(videoH)));
    if (m_showDebugLayer)
    {
        log("VexaBox :Init : Using Debug Layer Node");
        m_sceneGroup->addChild(debugLayer);
    }

    log("VexaBox :Init : Applying light rig to graph");                    // step 20
    osg::ref_ptr<osg::Group> content = new osg::Group;
    content->addChild(m_objectManager.GetSceneNode());
    m_sceneGroup->addChild(CLightRig::Build(content.get(), m_useShadows, m_shadowMapResolution));
    log("VexaBox :Init : Lights attached successfully");

    log("VexaBox :Init : Attaching Message Hud");                          // step 21
    m_sceneGroup->addChild(m_hud.createHUD(m_screenWidth, m_screenHeight, true));

    log("VexaBox :Init : Creating ZepHud");                                // step 22
    osg::Camera* hudLayer = CHudRegionManager::Instance()->CreateHudLayer("SETTINGS", m_screenWidth, m_screenHeight);
    if (m_useGui)
    {
        log("VexaBox :Init : Attaching ZepHud Node to graph");
        m_sceneGroup->addChild(hudLayer);
    }
    m_sceneGroup->setUpdateCallback(                                       // step 23
        new HudMarkerInputCallback(&m_objectManager, CHudRegionManager::Instance(), m_sceneView.get()));

    log("VexaBox :Init : Build GUI");                                      // step 24
    BuildGUI(static_cast<float>(m_screenWidth), static_cast<float>(m_screenHeight));
    log("VexaBox :Init : GUI built");

    m_viewTransform = new osg::MatrixTransform;                            // step 25
    m_projectionNode = new osg::Projection(osg::Matrixd(m_objectManager.GetTracker()->getProjectionMatrix()));
    log("VexaBox :Init : Apply Tracker projection matrix");
    m_sceneView->setViewMatrix(m_viewTransform->getMatrix());
    m_sceneView->setProjectionMatrix(m_projectionNode->getMatrix());
    m_rootGroup->addChild(m_sceneGroup.get());

    log("VexaBox :Init : Setting Viewer Scene Data");                      // step 26
    m_sceneView->setSceneData(m_rootGroup.get());
    log("VexaBox :Init : Viewer Scene Data set");
}

osg::Texture2D* CVexaBox::MakeCameraTexture(CVideoStream* stream)
{
    if (!stream) return nullptr;
    // The whole picture at its own size (no power-of-two padding), so a
    // position divided by the video size is its texture coordinate.
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(stream);
    texture->setResizeNonPowerOfTwoHint(false);
    texture->setDataVariance(osg::Object::DYNAMIC);
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
    return texture.release();
}

void CVexaBox::CreateInput()
{
    m_eventQueue = new osgGA::EventQueue(osgGA::GUIEventAdapter::Y_INCREASING_UPWARDS);
    m_eventVisitor = new osgGA::EventVisitor;
    m_actionAdapter = std::make_unique<MyActionAdapter>();
    m_eventVisitor->setActionAdapter(m_actionAdapter.get());
    m_keyboardMouseCallback = new MyKeyboardMouseCallback(m_eventQueue.get());
    m_eventHandlers.clear();
    m_eventHandlers.push_back(new osgGA::StateSetManipulator(m_sceneView->getGlobalStateSet()));
    m_eventHandlers.push_back(new PickHandler(m_sceneView.get()));
}

void CVexaBox::StartClock()
{
    m_counterFrequency = CHighResCounter::Frequency();
    m_counterStart = CHighResCounter::Now();
    g_lastCounter = m_counterStart;
    m_startTick = osg::Timer::instance()->tick();
    m_eventQueue->setStartTick(m_startTick);
    m_eventQueue->getCurrentEventState()->setInputRange(-1.f, -1.f, 1.f, 1.f);
}

float CVexaBox::AdvanceClock(double& referenceTime)
{
    if (m_fixedTimeStep)
    {
        referenceTime = g_frameCounter++ * kFixedTimeStep;
        g_lastTimeStep = static_cast<float>(kFixedTimeStep);
        return g_lastTimeStep;
    }
    const int64_t now = CHighResCounter::Now();
    g_lastTimeStep = static_cast<float>(static_cast<double>(now - g_lastCounter) / m_counterFrequency);
    g_lastCounter = now;
    referenceTime = osg::Timer::instance()->delta_s(m_startTick, osg::Timer::instance()->tick());
    ++g_frameCounter;
    return g_lastTimeStep;
}

bool CVexaBox::Update(float)
{
    if (m_infoOnly || !m_renderSurface.valid() || !m_keyboardMouseCallback.valid()) return false;
    if (m_options.frameLimit > 0 && m_framesUpdated >= m_options.frameLimit) return false;

    double referenceTime = 0.0;
    const float timeStep = AdvanceClock(referenceTime);
    m_referenceTime = referenceTime;
    osg::ref_ptr<osg::FrameStamp> stamp = new osg::FrameStamp;
    stamp->setReferenceTime(referenceTime);
    // Animation paths of plain models (without an animation control block) run
    // on the simulation time.
    stamp->setSimulationTime(referenceTime);
    stamp->setFrameNumber(g_frameCounter - 1);
    m_sceneView->setFrameStamp(stamp.get());

    m_renderSurface->pollInput(*m_keyboardMouseCallback);
    if (!m_renderSurface->isRealized()) return false;

    if (m_initialised)
    {
        m_hud.Update(timeStep);
        UpdateScreenSaver(timeStep);
        CheckButtons();
        if (m_contentReload) m_contentReload->Poll();  // between two frames
        if (m_useGui) CheckGUI();
        ApplyBackgroundView();
        CVideoStream* stream = m_videoManager.GetStream();
        m_videoManager.Update(static_cast<float>(m_objectManager.GetTracker()->getUserThreshold()) / 255.f);
        // "-frames: 0": the clip played once; its last frame was shown last time.
        if (m_options.untilClipEnds && stream && stream->HasEnded()) return false;
        m_objectManager.UpdateTracker(stream);
        ShowTrackersPicture();
        m_objectManager.Update(timeStep, 90.f);
        ExportPoses();
        RenderSound(timeStep);
        ReportBatchFailures();
    }
    DispatchEvents(referenceTime);
    ++m_framesUpdated;
    return true;
}

void CVexaBox::DispatchEvents(double referenceTime)
{
    m_eventQueue->frame(referenceTime);
    osgGA::EventQueue::Events events;
    m_eventQueue->takeEvents(events);
    m_eventVisitor->setTraversalNumber(m_sceneView->getFrameStamp()->getFrameNumber());
    for (osg::ref_ptr<osgGA::Event>& event : events)
    {
        osgGA::GUIEventAdapter* ea = event->asGUIEventAdapter();
        if (!ea) continue;
        if (osg::Node* scene = m_sceneView->getSceneData())
        {
            m_eventVisitor->reset();
            m_eventVisitor->addEvent(ea);
            scene->accept(*m_eventVisitor);
            if (m_eventVisitor->getEventHandled()) ea->setHandled(true);
        }
        for (osg::ref_ptr<osgGA::GUIEventHandler>& handler : m_eventHandlers)
            if (handler->handle(*ea, *m_actionAdapter)) break;
    }
}

void CVexaBox::Render()
{
    RenderFrame(true);
}

void CVexaBox::RenderFrame(bool capture)
{
    if (!m_renderSurface.valid() || !m_renderSurface->isRealized() || !m_renderSurface->makeCurrent()) return;
    m_sceneView->setViewport(0, 0, m_renderSurface->getWindowWidth(), m_renderSurface->getWindowHeight());
    m_sceneView->update();
    m_sceneView->cull();
    m_sceneView->draw();
    // Captures read the frame just drawn, from the back buffer before the
    // swap: after it, the back buffer's content is undefined.
    if (capture)
    {
        CaptureScreen();
        RecordFrame();
    }
    m_renderSurface->swapBuffers();
}

void CVexaBox::CleanUp()
{
    if (m_infoOnly || !m_sceneView.valid()) return;
    FinishBatchOutputs();
    m_videoManager.StopStreams();
    m_videoManager.CleanUp();
    m_soundManager.CleanUp();
    m_objectManager.CleanUp();
    if (m_renderSurface.valid())
    {
        // GL objects belong to the window's context: free them while it lives.
        if (m_renderSurface->makeCurrent())
        {
            m_sceneView->releaseAllGLObjects();
            m_sceneView->flushAllDeletedGLObjects();
            m_renderSurface->releaseContext();
        }
        m_renderSurface->stop();
    }
    CHudRegionManager::Instance()->ReleaseAll();
    WriteSettings();
    m_capturePath.clear();
    m_initialised = false;
    m_sceneView = nullptr;
}

void CVexaBox::ToggleFullScreen()
{
    m_fullScreen = !m_fullScreen;
    if (!m_renderSurface.valid()) return;
    if (m_fullScreen)
    {
        m_renderSurface->setWindowRectangle(0, 0, static_cast<unsigned>(m_screenWidth),
                                            static_cast<unsigned>(m_screenHeight));
        m_renderSurface->useBorder(false);
        m_renderSurface->useCursor(false);
        m_renderSurface->fullScreen(true);
    }
    else
    {
        // A square of half the screen width, as the desktop host has always shown.
        const unsigned half = static_cast<unsigned>(m_screenWidth / 2);
        m_renderSurface->setWindowRectangle(0, 0, half, half);
        m_renderSurface->useBorder(true);
        m_renderSurface->useCursor(true);
        m_renderSurface->fullScreen(false);
    }
}

void CVexaBox::ToggleFlipScreen()
{
    m_flipped = !m_flipped;
    m_objectManager.ToggleMirrorObjects();
    m_videoManager.ToggleFlip();
}

void CVexaBox::ToggleThresholdView()
{
    m_videoManager.ToggleUseThreshold();
}

void CVexaBox::ToggleShowHelp()
{
    m_hud.SetInfoString(m_helpText);
    m_hud.ToggleDisplayInfo();
}

void CVexaBox::RealiseWnd()
{
    if (!m_renderSurface.valid() || m_renderSurface->realize()) return;
    m_renderSurface->stop();
    m_renderSurface = new CRenderSurface;
    m_renderSurface->setWindowName("Vexamark");
    m_renderSurface->setWindowRectangle(0, 0, static_cast<unsigned>(m_screenWidth),
                                        static_cast<unsigned>(m_screenHeight));
    m_renderSurface->useBorder(false);
    m_renderSurface->useCursor(false);
    m_renderSurface->fullScreen(true);
    if (m_renderSurface->realize() && m_sceneView.valid())
        m_sceneView->setState(m_renderSurface->getGraphicsContext()->getState());
}

void CVexaBox::LoadDefaultLghts()
{
    COsgSettings lights;
    if (lights.Load(CPathResolver::Resolve("models/lightRig.lit"))) CLightRig::LoadLights(lights);
}
