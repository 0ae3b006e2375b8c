#pragma once
// The engine's modal message box. An unattended run never blocks on it: when
// VEXAMARK_NONINTERACTIVE is set or no display can be opened, the caption and
// text go to standard error and the call returns as if OK was pressed.

#include <functional>
#include <string>

class CMessageBox
{
public:
    using Hook = std::function<void(const std::string& text, const std::string& caption)>;

    /// Shows the text under the caption with an OK button and waits for it.
    static void Show(const std::string& text, const std::string& caption);

    /// Asks a yes/no question; unattended runs answer `unattendedAnswer`.
    static bool Ask(const std::string& text, const std::string& caption, bool unattendedAnswer);

    /// A host with its own toolkit replaces the built-in box; an empty hook
    /// restores it. The hook is called on the engine's thread.
    static void SetHook(Hook hook);

    /// True when dialogs must not wait for a person.
    static bool IsUnattended();

private:
    static void Report(const std::string& text, const std::string& caption);
};
