// Captures of what the window shows (single, on a marker's return, and
// continuous) and the threshold scan.
#include "CVexaBox.h"

#include "CAtomicFileWriter.h"
#include "CHighResCounter.h"
#include "CMessageLog.h"
#include "CPathResolver.h"
#include "CSystemInfo.h"

#include <osg/FrameStamp>
#include <osgDB/FileNameUtils>
#include <osgDB/FileUtils>
#include <osgDB/Registry>

#include <cstdio>
#include <sstream>

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

namespace
{
// The image as a file of the type its name's extension chooses, in memory,
// so it can reach the disk whole or not at all.
bool encodeImage(const osg::Image& image, const std::string& path, std::string& bytes)
{
    const std::string extension = osgDB::getLowerCaseFileExtension(path);
    osgDB::ReaderWriter* writer = osgDB::Registry::instance()->getReaderWriterForExtension(extension);
    if (!writer) return false;
    std::ostringstream out(std::ios::out | std::ios::binary);
    if (!writer->writeImage(image, out).success()) return false;
    bytes = out.str();
    return !bytes.empty();
}
}

bool CVexaBox::WriteCapture(const std::string& path, int width, int height, bool durable)
{
    if (!m_renderSurface.valid() || !m_renderSurface->makeCurrent() || width <= 0 || height <= 0) return false;
    // The folders are made when missing, so a capture never silently vanishes.
    const std::string folder = osgDB::getFilePath(path);
    if (!folder.empty() && !osgDB::makeDirectory(folder))
    {
        CMessageLog::Instance()->WriteToLog("VexaBox : could not create the capture folder " + folder);
        return false;
    }
    // The frame that was just drawn and not yet swapped.
    glReadBuffer(m_renderSurface->drawBuffer());
    m_captureImage->readPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE);
    std::string bytes, why;
    if (!encodeImage(*m_captureImage, path, bytes))
        why = "no image writer for this file type";
    else if (CAtomicFileWriter::Write(path, bytes, &why, durable))
        return true;
    CMessageLog::Instance()->WriteToLog("VexaBox : could not write the capture " + path + " (" + why + ")");
    return false;
}

void CVexaBox::CaptureSingleFrame()
{
    if (!m_sceneView.valid() || !m_renderSurface.valid() || !m_renderSurface->isRealized() ||
        !m_renderSurface->makeCurrent())
        return;
    // What the window shows, drawn again into the back buffer and read from
    // there (no swap): the front buffer of a window is not reliably readable.
    m_sceneView->setViewport(0, 0, m_renderSurface->getWindowWidth(), m_renderSurface->getWindowHeight());
    m_sceneView->cull();
    m_sceneView->draw();
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
        // A sequence of one file per frame: whole files, without waiting for the disk each time.
        WriteCapture(m_capturePath + "/frame" + std::to_string(m_captureFrame) + ".jpg", width, height, false);
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
        RenderFrame(false);
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
