#include "CContentSetCopy.h"

#include "CAtomicFileWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

bool CContentSetCopy::Checksum(const std::string& path, uint64_t& sum)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    uint64_t h = 1469598103934665603ull;
    char buffer[65536];
    while (in)
    {
        in.read(buffer, sizeof(buffer));
        for (std::streamsize i = 0; i < in.gcount(); ++i)
        {
            h ^= static_cast<unsigned char>(buffer[i]);
            h *= 1099511628211ull;
        }
    }
    sum = h;
    return in.eof();
}

CContentSetCopy::Manifest CContentSetCopy::ReadManifest(const std::string& copy)
{
    Manifest manifest;
    std::ifstream in(copy + "/" + ManifestName());
    std::string line;
    while (std::getline(in, line))
    {
        // "<checksum in hex> <relative path>"; the path may hold blanks.
        const size_t blank = line.find(' ');
        if (blank == std::string::npos || blank == 0) continue;
        char* end = nullptr;
        const uint64_t sum = std::strtoull(line.c_str(), &end, 16);
        if (end == line.c_str() + blank) manifest[line.substr(blank + 1)] = sum;
    }
    return manifest;
}

bool CContentSetCopy::WriteManifest(const std::string& copy, const Manifest& manifest)
{
    std::ostringstream out;
    for (const auto& entry : manifest) out << std::hex << entry.second << ' ' << entry.first << '\n';
    return CAtomicFileWriter::Write(copy + "/" + ManifestName(), out.str());
}

bool CContentSetCopy::CopyFile(const std::string& from, const std::string& to)
{
    std::error_code error;
    fs::create_directories(fs::path(to).parent_path(), error);
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return CAtomicFileWriter::Write(to, bytes.str(), nullptr, false);
}

void CContentSetCopy::RefreshFile(const std::string& installed, const std::string& copy, const std::string& relative,
                                  Manifest& manifest, Result& result)
{
    const std::string from = installed + "/" + relative, to = copy + "/" + relative;
    uint64_t source = 0, present = 0;
    if (!Checksum(from, source))
    {
        result.problems.push_back("cannot read " + from);
        return;
    }
    const bool exists = Checksum(to, present);
    const auto recorded = manifest.find(relative);
    const bool untouched = exists && recorded != manifest.end() && recorded->second == present;
    if (exists && present == source)
    {
        manifest[relative] = source;  // already the installed version
        return;
    }
    if (exists && !untouched)
    {
        ++result.kept;  // the user's own version
        return;
    }
    if (!CopyFile(from, to))
    {
        result.problems.push_back("cannot copy " + from + " to " + to);
        return;
    }
    manifest[relative] = source;
    ++(exists ? result.updated : result.copied);
}

CContentSetCopy::Result CContentSetCopy::Refresh(const std::string& installed, const std::string& copy)
{
    Result result;
    std::error_code error;
    fs::create_directories(copy, error);
    if (!fs::is_directory(copy))
    {
        result.ok = false;
        result.problems.push_back("cannot make the folder " + copy);
        return result;
    }
    Manifest manifest = ReadManifest(copy);
    for (fs::recursive_directory_iterator it(installed, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file())
            RefreshFile(installed, copy, fs::relative(it->path(), installed).string(), manifest, result);
    if (error) result.problems.push_back("cannot read the folder " + installed + ": " + error.message());
    if (!WriteManifest(copy, manifest)) result.problems.push_back("cannot write " + copy + "/" + ManifestName());
    result.ok = result.problems.empty();
    return result;
}
