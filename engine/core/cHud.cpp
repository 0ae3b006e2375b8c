#include "cHud.h"

#include <osg/BlendFunc>
#include <osg/Geometry>

#include <cstdio>

namespace
{
const float kMessageSeconds = 2.0f;  // how long a status message stays
const unsigned int kShown = ~0u;
const unsigned int kHidden = 0u;

// A quad just behind the text's bounding box, so the text stays readable over
// any video picture.
osg::Geometry* backgroundQuad(const osg::BoundingBox& bb)
{
    osg::ref_ptr<osg::Geometry> quad = new osg::Geometry;
    const float z = bb.zMin() - 0.1f;
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    vertices->push_back(osg::Vec3(bb.xMin(), bb.yMax(), z));
    vertices->push_back(osg::Vec3(bb.xMin(), bb.yMin(), z));
    vertices->push_back(osg::Vec3(bb.xMax(), bb.yMin(), z));
    vertices->push_back(osg::Vec3(bb.xMax(), bb.yMax(), z));
    quad->setVertexArray(vertices.get());
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    normals->push_back(osg::Vec3(0.f, 0.f, 1.f));
    quad->setNormalArray(normals.get(), osg::Array::BIND_OVERALL);
    osg::ref_ptr<osg::Vec4Array> colours = new osg::Vec4Array;
    colours->push_back(osg::Vec4(0.7f, 0.7f, 0.4f, 0.99f));
    quad->setColorArray(colours.get(), osg::Array::BIND_OVERALL);
    quad->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    osg::StateSet* state = quad->getOrCreateStateSet();
    state->setMode(GL_BLEND, osg::StateAttribute::ON);
    state->setAttributeAndModes(new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
    return quad.release();
}
}

cHud::cHud() = default;

osg::Camera* cHud::createHUD(int width, int height, bool)
{
    m_width = width;
    m_height = height;
    m_messageText = new osgText::Text;
    m_messageGeode = CreateTextGeode(osg::Vec2f(20.f, 50.f), osg::Vec2f(10.f, 10.f), m_messageText.get(), "hELLO");
    m_infoText = new osgText::Text;
    m_infoGeode = CreateTextGeode(osg::Vec2f(20.f, static_cast<float>(height) - 20.f), osg::Vec2f(100.f, 100.f),
                                  m_infoText.get(), "hELLO");
    m_messageGeode->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    m_infoGeode->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    m_infoHidden = false;

    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    camera->setProjectionMatrixAsOrtho2D(0, width, 0, height);
    camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    camera->setViewMatrix(osg::Matrix::identity());
    camera->setClearMask(GL_DEPTH_BUFFER_BIT);
    camera->setRenderOrder(osg::Camera::POST_RENDER, 0);
    camera->addChild(m_messageGeode.get());
    camera->addChild(m_infoGeode.get());
    return camera.release();
}

osg::Geode* cHud::CreateTextGeode(const osg::Vec2f& position, const osg::Vec2f&, osgText::Text* text,
                                  const std::string& initial)
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    geode->addDrawable(text);
    text->setFont("fonts/arial.ttf");
    text->setCharacterSize(18.f, 1.0f);
    text->setBackdropType(osgText::Text::DROP_SHADOW_BOTTOM_LEFT);
    text->setColor(osg::Vec4(1.1f, 1.1f, 1.1f, 1.0f));
    text->setPosition(osg::Vec3(position.x(), position.y(), 0.f));
    text->setDataVariance(osg::Object::DYNAMIC);
    text->setText(initial);
    geode->addDrawable(backgroundQuad(text->getBoundingBox()));
    return geode.release();
}

void cHud::ShowTimedMessage(const std::string& text, float seconds)
{
    ShowMessage(text);
    m_messageDuration = seconds;
}

void cHud::ShowMessage(const std::string& text)
{
    m_messageDuration = kMessageSeconds;
    if (m_messageText.valid()) m_messageText->setText(text);
    if (m_messageGeode.valid()) m_messageGeode->setNodeMask(kShown);
    m_messageShown = true;
    m_messageAge = 0.f;
}

void cHud::ChangeString(const std::string& text, float number)
{
    char buffer[256];
    std::snprintf(buffer, sizeof(buffer), "%s := %3.2f", text.c_str(), number);
    ShowMessage(buffer);
}

void cHud::ChangeString(const std::string& text)
{
    ShowMessage(text);
}

void cHud::ChangeSwitchString(const std::string& text, bool on)
{
    ShowMessage(text + (on ? " := ON" : " := OFF"));
}

void cHud::SetInfoString(const std::string& text)
{
    if (m_infoText.valid()) m_infoText->setText(text);
}

void cHud::ToggleDisplayInfo()
{
    m_infoHidden = !m_infoHidden;
    if (m_infoGeode.valid()) m_infoGeode->setNodeMask(m_infoHidden ? kHidden : kShown);
}

void cHud::Update(float dt)
{
    if (!m_messageShown) return;
    m_messageAge += dt;
    if (m_messageAge >= m_messageDuration)
    {
        if (m_messageGeode.valid()) m_messageGeode->setNodeMask(kHidden);
        m_messageShown = false;
        m_messageAge = 0.f;
    }
}

std::string cHud::GetMessageText() const
{
    return m_messageText.valid() ? m_messageText->getText().createUTF8EncodedString() : std::string();
}

std::string cHud::GetInfoText() const
{
    return m_infoText.valid() ? m_infoText->getText().createUTF8EncodedString() : std::string();
}
