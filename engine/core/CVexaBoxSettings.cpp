// The engine settings file: read early (camera and shadow settings), read
// late (everything else), and written at every orderly shut-down.
#include "CVexaBox.h"

#include "CMessageLog.h"
#include "COsgSettings.h"
#include "CPathResolver.h"

namespace
{
const char* const kRoot = "<VEXA_SETTINGS>";
const char* const kRootEnd = "</VEXA_SETTINGS>";

// Loads the settings file and places the cursor on its root line.
bool openSettings(COsgSettings& file, const std::string& path)
{
    return file.Load(CPathResolver::Resolve(path)) && file.FindFirst(kRoot);
}
}

void CVexaBox::ReadInitSettings()
{
    COsgSettings file;
    if (!openSettings(file, m_settingsPath)) return;
    while (file.NextUnless(kRootEnd))
    {
        const std::string tag = file.NextString();
        if (tag == "<CAMERA_PARAM>")
            m_objectManager.SetCameraParamFile(CPathResolver::Normalise(file.NextString()));
        else if (tag == "<CAMERA_CONFIG>")
            m_cameraConfig = CPathResolver::Normalise(file.NextString());
        else if (tag == "<SHADOWMAP_RES>")
            m_shadowMapResolution = file.NextInt();
    }
}

void CVexaBox::ReadSettings()
{
    COsgSettings file;
    if (!openSettings(file, m_settingsPath))
    {
        WriteSettings();
        return;
    }
    while (file.NextUnless(kRootEnd)) ApplySettingsLine(file, file.NextString());
}

void CVexaBox::ApplySettingsLine(COsgSettings& file, const std::string& tag)
{
    SquareTracker* tracker = m_objectManager.GetTracker();
    if (tag == "<IMAGEPROC_MODE>") tracker->setImageProcMode(file.NextInt());
    else if (tag == "<LABELING_MODE>") tracker->SetLabelingMode(file.NextInt());
    else if (tag == "<DETECTION_MODE>") m_objectManager.SetPatternDetectionMode(file.NextInt());
    else if (tag == "<MAX_LOOP_COUNT>") tracker->SetMaxLoopCount(file.NextInt());
    else if (tag == "<LOOP_BREAK_THRESHOLD>") tracker->SetLoopBreakThreshold(file.NextFloat());
    else if (tag == "<LOOP_BREAK_THRESH_RATIO>") tracker->SetLoopBreakThreshRatio(file.NextFloat());
    else if (tag == "<THRESHOLD>") tracker->setUserThreshold(file.NextInt());
    else if (tag == "<USING_AUTO>") tracker->setUseAuto(file.NextInt() == 1);
    else if (tag == "<AUTO_STEPS>") tracker->setMaxAutoSteps(file.NextInt());
    else if (tag == "<AUTOSTEP_SIZE>") tracker->setAutoStepSize(file.NextInt());
    else if (tag == "<MASTER_CONF>") tracker->SetTol(static_cast<float>(file.NextFloat()));
    else if (tag == "<CLEAR_COLOR>")
    {
        for (int i = 0; i < 4; ++i) m_clearColor[i] = static_cast<float>(file.NextFloat());
        if (m_sceneView.valid()) m_sceneView->setClearColor(m_clearColor);
    }
    else if (tag == "<CAPTURE_COUNT>") m_captureCount = file.NextInt();
    else if (tag == "<CAPTURE_NEW_ON>") m_captureNewOn = file.NextInt() > 0;
    else if (tag == "<ROTATE_SETTINGS>") m_rotateSettings = file.NextInt() > 0;
    else if (tag == "<USE_SCREEN_SAVER>")
    {
        m_screenSaverVideo = CPathResolver::Normalise(file.NextString());
        m_useScreenSaver = true;
        CreateScreenSaver();
    }
    else if (tag == "<SCREEN_SAVER_TIMEOUT>") m_screenSaverTimeout = static_cast<float>(file.NextFloat());
    else if (tag == "<STATIC_TOOLBAR>")
    {
        if (!m_staticToolbar)
        {
            m_staticToolbarName = file.NextString();
            CreateStaticToolbar();
        }
    }
    else if (tag == "<SETTINGS_MENU>")
    {
        if (!m_settingsRegion) CreateSettingsMenu();
    }
    else if (tag == "<ADAPTIVE_THRESHOLD>") tracker->SetAdaptiveThreshold(file.NextInt() > 0);
    else if (tag == "<SHOW_MOUSE>")
    {
        m_showMouse = file.NextInt() != 0;
        if (m_renderSurface.valid()) m_renderSurface->useCursor(m_showMouse);
    }
}

