#include "CHudSkin.h"

#include "COsgSettings.h"

#include <cstdio>

std::string* CHudSkin::Entry(const std::string& tag)
{
    if (tag == "<OK>") return &ok;
    if (tag == "<CANCEL>") return &cancel;
    if (tag == "<INCREASE>") return &increase;
    if (tag == "<DECREASE>") return &decrease;
    if (tag == "<SLIDER>") return &slider;
    if (tag == "<BAR>") return &bar;
    if (tag == "<TEXTBOX>") return &textBox;
    if (tag == "<BUTTON>") return &button;
    if (tag == "<MENU_BUTTON>") return &menuButton;
    if (tag == "<RIGHT_PANEL>") return &rightPanel;
    if (tag == "<EFFECT_NODE>") return &effectNode;
    if (tag == "<TOGGLEINDI>") return &toggleIndi;
    if (tag == "<TOGGLEBACK>") return &toggleBack;
    return nullptr;
}

bool CHudSkin::Read(COsgSettings& file)
{
    while (file.NextInBlock("</SKIN>"))
    {
        const std::string tag = file.NextString();
        std::string* entry = Entry(tag);
        if (!entry)
        {
            std::printf("Skin: expected a widget tag such as <BUTTON> or </SKIN>, found %s\n", tag.c_str());
            continue;
        }
        const std::string name = file.NextString();
        if (name.empty())
        {
            std::printf("Skin: expected a model file after %s, found nothing\n", tag.c_str());
            continue;
        }
        *entry = name;
    }
    // NextInBlock stops before the closing tag (the cursor then moves onto
    // it, so the caller goes on after the block) or at the end of the file.
    const size_t next = static_cast<size_t>(file.CurrentLine()) + 1;
    const bool closed = next < file.LineCount() && !file.LineTokens(next).empty() &&
                        file.LineTokens(next)[0] == "</SKIN>";
    if (closed) file.GoToLine(next);
    if (!closed) std::printf("Skin: expected </SKIN>, found the end of the file\n");
    std::fflush(stdout);
    return closed;
}
