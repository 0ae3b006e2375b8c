#pragma once
// The light rig: the lights of the process-wide light list (read from the
// light file "models/lightRig.lit" and from model group files) light the
// content, optionally with one shadow map per light.
//
// Build wraps the content group: with shadows, each light i gets a pass (a
// group holding a depth camera at the light that renders the content into an
// r x r depth texture, a texture-generation node for unit i, and the node
// below), and every ADVANCED material with <USE_SHADOWS> gets light i's map
// on unit <MAX_2DCHANNELS> + i. Then every light (at most eight) is switched
// on in the outermost node's state and its light source added to it, and the
// lights' shader uniforms are set there. The returned node belongs to the caller.

#include <osg/Camera>
#include <osg/Group>
#include <osg/Node>

class CLight;
class COsgSettings;

class CLightRig
{
public:
    /// Unit on which light 0's shadow map is bound for the shadow
    /// compensation material, with the sampler uniform "ShadowMap".
    static constexpr int kCompensationUnit = 13;

    /// Reads the light blocks of a loaded light file into the light list.
    static void LoadLights(COsgSettings& file);
    /// The node to attach: the content group itself when there is nothing to add.
    static osg::Node* Build(osg::Group* content, bool useShadows, int shadowMapResolution);

    /// The shadow-map pass of one light around `shadowed` (which it also
    /// draws normally); keeps the depth texture and texture matrix in the light.
    static osg::Group* MakeShadowPass(CLight* light, osg::Node* caster, osg::Node* shadowed, int index, int resolution);
};
