#pragma once
// Makes the benchmark's material with our tools, once (files already there are
// kept): the marker pictures of the peers, our pattern files, the camera
// parameter files and, per condition and marker family, lossless frames with
// the ground truth from vexamark-synth. All families of a condition use the
// same seed, scene and marker names, so their markers share the poses.

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
};

enum class Family { Ours, Aruco, AprilTag };

struct Tools
{
    std::string synth, marker, calibrate;
};

class FootageMaker
{
public:
    static const int kMaxMarkers = 8;

    FootageMaker(const Tools& tools, const std::string& workDir, int frames, int threads);

    /// Marker pictures, patterns; false with `error` set when a tool fails.
    bool prepare(std::string& error);
    /// Frames of one condition and family; false with `error` on failure.
    bool makeFrames(const Condition& c, Family f, std::string& error);
    /// Camera parameter file for a condition (written by vexamark-calibrate).
    bool cameraFile(const Condition& c, std::string& path, std::string& error);

    std::string frameDir(const Condition& c, Family f) const;
    /// Our pattern files, one per marker number.
    std::vector<std::string> patternFiles() const;

private:
    bool run(const std::string& command, std::string& error) const;
    std::string markerSettings(Family f, int count) const;

    Tools m_tools;
    std::string m_work;
    int m_frames, m_threads;
};

const char* familyName(Family f);
}
