#pragma once
// The models and maps of the effects demo: smooth shapes that show a material
// well (an orb, a ring, a goblet, a pebble, a tyre, a tiled orb), each
// standing on the marker plane (z = 0, z up) with normals and texture
// coordinates, the gloss map and the diffuse map the demo's models name, a
// grid of small orbs that shows every effect on one marker, and the rainbow
// texture of the bubbles.

#include <osg/Image>
#include <osg/Node>

#include <string>
#include <vector>

namespace effectdemo
{
struct Mesh
{
    std::string fileName;  // relative to the output folder
    osg::Node* (*build)();
};

const std::vector<Mesh>& Meshes();
/// Small orbs on a 4 x 3 grid over an 80-unit marker, one per effect type.
osg::Node* GridOrb(int index);
const int kGridOrbs = 12;

osg::Image* GlossTiles();     // glossy tiles (white) with matte grout (black)
osg::Image* TileColours();    // the tiled orb's own texture
osg::Image* PaintedBands();   // a diffuse map: painted bands on terracotta
osg::Image* Rainbow();        // thin-film colours for the bubbles
}
