// How a region looks: visibility, colour, texture and transparency.
//
// The region's transform switches lighting off, so the fixed-function
// pipeline shows vertex colours and textures, not the material. The
// material is still kept as the region's colour record, and what is drawn
// follows it: a quad's colour array takes the colour and alpha, and a
// model's texture is combined with a constant colour holding the tint and
// alpha, so colour changes and fades show.
#include "CHudRegion.h"

#include <osg/BlendEquation>
#include <osg/BlendFunc>
#include <osgText/Text>

namespace
{
const osg::Vec4f kLabelColour(0.8f, 0.8f, 0.8f, 1.f);
const osg::Vec4f kLabelShadow(0.01f, 0.01f, 0.01f, 1.f);

// Blending attributes never change, so every region shares one of each
// (fades set them every frame; nothing is allocated for it).
osg::BlendEquation* sharedBlendEquation()
{
    static osg::ref_ptr<osg::BlendEquation> equation = new osg::BlendEquation(osg::BlendEquation::FUNC_ADD);
    return equation.get();
}
osg::BlendFunc* sharedBlendFunc()
{
    static osg::ref_ptr<osg::BlendFunc> func =
        new osg::BlendFunc(osg::BlendFunc::SRC_ALPHA, osg::BlendFunc::ONE_MINUS_SRC_ALPHA);
    return func.get();
}
}

osg::StateSet* CHudRegion::LookStateSet()
{
    if (m_kind == QuadRegion) return m_geometry.valid() ? m_geometry->getOrCreateStateSet() : nullptr;
    return m_modelTransform.valid() ? m_modelTransform->getOrCreateStateSet() : nullptr;
}

void CHudRegion::SetVisible(bool on)
{
    m_transform->setNodeMask(on ? ~0u : 0u);
    m_visible = on;
}

void CHudRegion::ApplyMaterial(bool trackVertexColour, double alpha)
{
    osg::StateSet* state = LookStateSet();
    if (!state) return;
    const osg::Vec4f colour(m_colour.r(), m_colour.g(), m_colour.b(), static_cast<float>(alpha));
    m_material->setColorMode(trackVertexColour ? osg::Material::DIFFUSE : osg::Material::OFF);
    m_material->setAmbient(osg::Material::FRONT_AND_BACK, colour);
    m_material->setDiffuse(osg::Material::FRONT_AND_BACK, colour);
    m_material->setSpecular(osg::Material::FRONT_AND_BACK, colour);
    m_material->setShininess(osg::Material::FRONT_AND_BACK, 128.f);
    state->setAttribute(m_material.get());
}

void CHudRegion::ApplyLookToNodes()
{
    const float alpha = m_blending ? static_cast<float>(m_transparency) : 1.f;
    if (m_kind == QuadRegion)
    {
        (*m_colourArray)[0] = osg::Vec4f(m_quadColour.r(), m_quadColour.g(), m_quadColour.b(),
                                         m_blending ? alpha : m_quadColour.a());
        m_colourArray->dirty();
    }
    else if (m_tint.valid())
        m_tint->setConstantColor(osg::Vec4f(m_colour.r(), m_colour.g(), m_colour.b(), alpha));
    if (m_label.valid() && m_label->getColor().a() != alpha)
    {
        m_label->setColor(osg::Vec4f(kLabelColour.r(), kLabelColour.g(), kLabelColour.b(), alpha));
        m_label->setBackdropColor(osg::Vec4f(kLabelShadow.r(), kLabelShadow.g(), kLabelShadow.b(), alpha));
    }
}

void CHudRegion::SetColour(float red, float green, float blue)
{
    m_colour = osg::Vec4f(red, green, blue, static_cast<float>(m_transparency));
    m_quadColour = osg::Vec4f(red, green, blue, m_quadColour.a());
    ApplyMaterial(m_kind == QuadRegion, m_transparency);
    ApplyLookToNodes();
}

void CHudRegion::SetTexture(osg::Texture* texture)
{
    if (!texture) return;
    if (m_kind == ModelRegion)
    {
        if (!m_modelTransform.valid()) return;
        m_modelTransform->getOrCreateStateSet()->setTextureAttributeAndModes(
            0, texture, osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);
        return;
    }
    if (!m_geometry.valid()) return;
    // The quad's corners take the whole picture.
    if (!m_geometry->getTexCoordArray(0))
    {
        osg::ref_ptr<osg::Vec2Array> coords = new osg::Vec2Array;
        coords->push_back(osg::Vec2(0.f, 0.f));
        coords->push_back(osg::Vec2(1.f, 0.f));
        coords->push_back(osg::Vec2(1.f, 1.f));
        coords->push_back(osg::Vec2(0.f, 1.f));
        m_geometry->setTexCoordArray(0, coords.get(), osg::Array::BIND_PER_VERTEX);
    }
    m_quadColour = osg::Vec4f(1.f, 1.f, 1.f, m_quadColour.a());  // the picture as it is
    m_geometry->getOrCreateStateSet()->setTextureAttributeAndModes(0, texture, osg::StateAttribute::ON);
    SetTransparent(true, 1.0);
}

void CHudRegion::SetTransparent(bool on, double alpha)
{
    m_transparency = alpha;
    m_blending = on;
    if (osg::StateSet* state = LookStateSet())
    {
        if (on)
        {
            const auto mode = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
            state->setAttributeAndModes(sharedBlendEquation(), mode);
            state->setAttributeAndModes(sharedBlendFunc(), mode);
            state->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
            state->setMode(GL_BLEND, mode);
            ApplyMaterial(false, alpha);
        }
        else if (m_kind == QuadRegion)
            state->setMode(GL_BLEND, osg::StateAttribute::OFF);
        else
            state->setMode(GL_BLEND, osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
    }
    ApplyLookToNodes();
    for (CHudRegion* child : m_children) child->SetTransparent(on, alpha);
}

void CHudRegion::AttachLabel(osgText::Text* label)
{
    if (!label) return;
    if (m_label.valid()) m_geode->removeDrawable(m_label.get());
    m_label = label;
    m_label->setName(GetName());
    m_geode->addDrawable(label);
    if (!m_transform->containsNode(m_geode.get())) m_transform->addChild(m_geode.get());
    ApplyLookToNodes();
}
