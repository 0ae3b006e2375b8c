#pragma once
// The bundled demo models, each a recognisable shape standing on the marker
// plane (z = 0, z up) about 40 to 60 marker units tall.

#include <osg/Node>

#include <string>
#include <vector>

namespace demo
{
struct ModelFile
{
    std::string name;      // as given on the command line
    std::string fileName;  // written into the output folder
    osg::Node* (*build)();
};

osg::Node* House();    // brick walls, tiled gable roof, door, windows, chimney
osg::Node* Tree();     // bark trunk with three tiers of leaves
osg::Node* Rocket();   // panelled hull, red nose cone, three fins, nozzle
osg::Node* Vessel();   // glazed teapot-like vessel with spout, handle and lid
osg::Node* Figure();   // a character-like figure: head, body, arms, legs
osg::Node* Ground();   // a square grass plane, 120 units wide, for shadow scenes

const std::vector<ModelFile>& Models();
}
