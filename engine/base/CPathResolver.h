#pragma once
// File names in content and settings files may have been written on another
// system: with backslashes, or with a different letter case than the files on
// disk. CPathResolver turns such a name into the path of the file that exists.

#include <string>

class CPathResolver
{
public:
    /// Backslashes become slashes; nothing else changes.
    static std::string Normalise(const std::string& path);

    /// The normalised path when a file or folder of that exact name exists;
    /// otherwise the first match found by comparing each path component without
    /// regard to letter case; otherwise the normalised path unchanged (so the
    /// caller's "cannot open" message names what the content asked for).
    /// A name found only by ignoring case is reported as a content finding.
    static std::string Resolve(const std::string& path);

    /// True when the resolved path names an existing file or folder.
    static bool Exists(const std::string& path);
};
