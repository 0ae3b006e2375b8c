#pragma once
// The light rig: lights read from a light file light the content, optionally
// with shadow maps. Build wraps the content group and returns the node to
// attach to the scene.

#include <osg/Group>
#include <osg/Node>

class COsgSettings;

class CLightRig
{
public:
    /// Reads the light blocks of a loaded light file into the light list.
    static void LoadLights(COsgSettings& file);
    /// The node to attach: the content group itself when there is nothing to add.
    static osg::Node* Build(osg::Group* content, bool useShadows, int shadowMapResolution);
};
