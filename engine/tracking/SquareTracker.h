#pragma once
// Finds square markers in the current video frame and keeps, for every
// registered marker, a valid flag and a pose. Around the detection core it
// adds the camera set-up from a camera parameter file, a per-frame update
// that only works on new frames, a confidence rule, an automatic threshold
// search when nothing is found, the OpenGL projection for the 3D scene, a 2D
// debug overlay outlining the largest square, saving that square's pattern,
// and a lens-undistortion mesh. Main thread only.

#include "BaseMarker.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Group>
#include <osg/Image>
#include <osg/Referenced>
#include <osg/Vec2f>
#include <osg/Vec3>
#include <osg/ref_ptr>

#include <memory>
#include <string>
#include <vector>

namespace vxt
{
struct MarkerInfo;
}

class SquareTracker : public osg::Referenced
{
public:
    SquareTracker();

    /// Column-major OpenGL projection, right-handed, near 10, far 8000. A
    /// plausible 640 × 480 camera (focal length 700 px) until init succeeds.
    virtual const double* getProjectionMatrix() const { return m_projection; }
    virtual void setEnable(bool enable) { m_enable = enable; }
    virtual bool getEnable() const { return m_enable; }
    /// Loads the camera parameters, scales them to xsize × ysize and makes
    /// the detection, pose and pattern contexts; false (logged and shown)
    /// when the file cannot be read. The marker configuration is not used.
    virtual bool init(int xsize, int ysize, const std::string& markerConfig, const std::string& cameraParamFile);
    virtual BaseMarker* getMarker(int index);
    virtual void createUndistortedMesh(int width, int height, float maxU, float maxV, osg::Geometry& geometry);

    /// Analyses the image source if it holds a new frame and updates markers.
    void update();
    /// Frames analysed since the start (new frames that update detected markers in).
    unsigned long long GetAnalysedFrameCount() const { return m_analysedFrames; }
    void setImageSource(osg::Image* image)
    {
        m_imageSource = image;
        m_reportedNoSource = false;
    }
    osg::Image* getImageSource() { return m_imageSource.get(); }

    /// Index of the new marker, or -1.
    int addSingleMarker(const std::string& patternFile, double width, const double centre[2]);
    int addMultiMarker(const std::string& configFile);
    int getMarkerCount() const { return static_cast<int>(m_markers.size()); }

    void setProjection(double nearPlane, double farPlane);

    void setUserThreshold(int threshold);  // clamped to 0..255, applied
    int getUserThreshold() const { return m_userThreshold; }
    void setThreshold(int threshold);      // clamped, applied, not stored
    int getThreshold() const;
    int getAutoThreshold() const { return m_autoThreshold; }
    void setUseAuto(bool flag) { m_useAuto = flag; }
    bool getUseAuto() const { return m_useAuto; }
    void setMaxAutoSteps(int steps);       // clamped to 0..20
    int getMaxAutoSteps() const { return m_maxAutoSteps; }
    void setAutoStepSize(int size);        // clamped to 0..20
    int getAutoStepSize() const { return m_autoStepSize; }
    /// Automatic threshold search on the current frame: 1 found, 0 not. The
    /// frame is converted to grey once; the other thresholds re-run only the
    /// detection steps after that.
    int rescan();
    void SetTol(float tolerance) { m_tolerance = tolerance; }
    float GetTol() const { return m_tolerance; }

    void setDebugMode(bool on);
    bool getDebugMode() const;
    void setImageProcMode(int mode);
    int getImageProcMode() const;
    void setPatternDetectionMode(int mode);
    int getPatternDetectionMode() const;
    void SetLabelingMode(int mode);
    int GetLabelingMode() const;
    /// Local (adaptive) thresholding, on by default: the threshold is applied
    /// to the frame with its local contrast stretched to the full range, so
    /// markers are found under strong lighting gradients, and the user
    /// threshold still moves the decision (where the frame is flat it
    /// decides alone). Off: one global threshold for the whole frame.
    void SetAdaptiveThreshold(bool on);
    bool GetAdaptiveThreshold() const;
    /// The two-valued picture the last detection worked on, as the threshold
    /// view shows it: 0 (black) where a pixel counts as dark, 255 (white)
    /// elsewhere, at the detection's labelling resolution (half the frame in
    /// the half-size image mode). Copies into `picture` as 8-bit luminance,
    /// reallocating it only when the size changes; false before any detection.
    bool CopyThresholdPicture(osg::Image& picture) const;

