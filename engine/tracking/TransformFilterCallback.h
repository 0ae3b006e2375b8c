#pragma once
// The pose filter of a marker: rejects sudden translation jumps and flips of
// orientation for a few frames, then smooths rotation (spherical
// interpolation) and translation toward each accepted pose.

#include "BaseMarker.h"

#include <osg/Quat>
#include <osg/Vec3f>

class TransformFilterCallback : public BaseMarker::Callback
{
public:
    TransformFilterCallback();

    void operator()(BaseMarker& marker, const osg::Matrixd& pose) override;

    void SetJumpDistance(float distance) { m_jumpDistance = distance; }
    void SetRotationSmoothing(float factor) { m_rotationSmoothing = factor; }
    void SetTranslationSmoothing(float factor) { m_translationSmoothing = factor; }
    float GetRotationSmoothing() const { return m_rotationSmoothing; }
    float GetTranslationSmoothing() const { return m_translationSmoothing; }
    void EnableRotationSmoothing(bool on) { m_rotationSmoothingOn = on; }
    void EnableTranslationSmoothing(bool on) { m_translationSmoothingOn = on; }
    void EnableJumpRejection(bool on) { m_jumpRejectionOn = on; }

    int GetJumpCount() const { return m_jumpCount; }
    int GetOrientationCount() const { return m_orientationCount; }
    const osg::Vec3f& GetSmoothedTranslation() const { return m_translation; }

protected:
    ~TransformFilterCallback() override = default;

private:
    bool RejectsJump(const osg::Matrixd& pose);
    bool RejectsOrientation(const BaseMarker& marker, const osg::Matrixd& pose);
    void AdaptRotationSmoothing(const BaseMarker& marker);

    osg::Vec3f m_translation{0.f, 0.f, 0.f};
    osg::Quat m_rotation{0.0, 0.0, 0.0, 1.0};
    osg::Vec3f m_referenceDirection{0.f, 100.f, 1000.f};
    osg::Matrixd m_lastMatrix;
    osg::Vec3f m_currentDirection{0.f, 0.f, 0.f};
    float m_translationSmoothing = 0.9f;  // 0..1, 1 follows the measurement
    float m_rotationSmoothing = 0.9f;     // 0..1
    float m_jumpDistance = 50.f;          // pose units (mm)
    int m_jumpFrameLimit = 10;
    int m_jumpCount = 0;
    float m_orientationThreshold = 0.7f;  // minimum cosine to the reference axis
    int m_orientationFrameLimit = 10;
    int m_orientationCount = 0;
    bool m_rotationSmoothingOn = true;
    bool m_translationSmoothingOn = true;
    bool m_jumpRejectionOn = false;
    bool m_orientationCheckOn = true;
    double m_previousCosine = 0.999;
    double m_jitter = 0.0;
    int m_windowFrames = 0;
    int m_windowLength = 120;  // frames
};
