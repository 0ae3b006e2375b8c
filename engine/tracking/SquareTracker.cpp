#include "SquareTracker.h"

#include "SquareTrackerPrivate.h"

#include "CMessageLog.h"
#include "MultiMarker.h"
#include "SingleMarker.h"

#include "vxt/CameraParams.h"
#include "vxt/Detector.h"
#include "vxt/MarkerInfo.h"
#include "vxt/PatternSet.h"
#include "vxt/PoseEstimator.h"
#include "vxt/Version.h"

#include <osg/Notify>

#include <algorithm>
#include <cassert>

namespace
{
const double kNearPlane = 10.0;    // scene units (mm)
const double kFarPlane = 8000.0;   // scene units (mm)
const double kSearchConfidence = 0.7;

void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
}

void reportInitError(const std::string& message)
{
    log(message);
    CMessageLog::Instance()->DisplayMessage(message, "Error creating tracker");
}
}

SquareTracker::SquareTracker() : m_core(std::make_unique<Core>())
{
    // Until init: a plausible webcam, so the scene has a projection.
    vxt::CameraParams(640, 480, 700.0, 700.0, 320.0, 240.0).projectionMatrix(kNearPlane, kFarPlane, m_projection);
}

SquareTracker::~SquareTracker()
{
    // Scene nodes may hold markers beyond the tracker's life: they give their
    // patterns back now, while the set still exists.
    for (osg::ref_ptr<BaseMarker>& marker : m_markers) marker->releasePatterns();
    m_markers.clear();
    if (m_core->detector) m_core->detector->detachPatternSet();
}

bool SquareTracker::IsInitialised() const
{
    return m_core->detector && m_core->pose && m_core->patterns;
}

std::string SquareTracker::getLabel() const
{
    return m_name + "-" + vxt::kVersion;
}

bool SquareTracker::init(int xsize, int ysize, const std::string&, const std::string& cameraParamFile)
{
    log("Tracker::init()...");
    m_cameraParamFile = cameraParamFile;
    vxt::CameraParams camera;
    const vxt::Status loaded = camera.load(cameraParamFile);
    if (!loaded)
    {
        reportInitError("Tracker::init : Error: Can't load camera parameters from '" + cameraParamFile + "'.");
        log("Tracker::init : " + loaded.message());
        return false;
    }
    m_core->camera = camera.rescaled(xsize, ysize);
    m_imageWidth = static_cast<float>(xsize);
    m_imageHeight = static_cast<float>(ysize);
    m_core->detector = std::make_unique<vxt::Detector>(m_core->camera);
    setProjection(kNearPlane, kFarPlane);
    m_imageProcMode = m_patternDetectionMode = 0;
    m_core->detector->setDebugMode(0);
    m_core->detector->setImageProcMode(0);
    m_core->detector->setThreshold(100);
    m_core->detector->setPatternDetectionMode(0);
    m_core->detector->setLabelingMode(m_labelingMode);
    m_core->detector->setAdaptiveThreshold(m_adaptive);
    m_core->pose = std::make_unique<vxt::PoseEstimator>(m_core->camera);
    m_core->pose->setMaxLoopCount(m_maxLoopCount);
    m_core->pose->setBreakThreshold(m_loopBreakThreshold);
    m_core->pose->setBreakRatio(m_loopBreakThreshRatio);
    m_core->patterns = std::make_unique<vxt::PatternSet>();
    m_core->detector->attachPatternSet(m_core->patterns.get());
    log("Tracker: Init: Complete");
    return true;
}

void SquareTracker::setProjection(double nearPlane, double farPlane)
{
    if (m_core->camera.width() > 0) m_core->camera.projectionMatrix(nearPlane, farPlane, m_projection);
}

BaseMarker* SquareTracker::getMarker(int index)
{
    if (index < 0 || index >= getMarkerCount()) return nullptr;
    return m_markers[static_cast<size_t>(index)].get();
}

