#include "HudModels.h"

#include "HudPictures.h"

#include <osg/AlphaFunc>
#include <osg/AnimationPath>
#include <osg/BlendFunc>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/MatrixTransform>
#include <osg/Texture2D>
#include <osgDB/FileNameUtils>

namespace hudmodels
{
namespace
{
const char* const kHud = "models/hud/";
const char* const kQorts = "models/hud/qorts/";
const char* const kMenu = "models/hud/menu/";

// A point of a scaling about the square's middle.
osg::AnimationPath::ControlPoint scaled(double s)
{
    const double offset = 0.5 * (1.0 - s);
    return osg::AnimationPath::ControlPoint(osg::Vec3d(offset, offset, 0.0), osg::Quat(), osg::Vec3d(s, s, 1.0));
}

osg::Geometry* unitSquare()
{
    osg::ref_ptr<osg::Geometry> square = new osg::Geometry;
    osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec2Array> coords = new osg::Vec2Array;
    const float xy[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& c : xy)
    {
        corners->push_back(osg::Vec3(c[0], c[1], 0.f));
        coords->push_back(osg::Vec2(c[0], c[1]));
    }
    square->setVertexArray(corners.get());
    square->setTexCoordArray(0, coords.get(), osg::Array::BIND_PER_VERTEX);
    osg::ref_ptr<osg::Vec3Array> normal = new osg::Vec3Array;
    normal->push_back(osg::Vec3(0.f, 0.f, 1.f));
    square->setNormalArray(normal.get(), osg::Array::BIND_OVERALL);
    osg::ref_ptr<osg::Vec4Array> white = new osg::Vec4Array;
    white->push_back(osg::Vec4(1.f, 1.f, 1.f, 1.f));
    square->setColorArray(white.get(), osg::Array::BIND_OVERALL);
    square->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    return square.release();
}
}

const std::vector<ModelFile>& Models()
{
    static const std::vector<ModelFile> models = {
        {std::string(kHud) + "buttonRegion.ive", "buttonRegion", Motion::Press},
        {std::string(kHud) + "labelRegion.ive", "labelRegion", Motion::None},
        {std::string(kHud) + "okReg.ive", "okReg", Motion::Press},
        {std::string(kHud) + "cacelRegion.ive", "cacelRegion", Motion::Press},
        {std::string(kHud) + "sliderEnd.ive", "sliderEnd", Motion::Press},
        {std::string(kHud) + "sliderBar.ive", "sliderBar", Motion::None},
        {std::string(kHud) + "toggle.ive", "toggle", Motion::None},
        {std::string(kHud) + "indicator.ive", "indicator", Motion::Pop},
        {std::string(kHud) + "upButtonRegion.ive", "upButtonRegion", Motion::Press},
        {std::string(kHud) + "downButtonRegion.ive", "downButtonRegion", Motion::Press},
        {std::string(kHud) + "minus/minus.ive", "minus", Motion::Press},
        {std::string(kHud) + "plus/plus.ive", "plus", Motion::Press},
        {std::string(kHud) + "basePlane/basePlane.ive", "basePlane", Motion::Pulse},
        {std::string(kHud) + "basePlane/backgroundBlack.ive", "backgroundBlack", Motion::None},
        {std::string(kHud) + "baseFrame/baseFrame.ive", "baseFrame", Motion::None},
        {std::string(kQorts) + "panelRight/panelRight.ive", "panelRight", Motion::None},
        {std::string(kQorts) + "effectNode/effectNode.ive", "effectNode", Motion::Press},
        {std::string(kQorts) + "editIcon/editIcon.ive", "editIcon", Motion::Press},
        {std::string(kQorts) + "infoIcon/infoIcon.ive", "infoIcon", Motion::Press},
        {std::string(kQorts) + "toggleBackDrop/toggleBackDrop.ive", "toggleBackDrop", Motion::None},
        {std::string(kQorts) + "menuButton/menuButton.ive", "menuButton", Motion::Press},
        {std::string(kQorts) + "effectIndi/effectIndi.ive", "effectIndi", Motion::Pop},
        {std::string(kQorts) + "videoFrame/videoFrame.ive", "videoFrame", Motion::None},
        {std::string(kQorts) + "videoPlane/videoPlane.ive", "videoPlane", Motion::Pulse},
        // The object menu's toolbar buttons (named by the bundled menu).
        {std::string(kMenu) + "up.ive", "menuUp", Motion::Press},
        {std::string(kMenu) + "close.ive", "menuClose", Motion::Press},
        {std::string(kMenu) + "home.ive", "menuHome", Motion::Press},
        {std::string(kMenu) + "next.ive", "menuNext", Motion::Press},
        {std::string(kMenu) + "prev.ive", "menuPrev", Motion::Press},
        {std::string(kMenu) + "scaleUp.ive", "menuScaleUp", Motion::Press},
        {std::string(kMenu) + "scaleDown.ive", "menuScaleDown", Motion::Press},
        {std::string(kMenu) + "superSize.ive", "menuSuperSize", Motion::Press},
        {std::string(kMenu) + "defaultScale.ive", "menuDefaultScale", Motion::Press},
        {std::string(kMenu) + "label.ive", "menuLabel", Motion::None},
    };
    return models;
}

const std::vector<std::pair<std::string, std::string>>& Icons()
{
    static const std::vector<std::pair<std::string, std::string>> icons = [] {
        std::vector<std::pair<std::string, std::string>> list;
        for (const char* name : {"vSource", "vSettings", "threshTab", "threshOff", "threshOn", "scan", "hiderOff",
                                 "hiderOn", "settings"})
            list.emplace_back(name, std::string(kHud) + "icons/" + name + ".png");
        return list;
    }();
    return icons;
}

const std::vector<MenuIcon>& MenuIcons()
{
    static const std::vector<MenuIcon> icons = [] {
        const MenuIcon table[] = {
            // Groups (sub-menus of the bundled menu).
            {"scenes", "Scenes", "house", true}, {"toys", "Toys", "rocket", true},
            {"materials", "Materials", "orb", true}, {"more", "More", "tiles", true},
            {"animated", "Animated", "play", true},
            // The demo's objects.
            {"village", "Village", "house", false}, {"launchpad", "Launchpad", "rocket", false},
            {"tree", "Tree", "tree", false}, {"rocket", "Rocket", "rocket", false},
            {"vessel", "Vessel", "sparkle", false}, {"figure", "Figure", "figure", false},
            {"house", "House", "house", false}, {"samples", "Samples", "tiles", false},
            {"goldOrb", "Gold orb", "orb", false}, {"chromeRing", "Chrome ring", "orb", false},
            {"brushedGoblet", "Goblet", "sparkle", false}, {"glassOrb", "Glass orb", "orb", false},
            {"tiledOrb", "Tiled orb", "orb", false}, {"softTiledOrb", "Soft tiles", "orb", false},
            {"paintedVase", "Vase", "sparkle", false}, {"softPaintedVase", "Soft vase", "sparkle", false},
            {"crystalGoblet", "Crystal", "sparkle", false}, {"rubberTyre", "Tyre", "orb", false},
            {"shinyRocket", "Shiny rocket", "rocket", false}, {"jadePebble", "Jade", "orb", false},
            {"hopper", "Hopper", "figure", false}, {"walker", "Walker", "figure", false}};
        std::vector<MenuIcon> list;
        for (MenuIcon icon : table)
        {
            icon.file = std::string(kHud) + "icons/menu/" + icon.file + ".png";
            list.push_back(icon);
        }
        return list;
    }();
    return icons;
}

std::string TexturePath(const std::string& modelPath)
{
    return osgDB::getFilePath(modelPath) + "/images/" + osgDB::getStrippedName(modelPath) + ".png";
}

osg::AnimationPath* Path(Motion motion)
{
    osg::ref_ptr<osg::AnimationPath> path = new osg::AnimationPath;
    // Played whole (a region that never cuts it) the path runs once and
    // rests at its last point, the plain pose.
    path->setLoopMode(osg::AnimationPath::NO_LOOPING);
    switch (motion)
    {
    case Motion::Press:
        path->insert(0.0, scaled(1.0));
        path->insert(0.2, scaled(0.9));    // pressed
        path->insert(0.4, scaled(1.0));    // released
        path->insert(0.5, scaled(1.06));
        path->insert(0.6, scaled(1.0));    // a pop
        path->insert(1.0, scaled(1.0));
        break;
    case Motion::Pop:
        for (int i = 0; i < 10; ++i)
        {
            path->insert(0.2 * i, scaled(1.0));
            path->insert(0.2 * i + 0.05, scaled(0.75));
            path->insert(0.2 * i + 0.12, scaled(1.15));
        }
        path->insert(2.0, scaled(1.0));
        break;
    case Motion::Pulse:
        path->insert(0.0, scaled(1.0));
        path->insert(0.15, scaled(0.97));
        path->insert(0.3, scaled(1.0));
        break;
    case Motion::None:
        return nullptr;
    }
    return path.release();
}

osg::Node* Build(const ModelFile& file, const std::string& pictureFile)
{
    osg::ref_ptr<osg::Image> picture = hudpictures::ByName(file.picture);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(unitSquare());
    osg::StateSet* state = geode->getOrCreateStateSet();
    if (picture.valid())
    {
        picture->setFileName(pictureFile.empty() ? osgDB::getStrippedName(file.path) + ".png" : pictureFile);
        osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(picture.get());
        texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);
        texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
        texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
        texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
        state->setTextureAttributeAndModes(0, texture.get(), osg::StateAttribute::ON);
    }
    // Soft edges and shadows blend over what lies behind; fully clear texels
    // are not drawn at all (also where blending is switched off).
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    state->setAttributeAndModes(new osg::BlendFunc(osg::BlendFunc::SRC_ALPHA, osg::BlendFunc::ONE_MINUS_SRC_ALPHA));
    state->setAttributeAndModes(new osg::AlphaFunc(osg::AlphaFunc::GREATER, 0.004f));
    state->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);

    osg::ref_ptr<osg::MatrixTransform> animated = new osg::MatrixTransform;
    animated->addChild(geode.get());
    if (osg::ref_ptr<osg::AnimationPath> path = Path(file.motion))
        animated->setUpdateCallback(new osg::AnimationPathCallback(path.get()));
    osg::ref_ptr<osg::Group> root = new osg::Group;
    root->setName(osgDB::getStrippedName(file.path));
    root->addChild(animated.get());
    return root.release();
}
}
