#pragma once
// The pictures of the HUD's models and icons, in one flat look: dark
// slate faces with a faint top light and edge, one blue accent, white
// symbols, and a soft shadow under every shape (inside the picture's
// margin, so the shape sits a little inside its region). Labels are not
// drawn here: the HUD writes them over the pictures in light grey.

#include <osg/Image>

#include <string>
#include <vector>

namespace hudpictures
{
/// A picture by its name (the model's or icon's file name without folder
/// and extension, e.g. "buttonRegion", "scan"); null for an unknown name.
osg::Image* ByName(const std::string& name);
/// A menu icon: a face with a symbol ("house", "tree", "rocket", "figure",
/// "orb", "tiles", "sparkle", "play") and the caption `text` below it; a
/// group's icon has the accent face.
osg::Image* MenuIcon(const std::string& text, const std::string& symbol, bool group);
/// Every name ByName knows.
std::vector<std::string> Names();
}