int SquareTracker::addSingleMarker(const std::string& patternFile, double width, const double centre[2])
{
    if (!IsInitialised())
    {
        // The tracker could not be made (no camera parameters): the content
        // loads without markers rather than ending the program.
        log("SquareTracker::addSingleMarker() : detection handle is empty, please run init() function before!");
        return -1;
    }
    osg::ref_ptr<SingleMarker> marker = new SingleMarker(m_core->patterns.get());
    std::string why;
    if (!marker->initialise(m_core->detector.get(), patternFile, width, centre, &why))
    {
        log("Tracker::addSingleMarker(): Warning : Could not init singleMarker " + patternFile);
        if (!why.empty()) log("Tracker::addSingleMarker(): " + why);
        return -1;
    }
    m_markers.push_back(marker);
    return getMarkerCount() - 1;
}

int SquareTracker::addMultiMarker(const std::string& configFile)
{
    if (!IsInitialised())
    {
        log("SquareTracker::addMultiMarker() : detection handle is empty, please run init() function before!");
        return -1;
    }
    osg::ref_ptr<MultiMarker> marker = new MultiMarker(m_core->patterns.get());
    std::string why;
    if (!marker->load(configFile, &why))
    {
        log("Tracker::addMultiMarker(): Warning : Could not load multiMarker " + configFile +
            (why.empty() ? "" : ": " + why));
        return -1;
    }
    m_markers.push_back(marker);
    return getMarkerCount() - 1;
}

int SquareTracker::GetResultCount() const
{
    return m_core->detector ? m_core->detector->markerCount() : 0;
}

const vxt::MarkerInfo* SquareTracker::GetResults() const
{
    return m_core->detector ? m_core->detector->markers() : nullptr;
}

bool SquareTracker::DetectIn(osg::Image* image)
{
    vxt::ImageView view;
    view.data = image->data();
    view.width = image->s();
    view.height = image->t();
    view.stride = static_cast<int>(image->getRowStepInBytes());
    view.format = static_cast<vxt::PixelFormat>(getCorePixelFormatForImage(image));
    if (!m_core->detector->detect(view))
    {
        OSG_FATAL << "Error detecting markers in image." << std::endl;
        return false;
    }
    return true;
}

void SquareTracker::update()
{
    if (!m_imageSource.valid())
    {
        // Said once, not on every frame until a source is connected.
        if (!m_reportedNoSource) log("Tracker::update : No connected image source for the tracker.");
        m_reportedNoSource = true;
        return;
    }
    const unsigned int modified = m_imageSource->getModifiedCount();
    if (modified == m_lastModifiedCount || modified == 1 || !IsInitialised()) return;
    m_lastModifiedCount = modified;
    if (getCorePixelFormatForImage(m_imageSource.get()) == 0 || !DetectIn(m_imageSource.get())) return;

    ++m_analysedFrames;
    const vxt::MarkerInfo* results = m_core->detector->markers();
    const int count = m_core->detector->markerCount();
    int found = 0;
    for (osg::ref_ptr<BaseMarker>& marker : m_markers)
    {
        if (auto* single = dynamic_cast<SingleMarker*>(marker.get()))
        {
            const vxt::MarkerInfo* chosen = ChooseSingleResult(results, count, single->getPatternID(), m_tolerance);
            single->update(chosen, m_core->pose.get());
            if (chosen) ++found;
        }
        else if (auto* multi = dynamic_cast<MultiMarker*>(marker.get()))
        {
            multi->update(m_core->pose.get(), results, count);
            if (multi->isValid()) ++found;
        }
    }
    if (found == 0 && m_useAuto) Search(true);
    // After a search the detector holds the results of its last pass.
    SetTargetMarker(m_core->detector->markers(), m_core->detector->markerCount());
}

int SquareTracker::TryMarkersForSearch()
{
    const vxt::MarkerInfo* results = m_core->detector->markers();
    const int count = m_core->detector->markerCount();
    int successes = 0;
    for (osg::ref_ptr<BaseMarker>& marker : m_markers)
    {
        if (auto* single = dynamic_cast<SingleMarker*>(marker.get()))
        {
            const vxt::MarkerInfo* best =
                ChooseSingleResult(results, count, single->getPatternID(), kSearchConfidence);
            single->update(best, m_core->pose.get());
            if (best) ++successes;
        }
        else if (auto* multi = dynamic_cast<MultiMarker*>(marker.get()))
        {
            multi->update(m_core->pose.get(), results, count);
            if (multi->isValid()) ++successes;
        }
    }
    return successes;
}

