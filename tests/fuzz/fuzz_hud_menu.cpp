// The 3D menu's description and layout files, read into a root menu for an
// 800 x 600 screen with no window: the input as the layout alone, as both
// files at once (one file may hold the <MENU_LAYOUT>, <TOOLBAR> and <ROOT>
// blocks), and as the description under a fixed, empty layout. Sub-menu
// files it names are looked up in the scratch folder.
#include "FuzzInput.h"

#include "CHudContentBridge.h"
#include "CHudSkin.h"
#include "CObjectManager.h"
#include "CVXObjectMenu.h"

#include <memory>

namespace
{
const char* const kLayout = "layout.hud";

bool writeLayout()
{
    const std::string text = "<MENU_LAYOUT>\n</MENU_LAYOUT>\n";
    return !fuzz::WriteInput(reinterpret_cast<const uint8_t*>(text.data()), text.size(), kLayout).empty();
}

void load(CHudContent& content, const std::string& description, const std::string& layout)
{
    std::unique_ptr<CVXObjectMenu> menu(new CVXObjectMenu);
    menu->InitRoot(0, 800.f, 600.f, &content, CHudSkin());
    if (description.empty())
        menu->LoadLayout(layout);
    else
        menu->LoadMenu(description, layout);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    static const bool prepared = writeLayout();
    const std::string path = fuzz::WriteInput(data, size, "menu.hud");
    if (!prepared || path.empty()) return 0;
    CObjectManager manager;
    CHudContentBridge content(&manager);
    load(content, "", path);
    load(content, path, path);
    load(content, path, kLayout);
    return 0;
}
