#pragma once
// Reading and writing PNG pictures as 8-bit RGB through libpng.
// Grey, palette and 16-bit pictures are converted to 8-bit RGB; an alpha channel is
// composited onto white (a transparent area of a marker picture prints as paper).
// Text chunks (key -> value) are read and written so tools can pass small facts
// along with a picture (for example where the marker square lies in it).

#include <map>
#include <string>

#include "Image.h"

namespace vxtools {

class PngFile {
public:
    using TextChunks = std::map<std::string, std::string>;

    // Reads `path` into `image` (and its text chunks into `text` when given).
    // On bad data returns false with one line in `error` naming the file and the fault.
    static bool read(const std::string& path, Image& image, std::string& error, TextChunks* text = nullptr);

    // Writes `image` to `path` safely (temporary sibling, then rename).
    static bool write(const std::string& path, const Image& image, std::string& error,
                      const TextChunks& text = {});

    // Largest accepted picture side in pixels; larger headers are treated as corrupt.
    static constexpr int kMaxSide = 16384;
};

}  // namespace vxtools
