#pragma once
// File names from content authored on other systems: "\" or "/" separators, and
// letter case that may not match the files on disk.
#include <string>

namespace vexa {
namespace media {

// Every "\" becomes "/".
std::string normalizeSeparators(const std::string& path);

// The existing file or folder whose path equals 'path' ignoring ASCII letter case,
// matched component by component (an exact match is preferred at every step).
// Returns "" when there is none. 'path' should use "/" separators; relative paths are
// looked up from the current folder.
std::string findPathIgnoringCase(const std::string& path);

// normalizeSeparators, then the path as it exists on disk (exact or by case-insensitive
// lookup); when nothing matches, the normalised path (so messages name the file).
std::string resolveContentPath(const std::string& path);

}  // namespace media
}  // namespace vexa
