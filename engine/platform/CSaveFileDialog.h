#pragma once
// The save-file dialog. New files may be chosen; an existing file is only
// overwritten after the user agreed. Unattended runs take the name given by the
// environment variable VEXAMARK_SAVE_AS, or cancel when it is not set.

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CSaveFileDialog
{
public:
    struct Request
    {
        std::string title = "Save As";
        /// (description, pattern) pairs such as ("Model Data", "*.dat").
        std::vector<std::pair<std::string, std::string>> filters;
        /// Appended (with a dot) when the chosen name has no extension.
        std::string defaultExtension;
        std::string initialName;
        bool askBeforeOverwrite = true;
    };
    using Hook = std::function<bool(const Request&, std::string& chosenPath)>;

    /// Asks for a file name; true with the chosen path, false when cancelled.
    static bool Run(const Request& request, std::string& chosenPath);

    /// A host with its own toolkit installs its own dialog; empty restores ours.
    static void SetHook(Hook hook);

    /// The default extension added when `name` has none (a dot inside a folder
    /// name does not count as an extension).
    static std::string WithDefaultExtension(const std::string& name, const std::string& extension);
};
