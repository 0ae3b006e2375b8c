// Captures of what the window shows (single, on a marker's return, and
// continuous) and the threshold scan.
#include "CVexaBox.h"

#include "CHighResCounter.h"
#include "CMessageLog.h"
#include "CPathResolver.h"
#include "CSystemInfo.h"

#include <osg/FrameStamp>
#include <osgDB/FileNameUtils>
#include <osgDB/FileUtils>
#include <osgDB/WriteFile>

#include <cstdio>

namespace
{
const int kScanSteps = 52;   // thresholds 0, 5, ... 255
const int kScanStride = 5;
}

std::string CVexaBox::SingleCaptureName(int number)
{
    char name[64];
    std::snprintf(name, sizeof(name), "captures/vexaCapture%05d.jpg", number);
    return name;
}

void CVexaBox::SetCapturePath(const std::string&)
{
    m_capturePath = CPathResolver::Normalise(CSystemInfo::GetCurrentFolder()) + "/captures/video";
}

bool CVexaBox::ToggleCapture()
{
    m_capturing = !m_capturing;
    return m_capturing;
}

bool CVexaBox::WriteCapture(const std::string& path, int width, int height)
{
    if (!m_renderSurface.valid() || !m_renderSurface->makeCurrent() || width <= 0 || height <= 0) return false;
    // The folders are made when missing, so a capture never silently vanishes.
    const std::string folder = osgDB::getFilePath(path);
    if (!folder.empty() && !osgDB::makeDirectory(folder))
    {
        CMessageLog::Instance()->WriteToLog("VexaBox : could not create the capture folder " + folder);
        return false;
    }
    m_captureImage->readPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE);
    if (osgDB::writeImageFile(*m_captureImage, path)) return true;
    CMessageLog::Instance()->WriteToLog("VexaBox : could not write the capture " + path);
    return false;
}

void CVexaBox::CaptureSingleFrame()
{
    if (!m_renderSurface.valid()) return;
    WriteCapture(SingleCaptureName(m_captureCount), static_cast<int>(m_renderSurface->getWindowWidth()),
                 static_cast<int>(m_renderSurface->getWindowHeight()));
    ++m_captureCount;
}

void CVexaBox::CaptureScreen()
{
    if (!m_renderSurface.valid() || !m_renderSurface->isRealized()) return;
    // The window, not the whole screen: pixels outside the window are not ours to read.
    const int width = static_cast<int>(m_renderSurface->getWindowWidth());
    const int height = static_cast<int>(m_renderSurface->getWindowHeight());
    if (m_capturing)
    {
        WriteCapture(m_capturePath + "/frame" + std::to_string(m_captureFrame) + ".jpg", width, height);
        ++m_captureFrame;
    }
    else if (m_captureNewOn)
        CheckForNewInstanceCapture();
}

void CVexaBox::CheckForNewInstanceCapture()
{
    for (int i = 0; i < m_objectManager.GetNumTrackedMarkers(); ++i)
    {
        if (!m_objectManager.GetTrackedMarker(i)->HasReappeared()) continue;
        WriteCapture(SingleCaptureName(m_captureCount), static_cast<int>(m_renderSurface->getWindowWidth()),
                     static_cast<int>(m_renderSurface->getWindowHeight()));
        ++m_captureCount;
        return;
    }
}

int CVexaBox::ScanResult(const std::vector<int>& counts, int fallback)
{
    int best = 0, lowest = 0, highest = 0;
    for (size_t step = 0; step < counts.size(); ++step)
    {
        const int threshold = static_cast<int>(step) * kScanStride;
        if (counts[step] > best)
        {
            best = counts[step];
            lowest = highest = threshold;
        }
        else if (counts[step] == best && best > 0)
            highest = threshold;
    }
    return best > 0 ? lowest + (highest - lowest) / 2 : fallback;
}

void CVexaBox::AutoScan()
{
    SquareTracker* tracker = m_objectManager.GetTracker();
    const bool useAuto = tracker->getUseAuto();
    tracker->setUseAuto(false);
    const int fallback = tracker->getUserThreshold();
    std::vector<int> counts;
    for (int step = 0; step < kScanSteps; ++step)
    {
        tracker->setUserThreshold(step * kScanStride);
        double referenceTime = 0.0;
        const float timeStep = AdvanceClock(referenceTime);
        CVideoStream* stream = m_videoManager.GetStream();
        m_videoManager.Update(static_cast<float>(tracker->getUserThreshold()) / 255.f);
        // The same picture must be analysed again at the new threshold.
        if (stream) stream->dirty();
        m_objectManager.UpdateTracker(stream);
        m_objectManager.Update(timeStep, 90);
        RenderFrame();
        char text[64];
        std::snprintf(text, sizeof(text), "Scanning %d/%d", step, kScanSteps - 1);
        m_hud.ChangeString(text);
        counts.push_back(m_objectManager.GetNumFoundMarkers());
    }
    tracker->setUserThreshold(ScanResult(counts, fallback));
    tracker->setUseAuto(useAuto);
    char text[64];
    std::snprintf(text, sizeof(text), "Scan complete, threshold:= %d", tracker->getUserThreshold());
    m_hud.ChangeString(text);
}
