#pragma once
// Finds square markers in the current video frame and gives the 3D scene its
// projection. Holds the detection settings the engine settings file and the
// keys adjust. Until the detection core is attached the tracker detects
// nothing and projects with a plausible 640 × 480 camera (focal length 700 px).

#include <osg/Group>
#include <osg/Referenced>
#include <osg/Vec2f>
#include <osg/ref_ptr>

#include <string>

class SquareTracker : public osg::Referenced
{
public:
    SquareTracker();

    /// Column-major OpenGL projection, near plane 10, far plane 8000.
    virtual const double* getProjectionMatrix() const { return m_projection; }

    /// Clamped to 0..255.
    void setUserThreshold(int threshold);
    int getUserThreshold() const { return m_userThreshold; }
    void setUseAuto(bool flag) { m_useAuto = flag; }
    bool getUseAuto() const { return m_useAuto; }
    /// Both clamped to 0..20.
    void setMaxAutoSteps(int steps);
    int getMaxAutoSteps() const { return m_maxAutoSteps; }
    void setAutoStepSize(int size);
    int getAutoStepSize() const { return m_autoStepSize; }
    void SetTol(float tolerance) { m_tolerance = tolerance; }
    float GetTol() const { return m_tolerance; }

    void setImageProcMode(int mode) { m_imageProcMode = mode; }
    int getImageProcMode() const { return m_imageProcMode; }
    void SetLabelingMode(int mode) { m_labelingMode = mode; }
    int GetLabelingMode() const { return m_labelingMode; }
    void setPatternDetectionMode(int mode) { m_patternDetectionMode = mode; }
    int getPatternDetectionMode() const { return m_patternDetectionMode; }

    void SetMaxLoopCount(int count) { m_maxLoopCount = count; }
    int GetMaxLoopCount() const { return m_maxLoopCount; }
    void SetLoopBreakThreshold(double value) { m_loopBreakThreshold = value; }
    double GetLoopBreakThreshold() const { return m_loopBreakThreshold; }
    void SetLoopBreakThreshRatio(double value) { m_loopBreakThreshRatio = value; }
    double GetLoopBreakThreshRatio() const { return m_loopBreakThreshRatio; }

    osg::Node* BuildDebugLayer(const osg::Vec2f& size);
    osg::Node* GetDebugLayer() { return m_debugGroup.get(); }

    std::string getLabel() const { return "VexaTrack-1.0.0"; }

protected:
    ~SquareTracker() override = default;

private:
    double m_projection[16];
    int m_userThreshold = 90;   // 0..255
    bool m_useAuto = false;
    int m_maxAutoSteps = 4;     // 0..20
    int m_autoStepSize = 5;     // 0..20
    float m_tolerance = 0.8f;   // minimum confidence, 0..1
    int m_imageProcMode = 0;
    int m_labelingMode = 0;
    int m_patternDetectionMode = 0;
    int m_maxLoopCount = 10;
    double m_loopBreakThreshold = 0.1;
    double m_loopBreakThreshRatio = 0.99;
    osg::ref_ptr<osg::Group> m_debugGroup;
};
