#include "TrackerScene.h"

#include "FrameRenderer.h"

#include <cmath>
#include <cstring>

namespace
{
// A picture of coloured blocks, different for every seed and never the
// same under rotation.
vxt::PatternImage makePicture(int seed)
{
    vxt::PatternImage p;
    unsigned state = 2654435761u * static_cast<unsigned>(seed + 1);
    for (int r = 0; r < vxt::PatternImage::kSize; ++r)
        for (int c = 0; c < vxt::PatternImage::kSize; ++c)
        {
            const bool block = ((r / 4) * 4 + (c / 4) + seed) % 3 == 0 || (r < 4 && c < 8);
            state = state * 1664525u + 1013904223u;
            const unsigned char v = block ? 20 : 235;
            p.at(r, c, 0) = v;
            p.at(r, c, 1) = static_cast<unsigned char>(block ? (state >> 24) % 80 : 235);
            p.at(r, c, 2) = v;
        }
    return p;
}
}

TrackerScene::TrackerScene(const TestFolder& folder, int patterns)
    : m_folder(folder), m_camera(kWidth, kHeight, 700.0, 700.0, 320.0, 240.0)
{
    m_camera.save(CameraFile());
    for (int i = 0; i < patterns; ++i)
    {
        m_patterns.push_back(makePicture(i));
        m_patterns.back().save(PatternFile(i));
    }
}

void TrackerScene::Place(int pattern, const vxt::Pose34& pose, double width)
{
    m_placed.push_back({pattern, pose, width});
}

void TrackerScene::Render(osg::Image& image) const
{
    vxtbench::FrameRenderer renderer(kWidth, kHeight);
    renderer.texture(7, 150.f, 210.f);
    vxtbench::MarkerStyle style;
    style.supersample = 4;
    for (const Placed& p : m_placed)
    {
        double corners[4][2];
        renderer.drawMarkerAt(m_patterns[static_cast<size_t>(p.pattern)], m_camera, p.pose, p.width, style, corners);
    }
    std::vector<std::uint8_t> bgr;
    renderer.toFormat(vxt::PixelFormat::BGR, bgr);
    if (image.s() != kWidth || image.t() != kHeight || image.getPixelFormat() != GL_BGR)
        image.allocateImage(kWidth, kHeight, 1, GL_BGR, GL_UNSIGNED_BYTE, 1);
    std::memcpy(image.data(), bgr.data(), bgr.size());
    image.dirty();
}

vxt::Pose34 TrackerScene::PoseAt(double x, double y, double distance, double tiltDeg, double spinDeg)
{
    // Marker frame: y up, z toward the viewer; camera frame: y down, z forward.
    // Facing the camera means marker y -> camera -y and marker z -> camera -z.
    const double a = tiltDeg * M_PI / 180.0, s = spinDeg * M_PI / 180.0;
    const double facing[3][3] = {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    const double tilt[3][3] = {{1, 0, 0}, {0, std::cos(a), -std::sin(a)}, {0, std::sin(a), std::cos(a)}};
    const double spin[3][3] = {{std::cos(s), -std::sin(s), 0}, {std::sin(s), std::cos(s), 0}, {0, 0, 1}};
    double ts[3][3], r[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
        {
            ts[i][j] = 0;
            for (int k = 0; k < 3; ++k) ts[i][j] += tilt[i][k] * spin[k][j];
        }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
        {
            r[i][j] = 0;
            for (int k = 0; k < 3; ++k) r[i][j] += facing[i][k] * ts[k][j];
        }
    vxt::Pose34 pose;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) pose.m[i][j] = r[i][j];
    pose.m[0][3] = x;
    pose.m[1][3] = y;
    pose.m[2][3] = distance;
    return pose;
}

osg::Matrixd TrackerScene::Modelview(const vxt::Pose34& pose)
{
    double gl[16];
    vxt::poseToModelview(pose, 1.0, gl);
    return osg::Matrixd(gl);
}
