#pragma once
// Our tracker as the viewer drives it: a SquareTracker initialised from a
// camera parameter file, one single marker per pattern file (all 80 mm wide,
// no pose filter), fed through an osg::Image image source. `process` is
// SquareTracker::update on a frame marked new with dirty().

#include "MarkerDetector.h"

#include <osg/Image>
#include <osg/ref_ptr>

#include <string>
#include <vector>

#include "SquareTracker.h"

namespace peerbench
{
class OursDetector : public MarkerDetector
{
public:
    /// False with `error` set when the tracker cannot be set up. `globalOnly`:
    /// one threshold for the whole frame instead of the tracker's default.
    bool init(int width, int height, const std::string& cameraFile, const std::vector<std::string>& patterns,
              double widthMm, bool globalOnly, std::string& error);
    ~OursDetector() override;

    std::string name() const override { return m_globalOnly ? "ours, global threshold" : "ours"; }
    void load(const cv::Mat& bgr) override;
    void process() override;
    int collect(Detection* out, int capacity) override;

private:
    osg::ref_ptr<SquareTracker> m_tracker;
    osg::ref_ptr<osg::Image> m_image;
    bool m_globalOnly = false;
};
}
