#pragma once
// Test clips whose frames carry their own frame number as big black/white blocks,
// so order, looping and rewinding can be checked after lossy compression.
#include <cstdint>
#include <string>
#include <vector>

namespace vexa {
namespace media {
namespace testing {

struct ClipSpec {
    int width = 160;
    int height = 120;
    int frames = 30;
    int fps = 25;
    int audioSampleRate = 0;  // 0 = silent clip
    int audioChannels = 1;
    bool preferH264 = true;
};

// Frame number is coded in 10 bits (0..1023), 5 blocks x 2 rows, white = 1.
constexpr int kNumberBits = 10;

// Fills a top-down BGRA frame with the coded number.
void drawFrameNumber(uint8_t* bgra, int width, int height, int strideBytes, int number);

// Reads the number back from a BGRA frame; bottomUp when the rows are stored last-first.
int readFrameNumber(const uint8_t* bgra, int width, int height, int strideBytes, bool bottomUp = false);

// Writes a clip to path (container from the extension). Audio is a 440 Hz tone.
// Returns "" on success, else the writer's message.
std::string makeClip(const std::string& path, const ClipSpec& spec);

// A fresh empty folder under /tmp, removed with its contents when the program ends.
std::string makeTempDir(const std::string& tag);

// Copies the first 'bytes' bytes of src to dst (bytes < 0: all but -bytes).
bool copyTruncated(const std::string& src, const std::string& dst, long bytes);

// Copies src to dst and overwrites 'length' bytes at 'offset' with a junk pattern.
bool copyCorrupted(const std::string& src, const std::string& dst, long offset, long length);

long fileSize(const std::string& path);
bool fileExists(const std::string& path);

}  // namespace testing
}  // namespace media
}  // namespace vexa
