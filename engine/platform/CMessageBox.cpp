#include "CMessageBox.h"

#include "CMessageLog.h"
#include "CX11Dialog.h"

#include <cstdio>
#include <cstdlib>

namespace
{
CMessageBox::Hook& hookSlot()
{
    static CMessageBox::Hook hook;
    return hook;
}

// The log's boxes are this layer's boxes from the moment the library loads.
const bool g_logShowsBoxes = (CMessageLog::SetBoxShower(&CMessageBox::Show), true);
}

bool CMessageBox::IsUnattended()
{
    const char* flag = std::getenv("VEXAMARK_NONINTERACTIVE");
    if (flag && *flag) return true;
    const char* display = std::getenv("DISPLAY");
    return !display || !*display;
}

void CMessageBox::Report(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

void CMessageBox::Show(const std::string& text, const std::string& caption)
{
    if (IsUnattended())
    {
        Report(text, caption);
        return;
    }
    if (hookSlot())
    {
        hookSlot()(text, caption);
        return;
    }
    if (CX11Dialog::Message(caption, text) == CX11Dialog::NoDisplay) Report(text, caption);
}

bool CMessageBox::Ask(const std::string& text, const std::string& caption, bool unattendedAnswer)
{
    if (IsUnattended())
    {
        Report(text, caption);
        return unattendedAnswer;
    }
    const CX11Dialog::Result r = CX11Dialog::Question(caption, text);
    if (r == CX11Dialog::NoDisplay) return unattendedAnswer;
    return r == CX11Dialog::Accepted;
}

void CMessageBox::SetHook(Hook hook)
{
    hookSlot() = std::move(hook);
}
