#include "CVexamarkMFCDoc.h"

QString CVexamarkMFCDoc::FrameTitle() const
{
    return m_title + QStringLiteral(" - VexamarkMFC");
}
