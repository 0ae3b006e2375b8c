// What unattended and recorded runs add to the frame loop: the recording of
// what the window shows ("-record:"), the pose file ("-poses:") and the
// progress line on standard error.
#include "CVexaBox.h"

#include "CFrameRecorder.h"
#include "CHighResCounter.h"
#include "CMessageLog.h"
#include "CPoseExport.h"

#include <cmath>
#include <cstdio>

#include <unistd.h>

namespace
{
void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
}

// Said in the log and on standard error: the user ran a batch job and wants
// to know at once.
void tell(const std::string& text)
{
    log("VexaBox : " + text);
    std::fprintf(stderr, "Vexamark: %s\n", text.c_str());
    std::fflush(stderr);
}

// The wall clock, for the progress line (the engine's own clock runs at a
// fixed step in frame-locked runs).
double wallSeconds()
{
    return static_cast<double>(CHighResCounter::Now()) / static_cast<double>(CHighResCounter::Frequency());
}

const int kRealTimeRate = 30;           // frames per second of a recording in real time
const int kFixedRateNum = 10000;        // one frame per engine frame of 0.0333 s
const int kFixedRateDen = 333;
}

void CVexaBox::StartBatchOutputs()
{
    if (!m_options.recordFile.empty()) StartRecording();
    if (!m_options.posesFile.empty()) StartPoseExport();
    // The progress line belongs to runs that end by themselves.
    int64_t total = m_options.frameLimit;
    CVideoStream* stream = m_videoManager.GetStream();
    if (m_options.untilClipEnds && stream) total = m_fixedTimeStep ? stream->GetSourceFrameCount() : 0;
    const bool batch = m_options.frameLimit > 0 || m_options.untilClipEnds;
    m_progress.Begin(total, stderr, batch && ::isatty(STDERR_FILENO));
}

void CVexaBox::StartRecording()
{
    const int width = static_cast<int>(m_renderSurface->getWindowWidth()) & ~1;
    const int height = static_cast<int>(m_renderSurface->getWindowHeight()) & ~1;
    if (!m_renderSurface->isRealized() || width <= 0 || height <= 0)
    {
        tell("cannot record to " + m_options.recordFile + ": there is nothing drawn to record");
        return;
    }
    CFrameRecorder::Settings settings;
    settings.path = m_options.recordFile;
    settings.width = width;
    settings.height = height;
    settings.rateNum = m_fixedTimeStep ? kFixedRateNum : kRealTimeRate;
    settings.rateDen = m_fixedTimeStep ? kFixedRateDen : 1;
    settings.waitForEncoder = m_fixedTimeStep;
    if (m_soundManager.IsCapturingMix())
    {
        settings.soundRate = m_soundManager.GetMixRate();
        settings.soundChannels = m_soundManager.GetMixChannels();
    }
    m_recorder = std::make_unique<CFrameRecorder>();
    std::string error;
    if (!m_recorder->Start(settings, error))
    {
        tell("cannot record to " + m_options.recordFile + ": " + error);
        m_recorder.reset();
        return;
    }
    m_recordStart = m_referenceTime;
    log("VexaBox : recording " + std::to_string(width) + "x" + std::to_string(height) + " to " +
        m_options.recordFile);
}

void CVexaBox::StartPoseExport()
{
    m_poseExport = std::make_unique<CPoseExport>();
    std::string error;
    if (!m_poseExport->Open(m_options.posesFile, error))
    {
        tell("cannot write the poses to " + m_options.posesFile + ": " + error);
        m_poseExport.reset();
        return;
    }
    m_analysedFrames = m_objectManager.GetTracker()->GetAnalysedFrameCount();
    log("VexaBox : writing the poses of every analysed frame to " + m_options.posesFile);
}

