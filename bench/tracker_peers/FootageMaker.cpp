#include "FootageMaker.h"

#include "AprilTagPeer.h"
#include "ArucoPeer.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/stat.h>

namespace peerbench
{
namespace
{
// Our built-in pictures: the demo's four, then the other four.
const char* const kDesigns[FootageMaker::kMaxMarkers] = {"corvane",  "glyph-f", "arrow", "sail",
                                                         "glyph-r",  "glyph-k", "steps", "quad"};
const int kBlockMarkers = 4;
const int kBlockCells = 6;

bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

// An inner picture of kBlockCells x kBlockCells random black and white cells
// with a white frame of half a cell, deterministic per index.
cv::Mat blockPicture(int index, int size)
{
    std::mt19937 random(1000u + static_cast<unsigned>(index));
    const int cell = size / (kBlockCells + 1);
    const int origin = (size - cell * kBlockCells) / 2;
    cv::Mat picture(size, size, CV_8UC3, cv::Scalar(255, 255, 255));
    for (int r = 0; r < kBlockCells; ++r)
        for (int c = 0; c < kBlockCells; ++c)
            if (random() & 1)
                cv::rectangle(picture, cv::Rect(origin + c * cell, origin + r * cell, cell, cell), cv::Scalar(0, 0, 0),
                              cv::FILLED);
    return picture;
}
}

const char* familyName(Family f)
{
    switch (f)
    {
    case Family::Ours: return "ours";
    case Family::Aruco: return "aruco";
    case Family::AprilTag: return "apriltag";
    }
    return "?";
}

FootageMaker::FootageMaker(const Tools& tools, const std::string& workDir, int frames, int threads)
    : m_tools(tools), m_work(workDir), m_frames(frames), m_threads(threads)
{
}

bool FootageMaker::run(const std::string& command, std::string& error) const
{
    if (std::system(command.c_str()) != 0)
    {
        error = "command failed: " + command;
        return false;
    }
    return true;
}

// Random block pictures, printed with vexamark-marker and trained from the
// same inner pictures.
bool FootageMaker::prepareBlockSet(std::string& error)
{
    MarkerSet set{"blocks", 3, {}, {}};
    for (int i = 0; i < kBlockMarkers; ++i)
    {
        const std::string stem = m_work + "/markers/blocks_" + std::to_string(i);
        if (!exists(stem + "_inner.png") && !cv::imwrite(stem + "_inner.png", blockPicture(i, 256)))
        {
            error = "cannot write '" + stem + "_inner.png'";
            return false;
        }
        if (!exists(stem + ".png") &&
            !run(quoted(m_tools.marker) + " print " + quoted(stem + "_inner.png") + " " + quoted(stem + ".png"), error))
            return false;
        const std::string patt = m_work + "/patterns/blocks_" + std::to_string(i) + ".patt";
        if (!exists(patt) &&
            !run(quoted(m_tools.marker) + " pattern " + quoted(stem + "_inner.png") + " " + quoted(patt), error))
            return false;
        set.pictures.push_back(stem + ".png");
        set.patterns.push_back(patt);
    }
    m_sets.push_back(set);
    return true;
}

bool FootageMaker::prepare(std::string& error)
{
    if (!run("mkdir -p " + quoted(m_work + "/markers") + " " + quoted(m_work + "/patterns"), error)) return false;
    m_sets.clear();
    MarkerSet demo{"demo", 1, {}, {}}, more{"more", 2, {}, {}};
    for (int i = 0; i < kMaxMarkers; ++i)
    {
        const std::string aruco = m_work + "/markers/aruco_" + std::to_string(i) + ".png";
        const std::string april = m_work + "/markers/apriltag_" + std::to_string(i) + ".png";
        if (!exists(aruco) && !cv::imwrite(aruco, ArucoPeer::markerPicture(i, 512)))
        {
            error = "cannot write '" + aruco + "'";
            return false;
        }
        // 10 cells of 64 px: the black square is 512 px wide like ours.
        if (!exists(april) && !cv::imwrite(april, AprilTagPeer::tagPicture(i, 64)))
        {
            error = "cannot write '" + april + "'";
            return false;
        }
        const std::string patt = m_work + "/patterns/" + kDesigns[i] + ".patt";
        if (!exists(patt) &&
            !run(quoted(m_tools.marker) + " pattern design:" + kDesigns[i] + " " + quoted(patt), error))
            return false;
        MarkerSet& set = i < 4 ? demo : more;
        set.pictures.push_back(std::string("design:") + kDesigns[i]);
        set.patterns.push_back(patt);
    }
    m_sets.push_back(demo);
    m_sets.push_back(more);
    return prepareBlockSet(error);
}

bool FootageMaker::cameraFile(const Condition& c, std::string& path, std::string& error)
{
    char name[128];
    std::snprintf(name, sizeof name, "/camera_%dx%d_%g_%g_%g_%g.dat", c.width, c.height, c.fx, c.fy, c.cx, c.cy);
    path = m_work + name;
    if (exists(path)) return true;
    char args[256];
    std::snprintf(args, sizeof args, " write --size %d %d --fx %g --fy %g --cx %g --cy %g ", c.width, c.height, c.fx,
                  c.fy, c.cx, c.cy);
    return run(quoted(m_tools.calibrate) + args + quoted(path), error);
}

std::string FootageMaker::frameDir(const Condition& c, const MarkerSet& s, Family f) const
{
    return m_work + "/frames/" + c.name + "/" + s.name + "/" + familyName(f);
}

std::string FootageMaker::markerSettings(const MarkerSet& set, Family f, int count) const
{
    std::string s;
    for (int i = 0; i < count; ++i)
    {
        const std::string id = std::to_string(i);
        s += " --marker m" + id + "=";
        if (f == Family::Ours) s += quoted(set.pictures[static_cast<size_t>(i) % set.pictures.size()]);
        if (f == Family::Aruco) s += quoted(m_work + "/markers/aruco_" + id + ".png") + ",box=full";
        if (f == Family::AprilTag) s += quoted(m_work + "/markers/apriltag_" + id + ".png");
    }
    return s;
}

bool FootageMaker::makeFrames(const Condition& c, const MarkerSet& s, Family f, std::string& error)
{
    const std::string dir = frameDir(c, s, f);
    char last[64];
    std::snprintf(last, sizeof last, "/frame_%06d.png", m_frames - 1);
    if (exists(dir + "/truth.csv") && exists(dir + last)) return true;
    std::fprintf(stderr, "rendering %s / %s / %s ...\n", c.name.c_str(), s.name.c_str(), familyName(f));
    char camera[160];
    std::snprintf(camera, sizeof camera, " --size %d %d --intrinsics %g %g %g %g", c.width, c.height, c.fx, c.fy, c.cx,
                  c.cy);
    return run(quoted(m_tools.synth) + " --quiet --seed " + std::to_string(s.seed) + " --frames " +
                   std::to_string(m_frames) + " --threads " + std::to_string(m_threads) + camera + " " + c.settings +
                   markerSettings(s, f, c.markers) + " --png-dir " + quoted(dir),
               error);
}
}
