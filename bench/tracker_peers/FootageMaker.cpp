#include "FootageMaker.h"

#include "AprilTagPeer.h"
#include "ArucoPeer.h"

#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace peerbench
{
namespace
{
// Our built-in pictures, one per marker number.
const char* const kDesigns[FootageMaker::kMaxMarkers] = {"corvane",  "glyph-f", "arrow", "sail",
                                                         "glyph-r",  "glyph-k", "steps", "quad"};

bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
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

std::vector<std::string> FootageMaker::patternFiles() const
{
    std::vector<std::string> files;
    for (const char* d : kDesigns) files.push_back(m_work + "/patterns/" + d + ".patt");
    return files;
}

bool FootageMaker::prepare(std::string& error)
{
    if (!run("mkdir -p " + quoted(m_work + "/markers") + " " + quoted(m_work + "/patterns"), error)) return false;
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
        const std::string patt = patternFiles()[static_cast<size_t>(i)];
        if (!exists(patt) &&
            !run(quoted(m_tools.marker) + " pattern design:" + kDesigns[i] + " " + quoted(patt), error))
            return false;
    }
    return true;
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

std::string FootageMaker::frameDir(const Condition& c, Family f) const
{
    return m_work + "/frames/" + c.name + "/" + familyName(f);
}

std::string FootageMaker::markerSettings(Family f, int count) const
{
    std::string s;
    for (int i = 0; i < count; ++i)
    {
        const std::string id = std::to_string(i);
        s += " --marker m" + id + "=";
        if (f == Family::Ours) s += std::string("design:") + kDesigns[i];
        if (f == Family::Aruco) s += quoted(m_work + "/markers/aruco_" + id + ".png") + ",box=full";
        if (f == Family::AprilTag) s += quoted(m_work + "/markers/apriltag_" + id + ".png");
    }
    return s;
}

bool FootageMaker::makeFrames(const Condition& c, Family f, std::string& error)
{
    const std::string dir = frameDir(c, f);
    char last[64];
    std::snprintf(last, sizeof last, "/frame_%06d.png", m_frames - 1);
    if (exists(dir + "/truth.csv") && exists(dir + last)) return true;
    std::fprintf(stderr, "rendering %s / %s ...\n", c.name.c_str(), familyName(f));
    char camera[160];
    std::snprintf(camera, sizeof camera, " --size %d %d --intrinsics %g %g %g %g", c.width, c.height, c.fx, c.fy, c.cx,
                  c.cy);
    return run(quoted(m_tools.synth) + " --quiet --seed 1 --frames " + std::to_string(m_frames) + " --threads " +
                   std::to_string(m_threads) + camera + " " + c.settings + markerSettings(f, c.markers) +
                   " --png-dir " + quoted(dir),
               error);
}
}
