#include "TestClips.h"

#include "MediaFileWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace vexa {
namespace media {
namespace testing {

namespace {
constexpr int kCols = 5;
constexpr int kRows = 2;

void blockRect(int bit, int width, int height, int& x0, int& y0, int& x1, int& y1) {
    const int col = bit % kCols, row = bit / kCols;
    x0 = col * width / kCols;
    x1 = (col + 1) * width / kCols;
    y0 = row * height / kRows;
    y1 = (row + 1) * height / kRows;
}
}  // namespace

void drawFrameNumber(uint8_t* bgra, int width, int height, int strideBytes, int number) {
    for (int bit = 0; bit < kNumberBits; ++bit) {
        int x0, y0, x1, y1;
        blockRect(bit, width, height, x0, y0, x1, y1);
        const uint8_t v = (number >> bit) & 1 ? 235 : 16;
        for (int y = y0; y < y1; ++y) {
            uint8_t* row = bgra + static_cast<size_t>(y) * strideBytes;
            for (int x = x0; x < x1; ++x) {
                row[4 * x] = v;
                row[4 * x + 1] = v;
                row[4 * x + 2] = v;
                row[4 * x + 3] = 255;
            }
        }
    }
}

int readFrameNumber(const uint8_t* bgra, int width, int height, int strideBytes, bool bottomUp) {
    int number = 0;
    for (int bit = 0; bit < kNumberBits; ++bit) {
        int x0, y0, x1, y1;
        blockRect(bit, width, height, x0, y0, x1, y1);
        long sum = 0, count = 0;
        // Sample the block's middle half, away from compression ringing at edges.
        for (int y = y0 + (y1 - y0) / 4; y < y1 - (y1 - y0) / 4; ++y) {
            const int row = bottomUp ? height - 1 - y : y;
            const uint8_t* p = bgra + static_cast<size_t>(row) * strideBytes;
            for (int x = x0 + (x1 - x0) / 4; x < x1 - (x1 - x0) / 4; ++x) {
                sum += p[4 * x + 1];
                ++count;
            }
        }
        if (count && sum / count > 128) number |= 1 << bit;
    }
    return number;
}

std::string makeClip(const std::string& path, const ClipSpec& spec) {
    MediaFileWriter writer;
    MediaFileWriter::Settings s;
    s.width = spec.width;
    s.height = spec.height;
    s.frameRateNum = spec.fps;
    s.audioSampleRate = spec.audioSampleRate;
    s.audioChannels = spec.audioSampleRate ? spec.audioChannels : 0;
    s.preferH264 = spec.preferH264;
    if (!writer.open(path, s)) return writer.lastError();
    std::vector<uint8_t> frame(static_cast<size_t>(spec.width) * spec.height * 4);
    const int samplesPerFrame = spec.audioSampleRate ? spec.audioSampleRate / spec.fps : 0;
    std::vector<int16_t> tone(static_cast<size_t>(samplesPerFrame) * s.audioChannels);
    long sampleIndex = 0;
    for (int i = 0; i < spec.frames; ++i) {
        drawFrameNumber(frame.data(), spec.width, spec.height, spec.width * 4, i);
        if (!writer.writeVideoFrame(frame.data())) return writer.lastError();
        if (!samplesPerFrame) continue;
        for (int k = 0; k < samplesPerFrame; ++k, ++sampleIndex) {
            const double t = static_cast<double>(sampleIndex) / spec.audioSampleRate;
            const auto v = static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * 440.0 * t));
            for (int c = 0; c < s.audioChannels; ++c) tone[static_cast<size_t>(k) * s.audioChannels + c] = v;
        }
        if (!writer.writeAudio(tone.data(), samplesPerFrame)) return writer.lastError();
    }
    if (!writer.close()) return writer.lastError();
    return "";
}

namespace {
// Folders made by makeTempDir, removed when the test program ends
// (set VEXA_KEEP_TEST_FILES to keep them for inspection).
std::vector<std::string>& tempDirs() {
    static std::vector<std::string> dirs;
    return dirs;
}
void removeTempDirs() {
    if (std::getenv("VEXA_KEEP_TEST_FILES")) return;
    std::error_code ignored;
    for (const std::string& d : tempDirs()) std::filesystem::remove_all(d, ignored);
}
}  // namespace

std::string makeTempDir(const std::string& tag) {
    std::string pattern = "/tmp/vexamedia-" + tag + "-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const char* dir = mkdtemp(buf.data());
    if (!dir) return std::string();
    if (tempDirs().empty()) std::atexit(removeTempDirs);
    tempDirs().push_back(dir);
    return dir;
}

static bool readAll(const std::string& path, std::string& data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

static bool writeAll(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

bool copyTruncated(const std::string& src, const std::string& dst, long bytes) {
    std::string data;
    if (!readAll(src, data)) return false;
    const long keep = bytes >= 0 ? bytes : static_cast<long>(data.size()) + bytes;
    if (keep < 0 || keep > static_cast<long>(data.size())) return false;
    data.resize(static_cast<size_t>(keep));
    return writeAll(dst, data);
}

bool copyCorrupted(const std::string& src, const std::string& dst, long offset, long length) {
    std::string data;
    if (!readAll(src, data)) return false;
    for (long i = offset; i < offset + length && i < static_cast<long>(data.size()); ++i)
        data[static_cast<size_t>(i)] = static_cast<char>((i * 37 + 11) & 0xff);
    return writeAll(dst, data);
}

long fileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

bool fileExists(const std::string& path) { return fileSize(path) >= 0; }

}  // namespace testing
}  // namespace media
}  // namespace vexa
