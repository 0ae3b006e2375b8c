#include "CButtonRegion.h"

#include "CHudLabel.h"

CButtonRegion::CButtonRegion()
{
    m_baseName = "BUTTON";
}

osg::MatrixTransform* CButtonRegion::Init(int index, float x, float y, float width, float height,
                                          const std::string& modelFile, const std::string& label, int startSegment)
{
    m_width = width;
    m_height = height;
    osg::MatrixTransform* transform = CreateFromModel(index, x, y, width, height, modelFile);
    if (!label.empty()) AttachLabel(CHudLabel::Create(width, height, label, 0.f));
    m_hasAnimation = EnableAnimation(kAnimationSegments);
    PlayAnimation(startSegment);
    return transform;
}

void CButtonRegion::SetLabel(const std::string& text)
{
    if (GetLabel())
        CHudLabel::SetText(GetLabel(), text, 0.f);
    else if (!text.empty())
        AttachLabel(CHudLabel::Create(m_width, m_height, text, 0.f));
}

int CButtonRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    if (event.targetName != GetName()) return CHudRegion::HandleEvent(message, event);
    if (event.type == CGUIEvent::Press)
    {
        if (m_callback) m_callback(*this);
        m_pressed = true;
        PlayAnimation(0);
    }
    else if (event.type == CGUIEvent::ClickRelease)
    {
        PlayAnimation(1);
        SetClicked();
    }
    return TookIt;
}

bool CButtonRegion::ConsumePressed()
{
    const bool pressed = m_pressed;
    m_pressed = false;
    return pressed;
}
