#pragma once
// Something the tracker looks for: one square pattern (SingleMarker) or a
// set of patterns with known placement (MultiMarker). Each update turns the
// detections of a frame into a valid flag, a confidence, corner positions
// and a pose (the OpenGL modelview of the marker relative to the camera).
// The pose passes through an optional filter before it becomes the marker's
// transform.

#include <osg/Matrixd>
#include <osg/Referenced>
#include <osg/Vec2f>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class BaseMarker : public osg::Referenced
{
public:
    /// A pose filter: receives each new pose of a valid marker and writes the
    /// marker's transform.
    class Callback : public osg::Referenced
    {
    public:
        virtual void operator()(BaseMarker& marker, const osg::Matrixd& pose) = 0;

    protected:
        ~Callback() override = default;
    };

    BaseMarker();

    virtual bool isSameKindAs(const BaseMarker*) const { return true; }
    virtual const char* className() const { return "Marker"; }
    /// 1 single, 2 multi.
    virtual int getType() const = 0;
    virtual bool isValid() const { return m_valid; }
    virtual void setActive(bool active) = 0;
    /// Gives the marker's patterns back to the tracker's pattern set and
    /// forgets the set; the tracker calls it before the set goes away (scene
    /// nodes may keep the marker itself alive longer).
    virtual void releasePatterns() = 0;

    bool isActive() const { return m_active; }
    const osg::Matrixd& getTransform() const { return m_transform; }
    /// The filters write the transform through this.
    void setTransform(const osg::Matrixd& m) { m_transform = m; }
    double getConfidence() const { return m_confidence; }
    void setFilterCallback(Callback* filter) { m_filter = filter; }
    Callback* getFilterCallback() { return m_filter.get(); }
    void setName(const std::string& name) { m_name = name; }
    const std::string& getName() const { return m_name; }
    /// Corners of the last sighting in image pixels, detector order.
    const std::vector<osg::Vec2f>& getCorners() const { return m_corners; }
    int getDirection() const { return m_direction; }

    /// A valid marker's pose goes to the filter, or straight into the
    /// transform without one; an invalid marker keeps its transform.
    void updateTransform(const osg::Matrixd& pose);

    /// Root of the summed squared distances between two sightings' corners,
    /// each taken from its own first pattern corner, quartered; 0 when there
    /// was no previous sighting (previousDirection -1).
    static double CornerDisplacement(const std::vector<osg::Vec2f>& previous, int previousDirection,
                                     const double (*corners)[2], int direction);

protected:
    ~BaseMarker() override;

    osg::ref_ptr<Callback> m_filter;
    bool m_valid = false;
    bool m_active = false;
    bool m_validLastUpdate = false;
    double m_confidence = 0.0;
    std::vector<osg::Vec2f> m_corners;
    int m_direction = -1;
    osg::Matrixd m_transform;
    std::string m_name = "BaseMarker";
};
