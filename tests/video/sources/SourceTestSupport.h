#pragma once
// Helpers shared by the video source tests: the message log's new lines,
// test clips made once per run, and frame numbers read from stream images.

#include <osg/Image>

#include <string>
#include <vector>

namespace sourcetest
{
/// The message log file of this test program (opened in a folder of its own).
const std::string& LogPath();

/// The log's messages written after construction, without "MSG %4d ".
class LogTail
{
public:
    LogTail();
    std::vector<std::string> Messages() const;
    /// How many new messages contain `text`.
    int Count(const std::string& text) const;

private:
    size_t m_start;
};

/// A clip of `frames` frames (numbered 0, 1, ...) of width x height at `fps`,
/// with a tone when `sound`; made once per run and kept in a temporary folder.
std::string Clip(int width, int height, int frames, int fps, bool sound = false);
/// A folder for broken copies of clips.
std::string ScratchFolder();

/// The frame number drawn into a BGR or BGRA image (rows top-down).
int FrameNumber(const osg::Image& image);
}
