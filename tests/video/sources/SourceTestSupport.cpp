#include "SourceTestSupport.h"

#include "CMessageLog.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using namespace vexa::media::testing;

namespace sourcetest
{
const std::string& LogPath()
{
    // The log is opened where the first message is written; give it a folder.
    static const std::string path = [] {
        const std::string folder = makeTempDir("vsrc-log");
        fs::create_directories(folder + "/Data");
        const fs::path previous = fs::current_path();
        fs::current_path(folder);
        CMessageLog::Instance()->WriteToLog("video source tests");
        fs::current_path(previous);
        return folder + "/Data/messageLog.txt";
    }();
    return path;
}

namespace
{
std::string readLog()
{
    std::ifstream in(LogPath(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
}

LogTail::LogTail() : m_start(readLog().size()) {}

std::vector<std::string> LogTail::Messages() const
{
    const std::string text = readLog();
    std::istringstream in(text.substr(std::min(m_start, text.size())));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
    {
        if (line.rfind("MSG ", 0) != 0 || line.size() < 10) continue;
        std::string message = line.substr(9);
        if (!message.empty() && message.back() == ' ') message.pop_back();
        lines.push_back(message);
    }
    return lines;
}

int LogTail::Count(const std::string& text) const
{
    int n = 0;
    for (const std::string& m : Messages())
        if (m.find(text) != std::string::npos) ++n;
    return n;
}

std::string ScratchFolder()
{
    static const std::string folder = makeTempDir("vsrc-scratch");
    return folder;
}

std::string Clip(int width, int height, int frames, int fps, bool sound)
{
    static std::map<std::string, std::string> made;
    const std::string name = std::to_string(width) + "x" + std::to_string(height) + "-" + std::to_string(frames) +
                             "-" + std::to_string(fps) + (sound ? "-sound" : "") + ".mp4";
    auto it = made.find(name);
    if (it != made.end()) return it->second;
    ClipSpec spec;
    spec.width = width;
    spec.height = height;
    spec.frames = frames;
    spec.fps = fps;
    spec.audioSampleRate = sound ? 44100 : 0;
    const std::string path = ScratchFolder() + "/" + name;
    const std::string error = makeClip(path, spec);
    EXPECT_EQ(error, "") << "making " << path;
    made[name] = path;
    return path;
}

int FrameNumber(const osg::Image& image)
{
    const int w = image.s(), h = image.t();
    if (image.getPixelFormat() == GL_BGRA) return readFrameNumber(image.data(), w, h, w * 4);
    std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4);
    const unsigned char* src = image.data();
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
    {
        bgra[4 * i] = src[3 * i];
        bgra[4 * i + 1] = src[3 * i + 1];
        bgra[4 * i + 2] = src[3 * i + 2];
        bgra[4 * i + 3] = 255;
    }
    return readFrameNumber(bgra.data(), w, h, w * 4);
}
}
