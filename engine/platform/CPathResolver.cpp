#include "CPathResolver.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <vector>

namespace
{
bool pathExists(const std::string& p)
{
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

std::vector<std::string> splitComponents(const std::string& path)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : path)
    {
        if (c == '/')
        {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        }
        else
            current += c;
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

// The entry of `folder` whose name equals `name` ignoring case, or "".
std::string findEntryIgnoringCase(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return std::string();
    std::string found;
    while (dirent* entry = ::readdir(dir))
    {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0)
        {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}
}

std::string CPathResolver::Normalise(const std::string& path)
{
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string CPathResolver::Resolve(const std::string& path)
{
    const std::string normalised = Normalise(path);
    if (normalised.empty() || pathExists(normalised)) return normalised;

    const bool absolute = normalised[0] == '/';
    std::string resolved = absolute ? "/" : "";
    for (const std::string& part : splitComponents(normalised))
    {
        const std::string folder = resolved;
        std::string candidate = folder + part;
        if (part != "." && part != ".." && !pathExists(candidate))
        {
            const std::string match = findEntryIgnoringCase(folder, part);
            if (match.empty()) return normalised;
            candidate = folder + match;
        }
        resolved = candidate + "/";
    }
    if (!resolved.empty() && resolved.back() == '/' && resolved.size() > 1) resolved.pop_back();
    return resolved;
}

bool CPathResolver::Exists(const std::string& path)
{
    return pathExists(Resolve(path));
}