    void SetMaxLoopCount(int count);
    int GetMaxLoopCount() const { return m_maxLoopCount; }
    void SetLoopBreakThreshold(double value);
    double GetLoopBreakThreshold() const { return m_loopBreakThreshold; }
    void SetLoopBreakThreshRatio(double value);
    double GetLoopBreakThreshRatio() const { return m_loopBreakThreshRatio; }

    std::string getLabel() const;
    const std::string& getCameraParamFile() const { return m_cameraParamFile; }
    bool IsInitialised() const;

    /// The largest square of the last update (owned by the tracker), or null.
    const vxt::MarkerInfo* GetTargetMarker() const { return m_target; }
    /// A result's corners with y measured from the bottom of the image.
    std::vector<osg::Vec2f> GetOsgSPMarkerVecs(const vxt::MarkerInfo& result) const;
    /// The same into `corners` (allocates nothing).
    void GetOsgSPMarkerVecs(const vxt::MarkerInfo& result, osg::Vec2f corners[4]) const;
    void SetTargetMarker(const vxt::MarkerInfo* results, int count);
    /// Results of the last detection (owned by the tracker).
    int GetResultCount() const;
    const vxt::MarkerInfo* GetResults() const;

    osg::Node* BuildDebugLayer(const osg::Vec2f& size);
    osg::Node* GetDebugLayer() { return m_debugGroup.get(); }
    void ToggleDebugView();
    /// Saves the target square's pattern to a file the user names.
    bool SaveTargetPatt();

    /// The detection a single marker takes: among the results of its pattern,
    /// the first whose confidence is above `bar`, replaced only by a later one
    /// with a strictly higher confidence; null when none qualifies.
    static const vxt::MarkerInfo* ChooseSingleResult(const vxt::MarkerInfo* results, int count, int patternId,
                                                     double bar);
    static constexpr int kMaxAutoSteps = 20;
    static constexpr int kMaxSearchPasses = 2 * kMaxAutoSteps;
    /// The thresholds the automatic search sets after its first pass (which
    /// uses the threshold in force), each clamped to 10..240.
    static std::vector<int> SearchThresholds(int autoThreshold, int maxAutoSteps, int autoStepSize);
    /// The same into `thresholds` (allocates nothing); returns how many, 2 ×
    /// maxAutoSteps. maxAutoSteps must be 0..kMaxAutoSteps.
    static int SearchThresholds(int autoThreshold, int maxAutoSteps, int autoStepSize,
                                int (&thresholds)[kMaxSearchPasses]);

    /// Pixel format code of an image for the detection core (0 unusable).
    static int getCorePixelFormatForImage(const osg::Image* image);

protected:
    ~SquareTracker() override;

private:
    struct Core;

    bool DetectIn(osg::Image* image);
    /// The threshold search; `detected`: the detector already holds the
    /// current frame's results at the threshold in force (its first pass).
    int Search(bool detected);
    int TryMarkersForSearch();

    std::unique_ptr<Core> m_core;
    std::vector<osg::ref_ptr<BaseMarker>> m_markers;
    const vxt::MarkerInfo* m_target = nullptr;
    osg::ref_ptr<osg::Node> m_debugRoot;
    osg::ref_ptr<osg::Group> m_debugGroup;
    osg::ref_ptr<osg::Geode> m_debugGeode;
    osg::ref_ptr<osg::Geometry> m_debugOutline;
    osg::ref_ptr<osg::Vec3Array> m_outlineVertices;
    float m_imageWidth = 640.f, m_imageHeight = 480.f;  // pixels
    double m_projection[16];
    std::string m_name = "VexaTrack";
    bool m_enable = true;
    osg::ref_ptr<osg::Image> m_imageSource;
    bool m_reportedNoSource = false;  // update has logged the missing source
    unsigned int m_lastModifiedCount = 0xFFFFF;
    unsigned long long m_analysedFrames = 0;
    float m_tolerance = 0.8f;   // minimum confidence of a single marker, 0..1
    std::string m_cameraParamFile;
    int m_autoThreshold = 90;   // 0..255
    int m_userThreshold = 90;   // 0..255
    bool m_useAuto = false;
    int m_maxAutoSteps = 4;     // 0..20
    int m_autoStepSize = 5;     // 0..20
    int m_maxLoopCount = 10;
    double m_loopBreakThreshold = 0.1;
    double m_loopBreakThreshRatio = 0.99;
    // Modes remembered before init, applied when the detector is made.
    int m_imageProcMode = 0, m_labelingMode = 0, m_patternDetectionMode = 0;
    bool m_adaptive = true;
};
