// The key-help text shown by CVexaBox::ToggleShowHelp.
#include "CVexaBox.h"

namespace
{
const char* const kHelpLines[] = {
    "Vexamark Keyboard Help:",
    "",
    "F1 := Toggle help screen ",
    "F2 := Show ImagingSource propities dialog ",
    "F3 := Flip screen Horizontally ",
    "F4 := Toggle FullScreen mode ",
    "F5 := Toggle Show video ",
    "F6 := Toggle Threshold view ",
    "F7 := Toggle screen capturing (captures frames to captures/videos folder) ",
    "",
    "Left cursor := Decrease ImagingSource exposure value ",
    "Right cursor := Increase ImagingSource exposure value ",
    "",
    "Up Cursor := Increase image thresholing value ",
    "Down Cursor := Decrease image thresholing value ",
    "",
    "w := Increase Rotational Smoothing for current marker",
    "q := Decrease Rotational Smoothing for current marker",
    "s := Increase Translational Smoothing for current marker ",
    "a := Decrease Translational Smoothing for current marker ",
    "",
    ", := Previous object",
    ". := Next Object ",
    "",
    "8 := Scale current selected model up ",
    "2 := Scale current selected model down ",
    "4 := Rotate current Selected model on Z axis - ",
    "6 := Rotate current Selected model on Z axis + ",
    "7 := Translate Current model on Y axis -",
    "9 := Translate Current Model on Y axis +",
    "1 := Translate Current Model on X axis -",
    "3 := Translate Current Model on X axis +",
    "5 := Translate Current Model on Z axis +",
    "0 := Translate Current Model on Z axis -",
    "",
    "F8 := Save current models state to dat file ",
    "",
    "F9 := AutoScan Threshold",
    "",
    "e := Edit Current Object ",
    "x := Tracker Settings",
    "s := Save Tracker Settings",
};
}

std::string CVexaBox::BuildHelpText()
{
    std::string text;
    for (const char* line : kHelpLines)
    {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}
