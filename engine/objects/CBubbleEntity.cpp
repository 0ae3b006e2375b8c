#include "CBubbleEntity.h"

#include "COsgSettings.h"

#include <cstdio>

CBubbleEntity::CBubbleEntity(const osg::Vec3f& position) : m_position(position)
{
    Build();
}

CBubbleEntity::CBubbleEntity(const osg::Vec3f& position, uint32_t seed) : m_position(position), m_random(seed)
{
    Build();
}

void CBubbleEntity::Build()
{
    m_node = new osg::Group;
    m_node->setName("Bubble");
    BuildShading();
    m_blobs.resize(kBlobCount);
    for (size_t i = 0; i < m_blobs.size(); ++i)
    {
        BubbleBlob& blob = m_blobs[i];
        blob.node = new osg::MatrixTransform;
        blob.node->addChild(m_bubble.get());
        blob.local = new osg::Uniform("LocalBlobbyPos", osg::Vec4f());
        blob.node->getOrCreateStateSet()->addUniform(blob.local.get());
        m_node->addChild(blob.node.get());
        blob.NewDrift(m_random);
        // Waiting for its first start: in play but of no size, so the first
        // bubbles do not all start at once.
        blob.active = true;
        blob.size = 0.f;
        blob.lifetime = m_random.Uniform(0.f, kFirstStarts);
        blob.node->setNodeMask(0);
        blob.PlaceNode();
    }
}

void CBubbleEntity::update(float seconds, const MarkerState& state)
{
    m_origin = state.matrix ? osg::Vec3f(osg::Vec3d(m_position) * *state.matrix) : m_position;
    for (size_t i = 0; i < m_blobs.size(); ++i)
    {
        StepBlob(m_blobs[i], seconds, state.visible);
        PublishBlob(static_cast<int>(i));
    }
    // The camera picture may change its size (a camera's format chosen late).
    const osg::Image* picture = m_picture.valid() ? m_picture->getImage(0) : nullptr;
    if (picture && picture->s() > 0 && picture->t() > 0)
    {
        m_frameWidth->set(static_cast<float>(picture->s()));
        m_frameHeight->set(static_cast<float>(picture->t()));
    }
}

void CBubbleEntity::StepBlob(BubbleBlob& blob, float seconds, bool visible)
{
    blob.Step(seconds, m_random);
    if (blob.age < blob.lifetime) return;
    if (visible)
        blob.Rebirth(m_origin, m_random);
    else
        blob.Deactivate();
}

void CBubbleEntity::PublishBlob(int index)
{
    const BubbleBlob& blob = m_blobs[static_cast<size_t>(index)];
    const osg::Vec4f place(blob.position, blob.active ? blob.size * kRadius : 0.f);
    blob.local->set(place);
    m_blobbyPos->setElement(static_cast<unsigned>(index), place);
}

char* CBubbleEntity::GetDescription()
{
    char* text = new char[256];
    std::snprintf(text, 256, "BUBBLES %f %f %f", m_position.x(), m_position.y(), m_position.z());
    return text;
}

void CBubbleEntity::Save(COsgSettings& writer)
{
    char text[256];
    std::snprintf(text, sizeof(text), "<BUBBLES> %f %f %f", m_position.x(), m_position.y(), m_position.z());
    writer.WriteIndent();
    writer.WriteLine(text);
}
