#pragma once
// Finding the files a content file names. Names may use backslashes or
// another letter case (CPathResolver mends both). A model group file is read
// with its own folder as the working folder, so the names inside it are
// relative to that folder; names of shared files ("shaders/...", "models/...")
// are relative to the engine's working folder. Find tries the current folder
// first and then every folder that was the working folder before a model
// group file changed it.

#include <string>
#include <vector>

class CContentFiles
{
public:
    /// The path of the existing file for `name`, or the normalised name when
    /// none exists (so the caller's message names what the content asked for).
    static std::string Find(const std::string& name);
    static bool Exists(const std::string& name);

    /// Makes `folder` the working folder for its lifetime and remembers the
    /// previous one for Find. An empty folder changes nothing. When the folder
    /// cannot be entered, Entered() is false and the working folder is unchanged.
    class FolderChange
    {
    public:
        explicit FolderChange(const std::string& folder);
        ~FolderChange();
        FolderChange(const FolderChange&) = delete;
        FolderChange& operator=(const FolderChange&) = delete;
        bool Entered() const { return m_entered; }

    private:
        std::string m_previous;
        bool m_entered = false;
        bool m_changed = false;
    };

private:
    static std::vector<std::string>& BaseFolders();
};
