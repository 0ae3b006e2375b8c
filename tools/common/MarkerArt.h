#pragma once
// Built-in inner pictures for markers, drawn with cairo: letters, glyphs and
// geometric compositions, each different in all four rotations so that a detector
// can tell which way up the marker is. These are the pictures of the bundled demo
// markers.

#include <string>
#include <vector>

#include "Image.h"

namespace vxtools {

class MarkerArt {
public:
    // Names of the built-in pictures, in a fixed order (the demo uses the first four).
    static const std::vector<std::string>& names();

    // Draws the picture `name` as a size x size square on white. Returns false
    // (with `error` set) for an unknown name.
    static bool draw(const std::string& name, int size, Image& out, std::string& error);

    // Resolves an inner-picture source: "design:NAME" draws the built-in picture at
    // `designSize` pixels; anything else is read as a PNG file.
    static bool load(const std::string& source, int designSize, Image& out, std::string& error);
};

}  // namespace vxtools
