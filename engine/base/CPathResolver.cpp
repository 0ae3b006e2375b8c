#include "CPathResolver.h"

#include "CContentFindings.h"

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

// Entries of `folder` whose names equal `name` ignoring case, the exact
// spelling first.
std::vector<std::string> entriesIgnoringCase(const std::string& folder, const std::string& name)
{
    std::vector<std::string> found;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return found;
    while (dirent* entry = ::readdir(dir))
    {
        if (::strcasecmp(entry->d_name, name.c_str()) != 0) continue;
        if (name == entry->d_name) found.insert(found.begin(), entry->d_name);
        else found.push_back(entry->d_name);
    }
    ::closedir(dir);
    return found;
}

// Depth-first over the components from `index` on; several folders may match
// one component ("models" and "Models"), so each is tried in turn.
bool resolveFrom(const std::string& prefix, const std::vector<std::string>& parts, size_t index, std::string& out)
{
    if (index == parts.size())
    {
        out = prefix;
        return true;
    }
    const std::string& part = parts[index];
    const std::string folder = prefix.empty() || prefix.back() == '/' ? prefix : prefix + "/";
    if (part == "." || part == "..") return resolveFrom(folder + part, parts, index + 1, out);
    for (const std::string& entry : entriesIgnoringCase(prefix.empty() ? "." : prefix, part))
        if (resolveFrom(folder + entry, parts, index + 1, out)) return true;
    return false;
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
    if (normalised.empty()) return normalised;
    if (pathExists(normalised))
    {
        CContentFindings::FileNamed(path, normalised);
        return normalised;
    }

    const bool absolute = normalised[0] == '/';
    std::string resolved;
    if (!resolveFrom(absolute ? "/" : "", splitComponents(normalised), 0, resolved)) return normalised;
    CContentFindings::FileNamed(path, resolved);
    CContentFindings::Report(CContentFindings::WARNING, "Warning! " + normalised + " exists only as " + resolved +
                                                            ": the letter case differs");
    return resolved;
}

bool CPathResolver::Exists(const std::string& path)
{
    return pathExists(Resolve(path));
}