bool CVexaBox::WriteSettings()
{
    COsgSettings out;
    if (!out.Open(m_settingsPath))
    {
        CMessageLog::Instance()->WriteToLog("VexaBox : could not write the settings file " + m_settingsPath + " (" +
                                            out.WriteError() + ")");
        return false;
    }
    SquareTracker* tracker = m_objectManager.GetTracker();
    auto line = [&out](const char* tag) {
        out.WriteIndent();
        out.WriteTag(tag);
    };
    out.WriteLine(kRoot);
    out.Indent();
    line("<CAMERA_PARAM>");
    out.WriteString(m_objectManager.GetCameraParamFile());
    if (!m_cameraConfig.empty())
    {
        line("<CAMERA_CONFIG>");
        out.WriteString(m_cameraConfig);
    }
    line("<IMAGEPROC_MODE>");
    out.WriteInt(tracker->getImageProcMode());
    line("<LABELING_MODE>");
    out.WriteInt(tracker->GetLabelingMode());
    line("<DETECTION_MODE>");
    out.WriteInt(m_objectManager.GetPatternDetectionMode());
    line("<MAX_LOOP_COUNT>");
    out.WriteInt(tracker->GetMaxLoopCount());
    line("<LOOP_BREAK_THRESHOLD>");
    out.WriteFloat(tracker->GetLoopBreakThreshold());
    line("<LOOP_BREAK_THRESH_RATIO>");
    out.WriteFloat(tracker->GetLoopBreakThreshRatio());
    line("<THRESHOLD>");
    out.WriteInt(tracker->getUserThreshold());
    line("<USING_AUTO>");
    out.WriteInt(tracker->getUseAuto() ? 1 : 0);
    line("<AUTO_STEPS>");
    out.WriteInt(tracker->getMaxAutoSteps());
    line("<AUTOSTEP_SIZE>");
    out.WriteInt(tracker->getAutoStepSize());
    line("<MASTER_CONF>");
    out.WriteFloat(tracker->GetTol());
    line("<SHADOWMAP_RES>");
    out.WriteInt(m_shadowMapResolution);
    line("<CLEAR_COLOR>");
    out.WriteVec4(m_clearColor);
    line("<CAPTURE_COUNT>");
    out.WriteInt(m_captureCount);
    line("<CAPTURE_NEW_ON>");
    out.WriteInt(m_captureNewOn ? 1 : 0);
    line("<ROTATE_SETTINGS>");
    out.WriteInt(m_rotateSettings ? 1 : 0);
    if (m_useScreenSaver)
    {
        line("<USE_SCREEN_SAVER>");
        out.WriteString(m_screenSaverVideo);
        line("<SCREEN_SAVER_TIMEOUT>");
        out.WriteFloat(m_screenSaverTimeout);
    }
    if (m_staticToolbarName != "NONE")
    {
        line("<STATIC_TOOLBAR>");
        out.WriteString(m_staticToolbarName);
    }
    if (m_settingsRegion)
    {
        line("<SETTINGS_MENU>");
        out.WriteInt(1);
    }
    line("<SHOW_MOUSE>");
    out.WriteInt(m_showMouse ? 1 : 0);
    // Ours: local thresholding for strong lighting gradients (on by default).
    line("<ADAPTIVE_THRESHOLD>");
    out.WriteInt(tracker->GetAdaptiveThreshold() ? 1 : 0);
    out.Unindent();
    out.WriteLine(kRootEnd);
    if (out.Close()) return true;
    CMessageLog::Instance()->WriteToLog("VexaBox : could not write the settings file " + m_settingsPath + " (" +
                                        out.WriteError() + "); the old file is kept");
    return false;
}
