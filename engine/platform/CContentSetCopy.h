#pragma once
// Keeps a user's copy of the installed content set up to date without ever
// overwriting what the user changed in it.
//
// A manifest in the copy (".vexamark-manifest") records, for every file the
// copy received, the checksum of what was copied. At each Refresh a file
// missing from the copy is copied; a file the user left as it was copied is
// replaced when the installed one changed (a newer installation); a file the
// user changed (or made) is left alone.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CContentSetCopy
{
public:
    struct Result
    {
        bool ok = true;
        int copied = 0;    // files new in the copy
        int updated = 0;   // files replaced by a newer installed version
        int kept = 0;      // files the user changed, left alone
        std::vector<std::string> problems;  // one line per file that could not be copied
    };

    /// Brings `copy` up to date from `installed` (both folders; `copy` is made
    /// when missing).
    static Result Refresh(const std::string& installed, const std::string& copy);

    /// The name of the manifest file inside the copy.
    static const char* ManifestName() { return ".vexamark-manifest"; }
    /// Checksum of a file's bytes (64-bit FNV-1a); false when it cannot be read.
    static bool Checksum(const std::string& path, uint64_t& sum);

private:
    using Manifest = std::map<std::string, uint64_t>;
    static Manifest ReadManifest(const std::string& copy);
    static bool WriteManifest(const std::string& copy, const Manifest& manifest);
    static bool CopyFile(const std::string& from, const std::string& to);
    static void RefreshFile(const std::string& installed, const std::string& copy, const std::string& relative,
                            Manifest& manifest, Result& result);
};
