#include "CVideo.h"

CVideo::CVideo() : m_videoNode(new osg::Group) {}

CVideo::~CVideo() = default;

bool CVideo::InitWebCamStream(int, const std::string& type, bool, bool, const std::string&)
{
    m_sourceType = type;
    m_stream = new CVideoStream(640, 480);
    m_visible = true;
    return true;
}

void CVideo::StartWebStream()
{
    if (m_stream.valid()) m_stream->StartStream();
}

void CVideo::StopStreams()
{
    if (m_stream.valid()) m_stream->stop();
}

void CVideo::CleanUp()
{
    if (m_stream.valid()) m_stream->CleanUp();
}

void CVideo::Update(float)
{
}

void CVideo::ToggleVisible()
{
    m_visible = !m_visible;
    m_videoNode->setNodeMask(m_visible ? ~0u : 0u);
}
