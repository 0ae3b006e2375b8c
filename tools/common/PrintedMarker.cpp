#include "PrintedMarker.h"

#include <cassert>

#include "Resampler.h"

namespace vxtools {

void PrintedMarker::markerBox(int markerPx, int& x0, int& y0, int& side) {
    x0 = y0 = markerPx / 8;
    side = markerPx;
}

Image PrintedMarker::compose(const Image& inner, int markerPx) {
    assert(checkSize(markerPx).empty() && "PrintedMarker::compose: marker width must be a multiple of 8, 32..8192");
    const int margin = markerPx / 8, border = markerPx / 4, innerPx = markerPx / 2;
    Image out(markerPx + 2 * margin, markerPx + 2 * margin, 255);
    out.fillRect(margin, margin, margin + markerPx, margin + markerPx, 0, 0, 0);
    out.paste(Resampler::fitSquare(inner, innerPx), margin + border, margin + border);
    return out;
}

PngFile::TextChunks PrintedMarker::textChunks(int markerPx) {
    int x0, y0, side;
    markerBox(markerPx, x0, y0, side);
    return {{kBoxKey, std::to_string(x0) + " " + std::to_string(y0) + " " + std::to_string(side)}};
}

std::string PrintedMarker::checkSize(int markerPx) {
    if (markerPx < 32 || markerPx > 8192 || markerPx % 8 != 0)
        return "expected a marker width in pixels that is a multiple of 8 between 32 and 8192, found " +
               std::to_string(markerPx);
    return "";
}

}  // namespace vxtools
