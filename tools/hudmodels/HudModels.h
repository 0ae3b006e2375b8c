#pragma once
// The HUD's model files: every model the engine's HUD names, where it lies
// below the working folder, its picture and its animation. A model is a
// unit square (0..1 in x and y, facing +z; the region scales it to its
// size) carrying its picture as its own texture, under a transform with an
// animation path that the region cuts into press and release segments.

#include <osg/AnimationPath>
#include <osg/Node>

#include <string>
#include <vector>

namespace hudmodels
{
enum class Motion
{
    None,     // panels, boxes, bars, frames: still
    Press,    // 5 segments of 0.2 s: press (shrink), release, pop, rest, rest
    Pop,      // 10 segments of 0.2 s, each a pop (the effect indicators)
    Pulse     // 1 segment of 0.3 s: a short pulse (video planes)
};

struct ModelFile
{
    std::string path;     // below the working folder, e.g. "models/hud/buttonRegion.ive"
    std::string picture;  // HudPictures name
    Motion motion;
};

/// Every HUD model, in a fixed order.
const std::vector<ModelFile>& Models();
/// The icon pictures and where they go ("models/hud/icons/scan.png", ...).
const std::vector<std::pair<std::string, std::string>>& Icons();
/// A picture of the bundled object menu: a symbol and a caption.
struct MenuIcon
{
    std::string file;     // below the working folder ("models/hud/icons/menu/village.png")
    std::string caption;
    std::string symbol;   // a hudpictures::MenuIcon symbol
    bool group;
};
/// The bundled menu's icons, for its groups and the demo's objects.
const std::vector<MenuIcon>& MenuIcons();
/// The edit panel's video picture while an object has no clip of its own.
constexpr const char* kInfoPicture = "Videos/tarvellaDefault.bmp";
/// The texture image a region takes for a model: "<folder>/images/<name>.png".
std::string TexturePath(const std::string& modelPath);

/// The model of `file`, its picture included as its own texture; the
/// picture is named `pictureFile` (where it was written, so the model file
/// can carry that file's bytes).
osg::Node* Build(const ModelFile& file, const std::string& pictureFile = std::string());
/// The motion's animation path (times in seconds, pivot at the middle).
osg::AnimationPath* Path(Motion motion);
}
