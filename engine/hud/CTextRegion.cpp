#include "CTextRegion.h"

#include "CHudLabel.h"

CTextRegion::CTextRegion()
{
    m_baseName = "TEXT";
}

osg::MatrixTransform* CTextRegion::Init(int index, float x, float y, float width, float height,
                                        const std::string& modelFile, const std::string& text, float textSize)
{
    m_text = text;
    m_textSize = textSize;
    osg::MatrixTransform* transform = modelFile.empty() ? CreateWithoutModel(index, x, y)
                                                        : CreateFromModel(index, x, y, width, height, modelFile);
    SetSize(width, height);
    AttachLabel(CHudLabel::Create(width, height, text, textSize));
    return transform;
}

void CTextRegion::SetText(const std::string& text)
{
    if (text == m_text) return;
    m_text = text;
    CHudLabel::SetText(GetLabel(), text, m_textSize);
}
