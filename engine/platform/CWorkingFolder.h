#pragma once
// Where a host runs the engine. The engine works relative to its working
// folder ("Data", "models", "shaders", ...), so a host picks that folder and
// makes it current before Init:
//  1. "-workdir:" DIR on the command line, when DIR is a folder;
//  2. the current folder, when it is a working folder (it holds
//     "Data/dataList.dat");
//  3. the user's own working folder, $XDG_DATA_HOME/vexamark (by default
//     ~/.local/share/vexamark), made and kept up to date from the installed
//     content set (share/vexamark next to the program's bin folder, so a
//     moved installation still finds it) without overwriting what the user
//     changed there. Its "captures" lead to $XDG_PICTURES_DIR/Vexamark when
//     the user has a pictures folder.
// Without an installed content set the current folder is used as it is.

#include <string>
#include <vector>

class CWorkingFolder
{
public:
    struct Choice
    {
        std::string folder;              // absolute path
        std::string reason;              // why this folder, for the log
        std::vector<std::string> notes;  // what was done or went wrong on the way
    };

    /// Picks the folder (and, for the user's folder, brings it up to date
    /// from the installed content set).
    static Choice Choose(int argc, const char* const* argv);
    /// The same with the installed content set given ("" for none).
    static Choice Choose(int argc, const char* const* argv, const std::string& installedContent);
    /// Makes the folder current and writes the choice as the log's first
    /// lines; false (with a line on standard error) when it cannot be entered.
    static bool Enter(const Choice& choice);

    /// True when `folder` holds "Data/dataList.dat".
    static bool IsWorkingFolder(const std::string& folder);
    /// $XDG_DATA_HOME/vexamark, or ~/.local/share/vexamark.
    static std::string UserFolder();
    /// The installed content set next to the running program, or "" when there is none.
    static std::string InstalledContent();
    /// The user's pictures folder when it exists ($XDG_PICTURES_DIR, or the
    /// one named in the user's user-dirs.dirs), else "".
    static std::string PicturesFolder();

private:
    static void PrepareUserFolder(const std::string& installed, Choice& choice);
    static void LinkCaptures(const std::string& folder, Choice& choice);
};
