#include "CWorkingFolder.h"

#include "CContentSetCopy.h"
#include "CMessageLog.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string home()
{
    const std::string h = environment("HOME");
    return h.empty() ? "/tmp" : h;
}

std::string absolute(const std::string& path)
{
    std::error_code error;
    std::string normal = fs::absolute(path, error).lexically_normal().string();
    if (error) return path;
    if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
}

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file ("$HOME/Pictures").
std::string picturesFromUserDirs(const std::string& file)
{
    std::ifstream in(file);
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=";
    while (std::getline(in, line))
    {
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = home() + value.substr(5);
        return value;
    }
    return "";
}
}

bool CWorkingFolder::IsWorkingFolder(const std::string& folder)
{
    std::error_code error;
    return fs::is_regular_file(fs::path(folder) / "Data" / "dataList.dat", error);
}

std::string CWorkingFolder::UserFolder()
{
    std::string data = environment("XDG_DATA_HOME");
    if (data.empty() || data[0] != '/') data = home() + "/.local/share";
    return data + "/vexamark";
}

std::string CWorkingFolder::InstalledContent()
{
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return "";
    const fs::path content = program.parent_path().parent_path() / "share" / "vexamark";
    return IsWorkingFolder(content.string()) ? content.lexically_normal().string() : "";
}

std::string CWorkingFolder::PicturesFolder()
{
    std::string pictures = environment("XDG_PICTURES_DIR");
    if (pictures.empty())
    {
        std::string config = environment("XDG_CONFIG_HOME");
        if (config.empty() || config[0] != '/') config = home() + "/.config";
        pictures = picturesFromUserDirs(config + "/user-dirs.dirs");
    }
    std::error_code error;
    return !pictures.empty() && fs::is_directory(pictures, error) ? pictures : "";
}

void CWorkingFolder::LinkCaptures(const std::string& folder, Choice& choice)
{
    const std::string pictures = PicturesFolder();
    const fs::path captures = fs::path(folder) / "captures";
    std::error_code error;
    if (pictures.empty() || fs::exists(fs::symlink_status(captures, error))) return;
    const fs::path target = fs::path(pictures) / "Vexamark";
    fs::create_directories(target, error);
    if (!error) fs::create_directory_symlink(target, captures, error);
    if (error)
        choice.notes.push_back("Captures stay in " + captures.string() + ": cannot link it to " + target.string() +
                               " (" + error.message() + ")");
    else
        choice.notes.push_back("Captures go to " + target.string());
}

void CWorkingFolder::PrepareUserFolder(const std::string& installed, Choice& choice)
{
    const CContentSetCopy::Result copy = CContentSetCopy::Refresh(installed, choice.folder);
    if (copy.copied || copy.updated)
        choice.notes.push_back("From the installed content set " + installed + ": " + std::to_string(copy.copied) +
                               " files copied, " + std::to_string(copy.updated) + " updated, " +
                               std::to_string(copy.kept) + " of yours kept");
    for (const std::string& problem : copy.problems) choice.notes.push_back("Error: " + problem);
    LinkCaptures(choice.folder, choice);
}

CWorkingFolder::Choice CWorkingFolder::Choose(int argc, const char* const* argv)
{
    return Choose(argc, argv, InstalledContent());
}

CWorkingFolder::Choice CWorkingFolder::Choose(int argc, const char* const* argv, const std::string& installed)
{
    Choice choice;
    for (int i = 1; i + 1 < argc; ++i)
    {
        if (!argv[i] || std::string(argv[i]) != "-workdir:" || !argv[i + 1]) continue;
        std::error_code error;
        if (fs::is_directory(argv[i + 1], error))
        {
            choice.folder = absolute(argv[i + 1]);
            choice.reason = "given with -workdir:";
        }
        else
            choice.notes.push_back(std::string("Ignoring -workdir: ") + argv[i + 1] + " is not a folder");
    }
    if (!choice.folder.empty()) return choice;
    const std::string current = absolute(".");
    if (IsWorkingFolder(current))
    {
        choice.folder = current;
        choice.reason = "the current folder";
        return choice;
    }
    if (installed.empty())
    {
        choice.folder = current;
        choice.reason = "the current folder; no installed content set next to the program";
        return choice;
    }
    choice.folder = UserFolder();
    choice.reason = "the user's working folder";
    PrepareUserFolder(installed, choice);
    return choice;
}

bool CWorkingFolder::Enter(const Choice& choice)
{
    if (::chdir(choice.folder.c_str()) != 0)
    {
        std::fprintf(stderr, "Error: cannot enter the working folder %s\n", choice.folder.c_str());
        return false;
    }
    CMessageLog* log = CMessageLog::Instance();
    log->WriteToLog("Working folder: " + choice.folder + " (" + choice.reason + ")");
    for (const std::string& note : choice.notes) log->WriteToLog(note);
    return true;
}
