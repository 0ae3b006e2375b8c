#pragma once
// Geometry of a printed marker: a black square border 25 % of the marker width on
// each side around the inner picture (the inner half), on white paper with a quiet
// zone of 12.5 % of the marker width around the black square.
//
//   image side = marker width * 1.25;  marker square at [margin, margin + width)
//   black border: width / 4 on each side;  inner picture: the middle width / 2.

#include <string>

#include "Image.h"
#include "PngFile.h"

namespace vxtools {

class PrintedMarker {
public:
    static constexpr double kBorderFraction = 0.25;   // of the marker width, per side
    static constexpr double kMarginFraction = 0.125;  // white quiet zone, per side
    // Text chunk key of a printed marker PNG: "X Y SIZE", the marker square in pixels.
    static constexpr const char* kBoxKey = "vexamark-marker-box";

    // Composes the printable picture for a marker `markerPx` wide (a multiple of 8)
    // from `inner`, scaled to fit the inner half (aspect kept, padded with white).
    static Image compose(const Image& inner, int markerPx);

    // The marker square of a picture made by compose(): top-left corner and side, pixels.
    static void markerBox(int markerPx, int& x0, int& y0, int& side);

    // Text chunks to store with a composed picture (its marker box).
    static PngFile::TextChunks textChunks(int markerPx);

    // Checks a requested marker width; returns an empty string when valid, else the message.
    static std::string checkSize(int markerPx);
};

}  // namespace vxtools
