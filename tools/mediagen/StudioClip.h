#pragma once
// The demo's own green-screen clip: a presenter (an orange ball bouncing
// across, with a face) in front of a flat studio green, a dark-blue caption
// band along the bottom whose white bar grows with the clip's time (so a
// restart from the beginning shows), and a soft two-note sound.
//
// The green is kStudioGreen exactly; everything else is far from it (more
// than 0.5 in RGB, 0..1 per channel), so a key with that colour and a
// tolerance up to 0.3 takes the green away and nothing else.

#include <cstdint>
#include <string>
#include <vector>

namespace studio
{
/// The studio green, 0..255 per channel (0, 0.7, 0.25 in 0..1).
const uint8_t kStudioGreen[3] = {0, 178, 64};

struct ClipShape
{
    int width = 640;   // even
    int height = 480;  // even
    int fps = 25;
    int frames = 150;  // six seconds
    bool sound = true;
};

/// Frame `index` of a clip of `shape`, top-down BGRA.
void PaintFrame(const ClipShape& shape, int index, std::vector<uint8_t>& bgra);

/// Writes the clip to `path` (container from the extension); "" on success,
/// else what went wrong.
std::string WriteClip(const std::string& path, const ClipShape& shape);
}
