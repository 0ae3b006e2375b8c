#include "CContentFiles.h"

#include "CPathResolver.h"

#include <unistd.h>

#include <climits>

namespace
{
std::string currentFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string();
}

bool isAbsolute(const std::string& path)
{
    return !path.empty() && path[0] == '/';
}
}

std::vector<std::string>& CContentFiles::BaseFolders()
{
    static std::vector<std::string> folders;
    return folders;
}

std::string CContentFiles::Find(const std::string& name)
{
    const std::string here = CPathResolver::Resolve(name);
    if (CPathResolver::Exists(here) || isAbsolute(here)) return here;
    const std::vector<std::string>& bases = BaseFolders();
    for (auto it = bases.rbegin(); it != bases.rend(); ++it)
    {
        const std::string there = CPathResolver::Resolve(*it + "/" + CPathResolver::Normalise(name));
        if (CPathResolver::Exists(there)) return there;
    }
    return here;
}

bool CContentFiles::Exists(const std::string& name)
{
    return CPathResolver::Exists(Find(name));
}

CContentFiles::FolderChange::FolderChange(const std::string& folder)
{
    m_previous = currentFolder();
    if (folder.empty() || folder == ".")
    {
        m_entered = true;
        return;
    }
    if (m_previous.empty() || chdir(folder.c_str()) != 0) return;
    m_entered = m_changed = true;
    BaseFolders().push_back(m_previous);
}

CContentFiles::FolderChange::~FolderChange()
{
    if (!m_changed) return;
    BaseFolders().pop_back();
    if (chdir(m_previous.c_str()) != 0) m_entered = false;
}
