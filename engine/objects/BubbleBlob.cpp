#include "BubbleBlob.h"

void BubbleBlob::Step(float seconds, CEntityRandom& random)
{
    if (!active) return;
    node->setNodeMask(~0u);
    age += seconds;
    const osg::Vec3f velocity(drift.x(), drift.y() + kRise, drift.z());
    position += velocity * (size * seconds);
    PlaceNode();
    if (age > lifetime * 0.5f && !redirected)
    {
        NewDrift(random);
        redirected = true;
    }
}

void BubbleBlob::Rebirth(const osg::Vec3f& origin, CEntityRandom& random)
{
    for (int i = 0; i < 3; ++i) position[i] = origin[i] + random.Uniform(-1.f, 1.f);
    size = random.Uniform(0.2f, 1.0f);
    lifetime = random.Uniform(10.f, 12.f);
    age = 0.f;
    NewDrift(random);
    redirected = false;
    active = true;
    node->setNodeMask(~0u);
    PlaceNode();
}

void BubbleBlob::Deactivate()
{
    active = false;
    node->setNodeMask(0);
}

void BubbleBlob::NewDrift(CEntityRandom& random)
{
    for (int i = 0; i < 3; ++i) drift[i] = random.Uniform(-5.f, 5.f);
}

void BubbleBlob::PlaceNode()
{
    node->setMatrix(osg::Matrixd::scale(size, size, size) * osg::Matrixd::translate(position));
}