void CVexaBox::RecordFrame()
{
    if (!m_recorder || !m_recorder->IsRecording()) return;
    const CFrameRecorder::Settings& s = m_recorder->GetSettings();
    // The frame's time in frames of the file: one per engine frame with a
    // fixed time step, else the engine's own clock (a frame due at the same
    // time as the last one is not recorded again).
    const int64_t time = m_fixedTimeStep ? m_recordedFrames
                                         : std::llround((m_referenceTime - m_recordStart) * s.rateNum / s.rateDen);
    if (time <= m_lastRecordTime) return;
    if (static_cast<int>(m_renderSurface->getWindowWidth()) < s.width ||
        static_cast<int>(m_renderSurface->getWindowHeight()) < s.height)
        return;  // a window made smaller than the recording holds no whole frame
    uint8_t* pixels = m_recorder->NextFrame();
    ++m_recordedFrames;
    if (!pixels) return;  // dropped: the encoder is behind
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(m_renderSurface->drawBuffer());
    glReadPixels(0, 0, s.width, s.height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    m_recorder->CommitFrame(time);
    m_lastRecordTime = time;
}

void CVexaBox::ExportPoses()
{
    m_progress.Step(wallSeconds());
    const unsigned long long analysed = m_objectManager.GetTracker()->GetAnalysedFrameCount();
    if (!m_poseExport || analysed == m_analysedFrames) return;
    m_analysedFrames = analysed;
    CVideoStream* stream = m_videoManager.GetStream();
    CPoseExport::Record record;
    record.frame = stream ? stream->GetShownFrameNumber() : -1;
    const double rate = stream ? stream->GetSourceFrameRate() : 0.0;
    record.time = rate > 0.0 && record.frame >= 0 ? record.frame / rate : m_referenceTime;
    for (int i = 0; i < m_objectManager.GetNumTrackedMarkers(); ++i)
    {
        CTrackedMarker* tracked = m_objectManager.GetTrackedMarker(i);
        const BaseMarker* marker = tracked->GetMarker();
        if (!marker) continue;
        // A marker the content set leaves unnamed is known by its pattern file.
        record.marker = tracked->GetName().empty() || tracked->GetName() == "NONE" ? marker->getName()
                                                                                  : tracked->GetName();
        record.valid = marker->isValid();
        record.confidence = record.valid ? marker->getConfidence() : 0.0;
        if (record.valid)
        {
            // The detector's corners start at the pattern's first corner,
            // the printed picture's top-left.
            const std::vector<osg::Vec2f>& corners = marker->getCorners();
            const int first = marker->getDirection() < 0 ? 0 : marker->getDirection();
            for (int k = 0; k < 4; ++k) record.corners[k] = corners[static_cast<size_t>((first + k) % 4)];
            CPoseExport::CameraPose(marker->getTransform(), record.rotation, record.translation);
        }
        if (!m_poseExport->Write(record) && !m_poseFailureReported)
        {
            m_poseFailureReported = true;
            tell("writing the poses to " + m_options.posesFile + " failed; the run goes on without them");
        }
    }
}

void CVexaBox::RenderSound(float seconds)
{
    if (!m_soundManager.IsCapturingMix()) return;
    // The mix follows the engine's clock (a fixed step in frame-locked runs),
    // so sound and pictures stay together in the file.
    const int rate = m_soundManager.GetMixRate(), channels = m_soundManager.GetMixChannels();
    m_soundTime += seconds;
    const int64_t due = static_cast<int64_t>(m_soundTime * rate);
    const int frames = static_cast<int>(due - m_soundRendered);
    if (frames <= 0) return;
    const size_t needed = static_cast<size_t>(frames) * channels;
    if (m_soundBlock.size() < needed) m_soundBlock.resize(needed);
    if (!m_soundManager.RenderMix(m_soundBlock.data(), frames)) return;
    m_soundRendered = due;
    if (m_recorder && m_recorder->IsRecording()) m_recorder->AddSound(m_soundBlock.data(), frames);
}

void CVexaBox::ReportBatchFailures()
{
    if (m_recorder)
    {
        const std::string failure = m_recorder->TakeFailure();
        if (!failure.empty()) tell(failure);
    }
}

void CVexaBox::FinishBatchOutputs()
{
    m_progress.End(wallSeconds());
    if (m_recorder)
    {
        const bool complete = m_recorder->Finish();
        const std::string failure = m_recorder->TakeFailure();
        if (!failure.empty()) tell(failure);
        if (complete)
            log("VexaBox : recorded " + std::to_string(m_recorder->FramesWritten()) + " frames to " +
                m_options.recordFile + " (" + std::to_string(m_recorder->FramesDropped()) +
                " dropped while the encoder was behind)");
        m_recorder.reset();
    }
    if (m_poseExport)
    {
        if (m_poseExport->Close())
            log("VexaBox : poses written to " + m_options.posesFile);
        else if (!m_poseFailureReported)
            tell("the poses could not be written to " + m_options.posesFile);
        m_poseExport.reset();
    }
}