const vxt::MarkerInfo* SquareTracker::ChooseSingleResult(const vxt::MarkerInfo* results, int count, int patternId,
                                                         double bar)
{
    const vxt::MarkerInfo* chosen = nullptr;
    for (int i = 0; i < count; ++i)
    {
        if (results[i].id != patternId) continue;
        if (results[i].cf > (chosen ? chosen->cf : bar)) chosen = &results[i];
    }
    return chosen;
}

int SquareTracker::SearchThresholds(int autoThreshold, int maxAutoSteps, int autoStepSize,
                                    int (&thresholds)[kMaxSearchPasses])
{
    assert(maxAutoSteps >= 0 && maxAutoSteps <= kMaxAutoSteps &&
           "SearchThresholds: maxAutoSteps must be 0..kMaxAutoSteps");
    int t = std::clamp(autoThreshold - maxAutoSteps * autoStepSize, 10, 240);
    for (int pass = 0; pass < 2 * maxAutoSteps; ++pass)
    {
        t = std::clamp(t + autoStepSize, 10, 240);
        thresholds[pass] = t;
    }
    return 2 * maxAutoSteps;
}

std::vector<int> SquareTracker::SearchThresholds(int autoThreshold, int maxAutoSteps, int autoStepSize)
{
    int thresholds[kMaxSearchPasses];
    const int count = SearchThresholds(autoThreshold, maxAutoSteps, autoStepSize, thresholds);
    return std::vector<int>(thresholds, thresholds + count);
}

int SquareTracker::rescan()
{
    const int found = Search(false);
    if (m_core->detector) SetTargetMarker(m_core->detector->markers(), m_core->detector->markerCount());
    return found;
}

int SquareTracker::Search(bool detected)
{
    if (!IsInitialised() || !m_imageSource.valid()) return 0;
    // A success in pass i records the threshold tried in that pass: the
    // search's start for the first pass, else the one set after pass i - 1.
    const int start = std::clamp(m_autoThreshold - m_maxAutoSteps * m_autoStepSize, 10, 240);
    int next[kMaxSearchPasses];
    const int passes = SearchThresholds(m_autoThreshold, m_maxAutoSteps, m_autoStepSize, next);
    for (int pass = 0; pass < passes; ++pass)
    {
        // The first pass looks at the frame at the threshold in force; the
        // others detect again in the same frame, reusing its grey image.
        if (pass > 0)
        {
            if (!m_core->detector->redetect())
            {
                OSG_FATAL << "Error detecting markers again in image." << std::endl;
                return 0;
            }
        }
        else if (!detected && !DetectIn(m_imageSource.get()))
            return 0;
        if (TryMarkersForSearch() > 0)
        {
            m_autoThreshold = pass == 0 ? start : next[pass - 1];
            return 1;
        }
        setThreshold(next[pass]);
    }
    setThreshold(m_userThreshold);
    return 0;
}

void SquareTracker::setUserThreshold(int threshold)
{
    m_userThreshold = std::clamp(threshold, 0, 255);
    setThreshold(m_userThreshold);
}

void SquareTracker::setThreshold(int threshold)
{
    if (!m_core->detector) return;
    if (!m_core->detector->setThreshold(std::clamp(threshold, 0, 255)))
        OSG_WARN << "SquareTracker::setThreshold() : error in setting the labeling threshold" << std::endl;
}

int SquareTracker::getThreshold() const
{
    return m_core->detector ? m_core->detector->threshold() : m_userThreshold;
}

void SquareTracker::setMaxAutoSteps(int steps)
{
    m_maxAutoSteps = std::clamp(steps, 0, kMaxAutoSteps);
}

void SquareTracker::setAutoStepSize(int size)
{
    m_autoStepSize = std::clamp(size, 0, 20);
}

void SquareTracker::setDebugMode(bool on)
{
    if (m_core->detector && !m_core->detector->setDebugMode(on ? 1 : 0))
        OSG_FATAL << "SquareTracker::setDebugMode() : error in setting the debug mode" << std::endl;
}

bool SquareTracker::getDebugMode() const
{
    return m_core->detector && m_core->detector->debugMode() != 0;
}

void SquareTracker::setImageProcMode(int mode)
{
    if (!m_core->detector)
    {
        m_imageProcMode = mode;
        return;
    }
    if (m_core->detector->setImageProcMode(mode))
        m_imageProcMode = mode;
    else
        OSG_FATAL << "SquareTracker::setImageProcMode() : error in setting the image processing mode" << std::endl;
}

