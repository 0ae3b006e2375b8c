#include "CSaveFileDialog.h"

#include "CMessageBox.h"
#include "CPathResolver.h"
#include "CX11Dialog.h"

#include <cstdlib>
#include <sys/stat.h>

namespace
{
CSaveFileDialog::Hook& hookSlot()
{
    static CSaveFileDialog::Hook hook;
    return hook;
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string filterText(const CSaveFileDialog::Request& request)
{
    std::string text;
    for (const auto& f : request.filters) text += "  " + f.first + " (" + f.second + ")\n";
    return text;
}
}

std::string CSaveFileDialog::WithDefaultExtension(const std::string& name, const std::string& extension)
{
    if (extension.empty() || name.empty()) return name;
    const size_t slash = name.find_last_of('/');
    const size_t dot = name.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return hasExtension ? name : name + "." + extension;
}

bool CSaveFileDialog::Run(const Request& request, std::string& chosenPath)
{
    if (CMessageBox::IsUnattended())
    {
        const char* name = std::getenv("VEXAMARK_SAVE_AS");
        if (!name || !*name) return false;
        chosenPath = WithDefaultExtension(CPathResolver::Normalise(name), request.defaultExtension);
        return true;
    }
    if (hookSlot()) return hookSlot()(request, chosenPath);

    std::string name = request.initialName;
    for (;;)
    {
        const std::string prompt = "File name:\n" + filterText(request);
        if (CX11Dialog::AskText(request.title, prompt, name) != CX11Dialog::Accepted || name.empty())
            return false;
        const std::string path = WithDefaultExtension(CPathResolver::Normalise(name), request.defaultExtension);
        if (request.askBeforeOverwrite && fileExists(path) &&
            !CMessageBox::Ask(path + " already exists.\nDo you want to replace it?", request.title, false))
            continue;
        chosenPath = path;
        return true;
    }
}

void CSaveFileDialog::SetHook(Hook hook)
{
    hookSlot() = std::move(hook);
}
