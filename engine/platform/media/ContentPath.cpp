#include "ContentPath.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace vexa {
namespace media {

namespace {

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> splitComponents(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        const size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > start) parts.push_back(path.substr(start, end - start));
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return parts;
}

// Name inside folder 'dir' equal to 'name' ignoring case; "" when none.
std::string matchInFolder(const std::string& dir, const std::string& name) {
    std::string found;
    if (DIR* d = opendir(dir.empty() ? "." : dir.c_str())) {
        while (dirent* e = readdir(d)) {
            if (sameIgnoringCase(e->d_name, name)) {
                found = e->d_name;
                break;
            }
        }
        closedir(d);
    }
    return found;
}

}  // namespace

std::string normalizeSeparators(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string findPathIgnoringCase(const std::string& path) {
    if (path.empty()) return "";
    if (exists(path)) return path;
    const bool absolute = path[0] == '/';
    std::string current = absolute ? "/" : "";
    for (const std::string& part : splitComponents(path)) {
        const std::string joined = current.empty() || current == "/" ? current + part : current + "/" + part;
        if (part == "." || part == ".." || exists(joined)) {
            current = joined;
            continue;
        }
        const std::string match = matchInFolder(current, part);
        if (match.empty()) return "";
        current = current.empty() || current == "/" ? current + match : current + "/" + match;
    }
    return exists(current) ? current : "";
}

std::string resolveContentPath(const std::string& path) {
    const std::string normal = normalizeSeparators(path);
    const std::string found = findPathIgnoringCase(normal);
    return found.empty() ? normal : found;
}

}  // namespace media
}  // namespace vexa
