#pragma once
// The model files of the HUD's widgets, one per kind of widget: what a
// <SKIN> block of a menu layout file sets, and what the engine fills for its
// own GUI. Every entry is empty until set. A plain value record.

#include <string>

class COsgSettings;

class CHudSkin
{
public:
    std::string ok;           // <OK>
    std::string cancel;       // <CANCEL>
    std::string increase;     // <INCREASE>: increase button of number and slider regions
    std::string decrease;     // <DECREASE>
    std::string slider;       // <SLIDER>: slider knob
    std::string bar;          // <BAR>: slider bar
    std::string textBox;      // <TEXTBOX>
    std::string button;       // <BUTTON>: object button
    std::string menuButton;   // <MENU_BUTTON>: sub-menu button
    std::string rightPanel;   // <RIGHT_PANEL>: edit panel background
    std::string effectNode;   // <EFFECT_NODE>: effect toggle node
    std::string toggleIndi;   // <TOGGLEINDI>: effect toggle indicator
    std::string toggleBack;   // <TOGGLEBACK>: effect toggle backdrop
    // Entries no tag sets.
    std::string upButton;     // up button of number inputs
    std::string downButton;   // down button of number inputs
    std::string spare;

    /// The entry a <SKIN> tag sets, or null for a tag that is not one.
    std::string* Entry(const std::string& tag);
    /// Reads the lines after the cursor up to "</SKIN>": each tag takes one
    /// file name. A tag that is no skin tag, or a tag without a file name,
    /// prints one line and is skipped. False when "</SKIN>" is missing.
    bool Read(COsgSettings& file);
};
