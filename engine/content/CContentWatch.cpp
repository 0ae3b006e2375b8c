#include "CContentWatch.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

namespace
{
const uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE;

bool isFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}

CContentWatch::CContentWatch() : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

CContentWatch::~CContentWatch()
{
    if (m_fd >= 0) close(m_fd);
}

bool CContentWatch::Ignored(const std::string& name)
{
    if (name.empty() || name[0] == '.' || endsWith(name, "~")) return true;
    for (const char* end : {".swp", ".swx", ".tmp", ".part"})
        if (endsWith(name, end)) return true;
    return name == "messageLog.txt" || name == "VexaSettings.tsf" || name == "4913";  // 4913: vim's write test
}

bool CContentWatch::WatchTree(const std::string& folder)
{
    if (m_fd < 0 || !isFolder(folder)) return false;
    if (m_folders.insert(folder).second)
    {
        const int wd = inotify_add_watch(m_fd, folder.c_str(), kEvents);
        if (wd < 0)
        {
            m_folders.erase(folder);
            return false;
        }
        m_watches.emplace_back(wd, folder);
    }
    if (DIR* dir = opendir(folder.c_str()))
    {
        std::vector<std::string> below;
        while (dirent* entry = readdir(dir))
        {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && isFolder(folder + "/" + name)) below.push_back(folder + "/" + name);
        }
        closedir(dir);
        for (const std::string& sub : below) WatchTree(sub);
    }
    return true;
}

std::vector<std::string> CContentWatch::TakeChanges()
{
    std::vector<std::string> changes;
    if (m_fd < 0) return changes;
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (ssize_t got; (got = read(m_fd, buffer, sizeof(buffer))) > 0;)
    {
        for (char* at = buffer; at < buffer + got;)
        {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            const std::string name = event->len ? event->name : "";
            if (Ignored(name)) continue;
            auto watch = std::find_if(m_watches.begin(), m_watches.end(),
                                      [event](const std::pair<int, std::string>& w) { return w.first == event->wd; });
            if (watch == m_watches.end()) continue;
            const std::string path = watch->second + "/" + name;
            if (std::find(changes.begin(), changes.end(), path) == changes.end()) changes.push_back(path);
        }
    }
    return changes;
}
