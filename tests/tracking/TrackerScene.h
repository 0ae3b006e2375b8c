#pragma once
// Frames with printed markers at known poses, the matching pattern files and
// camera file in a test folder, and the tracker set up on them.

#include "SquareTracker.h"

#include "TestFolder.h"

#include "vxt/CameraParams.h"
#include "vxt/PatternImage.h"
#include "vxt/Pose34.h"

#include <osg/Image>

#include <string>
#include <vector>

class TrackerScene
{
public:
    static constexpr int kWidth = 640, kHeight = 480;  // pixels

    /// Writes the camera file and `patterns` distinct pattern files.
    explicit TrackerScene(const TestFolder& folder, int patterns = 3);

    std::string CameraFile() const { return m_folder / "camera.dat"; }
    std::string PatternFile(int i) const { return m_folder / ("marker" + std::to_string(i) + ".patt"); }
    const vxt::CameraParams& Camera() const { return m_camera; }

    /// A marker of `width` mm at `pose`; the picture is drawn by Render.
    void Place(int pattern, const vxt::Pose34& pose, double width = 80.0);
    void Clear() { m_placed.clear(); }
    /// Draws the placed markers into `image` (BGR, rows top-down) and marks it modified.
    void Render(osg::Image& image) const;

    /// A pose `distance` mm in front of the camera, tilted `tiltDeg` about x
    /// and shifted (x, y) mm.
    static vxt::Pose34 PoseAt(double x, double y, double distance, double tiltDeg = 0.0, double spinDeg = 0.0);
    /// The modelview the tracker should report for a pose.
    static osg::Matrixd Modelview(const vxt::Pose34& pose);

private:
    struct Placed
    {
        int pattern;
        vxt::Pose34 pose;
        double width;
    };
    const TestFolder& m_folder;
    vxt::CameraParams m_camera;
    std::vector<vxt::PatternImage> m_patterns;
    std::vector<Placed> m_placed;
};
