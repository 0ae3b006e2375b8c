#pragma once
// Documents and folders handed to the desktop: opened with the program the
// user's desktop chooses for them (through xdg-open), and printed with the
// system's print command ("lp", on the default printer). What cannot be done
// is said in a message box; nothing fails silently. With VEXAMARK_OPEN_LOG
// set to a file, requests are appended to it ("open file:///...",
// "print lp /...") instead of being carried out.

#include <string>

class QWidget;

class CDesktopShell
{
public:
    /// Opens a file or a folder; false (after a message) when it does not
    /// exist or nothing could be started.
    static bool Open(QWidget* parent, const std::string& path);
    /// Opens a folder, making it first when it is missing.
    static bool Explore(QWidget* parent, const std::string& folder);
    /// Sends a file to the default printer; false (after a message) when the
    /// file is missing or the print command cannot be started. A print
    /// command that fails later reports its own error in a message box.
    static bool Print(QWidget* parent, const std::string& path);
    /// The print command ("lp").
    static const char* PrintCommand() { return "lp"; }
};