int SquareTracker::getImageProcMode() const
{
    return m_core->detector ? m_core->detector->imageProcMode() : m_imageProcMode;
}

void SquareTracker::setPatternDetectionMode(int mode)
{
    if (!m_core->detector)
    {
        m_patternDetectionMode = mode;
        return;
    }
    if (m_core->detector->setPatternDetectionMode(mode))
        m_patternDetectionMode = mode;
    else
        OSG_FATAL << "SquareTracker::setPatternDetectionMode() : error in setting the pattern detection mode"
                  << std::endl;
}

int SquareTracker::getPatternDetectionMode() const
{
    return m_core->detector ? m_core->detector->patternDetectionMode() : m_patternDetectionMode;
}

void SquareTracker::SetLabelingMode(int mode)
{
    if (!m_core->detector)
    {
        m_labelingMode = mode;
        return;
    }
    if (m_core->detector->setLabelingMode(mode)) m_labelingMode = mode;
}

int SquareTracker::GetLabelingMode() const
{
    return m_core->detector ? m_core->detector->labelingMode() : m_labelingMode;
}

void SquareTracker::SetAdaptiveThreshold(bool on)
{
    m_adaptive = on;
    if (m_core->detector) m_core->detector->setAdaptiveThreshold(on);
}

bool SquareTracker::GetAdaptiveThreshold() const
{
    return m_adaptive;
}

bool SquareTracker::CopyThresholdPicture(osg::Image& picture) const
{
    if (!m_core->detector) return false;
    const vxt::Plane& mask = m_core->detector->maskImage();
    if (!mask.data || mask.width <= 0 || mask.height <= 0) return false;
    if (picture.s() != mask.width || picture.t() != mask.height || picture.getPixelFormat() != GL_LUMINANCE)
        picture.allocateImage(mask.width, mask.height, 1, GL_LUMINANCE, GL_UNSIGNED_BYTE, 1);
    // The mask marks the squares' colour: dark pixels in labelling mode 0,
    // light ones in mode 1. The view shows dark as black in both.
    const std::uint8_t flip = GetLabelingMode() == 0 ? 0xFF : 0x00;
    for (int y = 0; y < mask.height; ++y)
    {
        const std::uint8_t* in = mask.data + static_cast<std::ptrdiff_t>(y) * mask.stride;
        std::uint8_t* out = picture.data(0, y);
        for (int x = 0; x < mask.width; ++x) out[x] = in[x] ^ flip;
    }
    picture.dirty();
    return true;
}

void SquareTracker::SetMaxLoopCount(int count)
{
    m_maxLoopCount = count;
    if (m_core->pose) m_core->pose->setMaxLoopCount(count);
}

void SquareTracker::SetLoopBreakThreshold(double value)
{
    m_loopBreakThreshold = value;
    if (m_core->pose) m_core->pose->setBreakThreshold(value);
}

void SquareTracker::SetLoopBreakThreshRatio(double value)
{
    m_loopBreakThreshRatio = value;
    if (m_core->pose) m_core->pose->setBreakRatio(value);
}

int SquareTracker::getCorePixelFormatForImage(const osg::Image* image)
{
    if (!image || image->s() <= 0 || image->t() <= 0 || image->r() <= 0 || !image->data() ||
        image->getDataType() == 0)
        return 0;
    const GLenum format = image->getPixelFormat();
    const GLenum type = image->getDataType();
    const GLenum kYCbCr422 = 0x85B9, kYCbCr422Alt = 0x8757;
    const GLenum kShort88 = 0x85BA, kShort88Rev = 0x85BB;
    if (type == GL_UNSIGNED_BYTE)
    {
        switch (format)
        {
        case GL_RGB: return 1;
        case GL_BGR: return 2;
        case GL_RGBA: return 3;
        case GL_BGRA: return 4;
        case 0x8000: return 5;  // GL_ABGR_EXT
        case GL_LUMINANCE: return 6;
        default: return 0;
        }
    }
    if (format == GL_BGRA && type == GL_UNSIGNED_INT_8_8_8_8) return 7;
    if ((format == kYCbCr422 || format == kYCbCr422Alt) && type == kShort88) return 8;
    if ((format == kYCbCr422 || format == kYCbCr422Alt) && type == kShort88Rev) return 9;
    return 0;
}
