#pragma once
// Watches the folders of a content set for changed files (Linux inotify):
// a file written and closed, moved or renamed in, made or removed. Files the
// engine writes itself (its log, its settings) and editors' temporary files
// do not count. Reading never blocks. Owns one inotify descriptor, closed
// with the watch.

#include <set>
#include <string>
#include <vector>

class CContentWatch
{
public:
    CContentWatch();
    ~CContentWatch();
    CContentWatch(const CContentWatch&) = delete;
    CContentWatch& operator=(const CContentWatch&) = delete;

    /// False when inotify could not be opened (the watch then sees nothing).
    bool IsOpen() const { return m_fd >= 0; }
    /// Watches `folder` and every folder below it; folders already watched
    /// are skipped. False when `folder` could not be watched.
    bool WatchTree(const std::string& folder);
    /// The changed files since the last call (folder/name), each once, in
    /// the order they changed; empty when nothing changed.
    std::vector<std::string> TakeChanges();
    size_t FolderCount() const { return m_folders.size(); }

    /// True for names whose changes do not count (see above).
    static bool Ignored(const std::string& name);

private:
    int m_fd = -1;
    std::set<std::string> m_folders;
    std::vector<std::pair<int, std::string>> m_watches;  // descriptor, folder
};
