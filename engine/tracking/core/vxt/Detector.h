#pragma once
#include <string>
#include <vector>

#include "vxt/CameraParams.h"
#include "vxt/DetectorParams.h"
#include "vxt/FrameWorkspace.h"
#include "vxt/ImageView.h"
#include "vxt/MarkerInfo.h"
#include "vxt/StageTimes.h"
#include "vxt/Status.h"

namespace vxt {

class PatternSet;

// The detection context: finds black-bordered squares in a frame and
// identifies them against an attached pattern set.
// Pipeline (one call per step): 1 luminance, 2 binarise and label,
// 3 candidate squares with subpixel corners, 4 pattern match, 5 result list.
// The detector owns its workspace; it does not own the pattern set.
// Setters refuse values outside their range (false, nothing changed).
class Detector {
public:
    // Frames are expected in the camera's image size (others work too, but a
    // new size makes the workspace grow once).
    explicit Detector(const CameraParams& camera);
    Detector(int width, int height);

    bool setThreshold(int t);              // 0..255
    int threshold() const { return params_.binarize.threshold; }
    bool setLabelingMode(int mode);        // 0 dark squares, 1 light squares
    int labelingMode() const { return params_.binarize.labelingMode; }
    bool setImageProcMode(int mode);       // 0 full size, 1 half size
    int imageProcMode() const { return params_.luminance.imageProcMode; }
    bool setPatternDetectionMode(int mode);  // 0 colour, 1 grey, 2 grey without shading
    int patternDetectionMode() const { return params_.pattern.mode; }
    bool setDebugMode(int mode);           // 0..1
    int debugMode() const { return params_.debugMode; }
    bool setPixelFormat(int code);         // 1..9
    PixelFormat pixelFormat() const { return params_.pixelFormat; }
    void setAdaptiveThreshold(bool on) { params_.binarize.adaptive = on; }
    bool adaptiveThreshold() const { return params_.binarize.adaptive; }
    void setDebugFolder(const std::string& folder) { params_.debugFolder = folder; }

    // All stage parameters; `setParams` checks every range first.
    const DetectorParams& params() const { return params_; }
    Status setParams(const DetectorParams& p);

    void attachPatternSet(const PatternSet* set) { patterns_ = set; }
    void detachPatternSet() { patterns_ = nullptr; }
    const PatternSet* patternSet() const { return patterns_; }

    // Detects squares in a tightly packed frame of the detector's size in the
    // current pixel format.
    Status detect(const unsigned char* pixels);
    // Detects squares in any frame.
    Status detect(const ImageView& frame);
    // Detects again in the last frame (for example at another threshold),
    // reusing its grey image: step 1 is skipped. The caller's frame must
    // still be in memory, unchanged.
    Status redetect();

    // Results of the last successful detection, in detection order.
    int markerCount() const { return static_cast<int>(ws_.results.size()); }
    const MarkerInfo* markers() const { return ws_.results.data(); }

    const StageTimes& times() const { return times_; }
    // Grey and mask images of the last detection (owned by the detector).
    const Plane& greyImage() const { return ws_.luminance.full; }
    const Plane& maskImage() const { return ws_.binary.mask; }

    int width() const { return width_; }
    int height() const { return height_; }

    // Samples a square's inner half from `frame` upright (its corner `dir` as
    // top-left when it was identified, corner 0 otherwise) and writes it as
    // a pattern file.
    static Status savePattern(const ImageView& frame, const MarkerInfo& square, const std::string& path);

private:
    void dumpDebugImages() const;
    // Steps 2 to 5 on the current grey image.
    void detectFromGrey(const ImageView& frame, double luminanceMs);

    int width_, height_;
    DetectorParams params_;
    const PatternSet* patterns_ = nullptr;
    FrameWorkspace ws_;
    StageTimes times_;
    ImageView lastFrame_;  // frame of the last successful detection (not owned)
    bool haveFrame_ = false;
    int lastProcMode_ = 0;
};

}  // namespace vxt
