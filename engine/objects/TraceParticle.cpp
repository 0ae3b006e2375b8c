#include "TraceParticle.h"

#include <cassert>

void TraceParticle::Build(osg::Node* model)
{
    assert(model && "Build: a particle needs a model to show");
    node = new osg::MatrixTransform;
    node->addChild(model);
    node->setNodeMask(0);
    material = new osg::Material;
    material->setColorMode(osg::Material::OFF);
    material->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4f(0.f, 0.f, 0.f, 1.f));
    material->setEmission(osg::Material::FRONT_AND_BACK, osg::Vec4f(0.f, 0.f, 0.f, 1.f));
    node->getOrCreateStateSet()->setAttributeAndModes(material.get(), osg::StateAttribute::ON);
}

void TraceParticle::Spawn(const Start& start)
{
    position = start.position;
    velocity = start.velocity;
    life = start.life;
    scale = start.scale;
    startColour = start.startColour;
    endColour = start.endColour;
    colourDirection = endColour - startColour;
    colourDistance = colourDirection.length();
    if (colourDistance > 0.f) colourDirection /= colourDistance;
    age = 0.f;
    active = true;
    node->setMatrix(osg::Matrixd::scale(scale, scale, scale) * osg::Matrixd::translate(position));
    material->setDiffuse(osg::Material::FRONT_AND_BACK, ColourAt(0.f));
    node->setNodeMask(~0u);
}

osg::Vec4f TraceParticle::ColourAt(float at) const
{
    const float t = life > 0.f ? at / life : 1.f;
    const osg::Vec3f colour = startColour + colourDirection * (colourDistance * t);
    return osg::Vec4f(colour, 1.f - t);
}

void TraceParticle::Step(float seconds, const osg::Vec3f& wind, const osg::Vec3f& gravity, const osg::Vec3f& emitter)
{
    age += seconds;
    if (age >= life)
    {
        active = false;
        node->setNodeMask(0);
        node->setMatrix(osg::Matrixd::scale(scale, scale, scale) * osg::Matrixd::translate(emitter));
        return;
    }
    velocity += gravity + wind * scale;
    position += velocity * seconds;
    material->setDiffuse(osg::Material::FRONT_AND_BACK, ColourAt(age));
    material->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4f(0.f, 0.f, 0.f, 1.f));
    material->setEmission(osg::Material::FRONT_AND_BACK, osg::Vec4f(0.f, 0.f, 0.f, 1.f));
    node->setMatrix(osg::Matrixd::scale(scale, scale, scale) * osg::Matrixd::translate(position));
}
