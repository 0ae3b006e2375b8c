#pragma once
// Makes the benchmark's material with our tools, once (files already there are
// kept): the marker pictures of the peers, our marker sets with their pattern
// files, the camera parameter files and, per condition, marker set and marker
// family, lossless frames with the ground truth from vexamark-synth. All
// families of one condition and set use the same seed, scene and marker
// names, so their markers share the poses; each set has its own seed.

#include <string>
#include <vector>

namespace peerbench
{
struct Condition
{
    std::string name;      // folder name, e.g. "vga-4-noise"
    std::string label;     // for the table
    int width = 640, height = 480;
    int markers = 4;
    std::string settings;  // extra vexamark-synth settings
    double fx = 700, fy = 700, cx = 320, cy = 240;  // footage convention
    bool grey = false;     // frames turned grey before detection (a monochrome camera)
};

enum class Family { Ours, Aruco, AprilTag };

struct Tools
{
    std::string synth, marker, calibrate;
};

/// Our markers of one footage run: the pictures vexamark-synth prints (a
/// built-in design or a printed-marker PNG) and the pattern trained from each.
struct MarkerSet
{
    std::string name;
    unsigned seed = 1;
    std::vector<std::string> pictures;  // "design:NAME" or a printed marker PNG
    std::vector<std::string> patterns;  // pattern files, one per picture
};

class FootageMaker
{
public:
    static const int kMaxMarkers = 8;

    FootageMaker(const Tools& tools, const std::string& workDir, int frames, int threads);

    /// Marker pictures and patterns of the peers and of every set; false with
    /// `error` set when a tool fails.
    bool prepare(std::string& error);
    /// Frames of one condition, set and family; false with `error` on failure.
    bool makeFrames(const Condition& c, const MarkerSet& s, Family f, std::string& error);
    /// Camera parameter file for a condition (written by vexamark-calibrate).
    bool cameraFile(const Condition& c, std::string& path, std::string& error);

    std::string frameDir(const Condition& c, const MarkerSet& s, Family f) const;
    /// Our marker sets (valid after `prepare`).
    const std::vector<MarkerSet>& sets() const { return m_sets; }

private:
    bool run(const std::string& command, std::string& error) const;
    bool prepareBlockSet(std::string& error);
    std::string markerSettings(const MarkerSet& s, Family f, int count) const;

    Tools m_tools;
    std::string m_work;
    int m_frames, m_threads;
    std::vector<MarkerSet> m_sets;
};

const char* familyName(Family f);
}
