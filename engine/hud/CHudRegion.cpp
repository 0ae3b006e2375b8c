#include "CHudRegion.h"

#include <algorithm>

#include <osg/NodeVisitor>

#include <cstdio>

namespace
{
// Gives one name to every node and drawable below the node it visits.
class NameEveryNode : public osg::NodeVisitor
{
public:
    explicit NameEveryNode(const std::string& name)
        : osg::NodeVisitor(osg::NodeVisitor::TRAVERSE_ALL_CHILDREN), m_name(name)
    {
    }
    void apply(osg::Node& node) override
    {
        node.setName(m_name);
        traverse(node);
    }
    void apply(osg::Drawable& drawable) override { drawable.setName(m_name); }

private:
    const std::string& m_name;
};
}

CHudRegion::CHudRegion()
    : m_transform(new osg::MatrixTransform),
      m_geode(new osg::Geode),
      m_stateSet(new osg::StateSet),
      m_material(new osg::Material),
      m_colourArray(new osg::Vec4Array(1))
{
    // HUD regions show their own colours: no scene light reaches them.
    m_stateSet->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
    m_transform->setStateSet(m_stateSet.get());
    (*m_colourArray)[0] = m_quadColour;
}

CHudRegion::~CHudRegion()
{
    if (m_transform.valid()) m_transform->removeChildren(0, m_transform->getNumChildren());
    m_children.clear();
}

osg::MatrixTransform* CHudRegion::Create(int index, float x, float y, float width, float height)
{
    m_kind = QuadRegion;
    m_size.set(width, height);
    m_geometry = new osg::Geometry;
    osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
    corners->push_back(osg::Vec3(0.f, 0.f, 0.f));
    corners->push_back(osg::Vec3(width, 0.f, 0.f));
    corners->push_back(osg::Vec3(width, height, 0.f));
    corners->push_back(osg::Vec3(0.f, height, 0.f));
    m_geometry->setVertexArray(corners.get());
    osg::ref_ptr<osg::Vec3Array> normal = new osg::Vec3Array(1);
    (*normal)[0] = osg::Vec3(0.f, 0.f, 1.f);
    m_geometry->setNormalArray(normal.get(), osg::Array::BIND_OVERALL);
    m_geometry->setColorArray(m_colourArray.get(), osg::Array::BIND_OVERALL);
    m_geometry->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    m_geometry->setDataVariance(osg::Object::DYNAMIC);  // its colour changes while it is drawn
    m_geode->addDrawable(m_geometry.get());
    SetIndex(index);
    if (!m_transform->containsNode(m_geode.get())) m_transform->addChild(m_geode.get());
    m_x = x;
    m_y = y;
    ApplyTranslation();
    return m_transform.get();
}

void CHudRegion::Release()
{
    for (CHudRegion* child : m_children) child->Release();
}

void CHudRegion::SetIndex(int index)
{
    char name[160];
    std::snprintf(name, sizeof(name), "%s_%d", m_baseName.c_str(), index);
    SetName(name);
}

void CHudRegion::SetName(const std::string& name)
{
    m_geode->setName(name);
    for (unsigned int i = 0; i < m_geode->getNumDrawables(); ++i) m_geode->getDrawable(i)->setName(name);
    if (m_model.valid())
    {
        NameEveryNode naming(name);
        m_model->accept(naming);
    }
    OnNamed();
}

std::string CHudRegion::GetName() const
{
    return m_geode->getName();
}

int CHudRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    if (event.targetName == GetName()) return TookIt;
    bool childTookIt = false;
    for (CHudRegion* child : m_children)
        if (child->HandleEvent(message, event) != NotMine) childTookIt = true;
    return childTookIt ? ChildTookIt : NotMine;
}

void CHudRegion::AddChild(CHudRegion* child)
{
    if (!child || child == this) return;
    m_transform->addChild(child->GetTransform());
    m_children.push_back(child);
    child->m_parent = this;
    if (m_hudWidth > 0.f) child->SetHudSize(m_hudWidth, m_hudHeight);
}

void CHudRegion::RemoveChild(CHudRegion* child)
{
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end()) return;
    m_transform->removeChild(child->GetTransform());
    m_children.erase(it);
    child->m_parent = nullptr;
}

bool CHudRegion::HasDescendantNamed(const std::string& name) const
{
    for (const CHudRegion* child : m_children)
        if (child->GetName() == name || child->HasDescendantNamed(name)) return true;
    return false;
}

void CHudRegion::ApplyTranslation()
{
    m_transform->setMatrix(osg::Matrix::translate(m_x, m_y, m_depth));
}

void CHudRegion::SetPosition(float x, float y)
{
    m_x = x;
    m_y = y;
    ApplyTranslation();
}

void CHudRegion::SetDepth(float z)
{
    m_depth = z;
    ApplyTranslation();
}

osg::Vec2f CHudRegion::GetAbsolutePosition() const
{
    osg::Vec2f position(m_x, m_y);
    for (const CHudRegion* up = m_parent; up; up = up->m_parent) position += osg::Vec2f(up->m_x, up->m_y);
    return position;
}

osg::Vec2f CHudRegion::ToLocal(float x, float y) const
{
    return osg::Vec2f(x, y) - GetAbsolutePosition();
}

osg::Vec2f CHudRegion::PointerToHud(const CGUIEvent& event) const
{
    return osg::Vec2f((event.x + 1.f) * 0.5f * m_hudWidth, (event.y + 1.f) * 0.5f * m_hudHeight);
}

void CHudRegion::SetHudSize(float width, float height)
{
    m_hudWidth = width;
    m_hudHeight = height;
    for (CHudRegion* child : m_children) child->SetHudSize(width, height);
}

bool CHudRegion::ConsumeClick()
{
    const bool clicked = m_clicked;
    m_clicked = false;
    return clicked;
}
