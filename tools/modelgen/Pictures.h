#pragma once
// Procedural pictures for the demo models: every one is drawn from a fixed
// seed, so each run writes the same files.

#include <osg/Image>

#include <string>

namespace pictures
{
osg::Image* Bricks();      // red-brown bricks in pale mortar, 128 x 128
osg::Image* RoofTiles();   // rows of dark red tiles
osg::Image* Bark();        // brown vertical grain
osg::Image* Leaves();      // mottled greens
osg::Image* Hull();        // white metal panels with a red band and rivets
osg::Image* Glaze();       // blue and white glaze bands for the vessel
osg::Image* Cloth();       // woven blue cloth
osg::Image* Grass();       // mottled grass for ground planes
/// The anisotropic lighting map: s is the light's angle to the surface,
/// t the viewer's; warm diffuse rising along s, a bright highlight band.
osg::Image* LightingMap();
/// By name ("bricks", "roof", "bark", "leaves", "hull", "glaze", "cloth",
/// "grass", "light"); null for an unknown name.
osg::Image* ByName(const std::string& name);
}
