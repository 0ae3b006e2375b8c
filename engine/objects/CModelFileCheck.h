#pragma once
// Checks made before a model file reaches the osgDB reader, for formats
// whose reader is known to crash on bad data instead of failing: a Wavefront
// .obj face that names a vertex, texture coordinate or normal that the file
// never defined makes the reader index past its arrays. Such a file is
// refused with a line saying what was found.

#include <string>

class CModelFileCheck
{
public:
    /// True when the file may be handed to the reader; otherwise false with
    /// the reason (for example "face on line 3 names vertex 7 of 0").
    static bool Readable(const std::string& path, std::string* reason);
};
