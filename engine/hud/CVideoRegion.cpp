#include "CVideoRegion.h"

#include "CBufferedVideoStream.h"
#include "CMJVidStream.h"
#include "CPathResolver.h"
#include "CVideoStream.h"

namespace
{
// Height of a picture `width` wide in the stream's shape (4:3 without one).
float pictureHeight(const CVideoStream* stream, float width)
{
    // Buffered streams may hold their frames in larger images: their frame
    // size is the picture's shape.
    if (const auto* buffered = dynamic_cast<const CBufferedVideoStream*>(stream))
        if (buffered->FrameWidth() > 0 && buffered->FrameHeight() > 0)
            return width * buffered->FrameHeight() / static_cast<float>(buffered->FrameWidth());
    if (stream && stream->s() > 0 && stream->t() > 0) return width * stream->t() / static_cast<float>(stream->s());
    return width * 0.75f;
}
}

CVideoRegion::CVideoRegion()
{
    m_baseName = "VIDEOREG";
}

CVideoRegion::~CVideoRegion() = default;

osg::MatrixTransform* CVideoRegion::Init(CHudRegion* parent, float x, float y, float planeWidth, float frameWidth,
                                         const std::string& videoFile, const std::string& planeModel,
                                         const std::string& frameModel, int framesPerSecond, int)
{
    osg::ref_ptr<CMJVidStream> movie = new CMJVidStream(CPathResolver::Resolve(videoFile), false);
    if (framesPerSecond > 0) movie->SetFrameInterval(1000 / framesPerSecond);
    m_stream = movie.get();
    return Build(parent, x, y, planeWidth, frameWidth, planeModel, frameModel);
}

osg::MatrixTransform* CVideoRegion::InitWithStream(CHudRegion* parent, float x, float y, float planeWidth,
                                                   float frameWidth, CVideoStream* stream,
                                                   const std::string& planeModel, const std::string& frameModel)
{
    m_stream = stream;
    m_playing = stream != nullptr;  // a live stream runs already
    return Build(parent, x, y, planeWidth, frameWidth, planeModel, frameModel);
}

osg::MatrixTransform* CVideoRegion::Build(CHudRegion* parent, float x, float y, float planeWidth, float frameWidth,
                                          const std::string& planeModel, const std::string& frameModel)
{
    const float planeHeight = pictureHeight(m_stream.get(), planeWidth);
    const float frameHeight = planeHeight + (frameWidth - planeWidth);
    osg::MatrixTransform* transform = CreateFromModel(0, x, y, planeWidth, planeHeight, planeModel);
    // A running stream shows at once; a movie shows the plane's own picture
    // until it is first played.
    if (m_playing) ShowStream();
    EnableAnimation(1);
    m_frame.reset(new CHudRegion);
    const float border = (frameWidth - planeWidth) * 0.5f;
    m_frame->CreateFromModel(0, -border, -border, frameWidth, frameHeight, frameModel);
    m_frame->SetDepth(-0.1f);  // behind the picture
    AddChild(m_frame.get());
    OnNamed();
    if (parent) parent->AddChild(this);
    return transform;
}

void CVideoRegion::OnNamed()
{
    if (m_frame) m_frame->SetName(GetName() + "VFRAME");
}

void CVideoRegion::ShowStream()
{
    if (m_streamShown || !m_stream.valid() || !GetModelTransform()) return;
    CVideoStream::ApplyVideoTexture(GetModelTransform()->getOrCreateStateSet(), m_stream.get(), false, 0);
    m_streamShown = true;
}

void CVideoRegion::Play()
{
    if (!m_stream.valid()) return;
    ShowStream();
    m_stream->StartStream();
    m_playing = true;
    PlayAnimation(0);
}

void CVideoRegion::Pause()
{
    if (!m_stream.valid()) return;
    m_stream->stop();
    m_playing = false;
    PlayAnimation(1);
}

void CVideoRegion::Release()
{
    if (m_playing && m_stream.valid()) m_stream->stop();
    m_playing = false;
    CHudRegion::Release();
}

int CVideoRegion::HandleEvent(const std::string& message, const CGUIEvent& event)
{
    if (event.targetName == GetName() && event.type == CGUIEvent::Press)
    {
        if (m_playing)
            Pause();
        else
            Play();
    }
    return CHudRegion::HandleEvent(message, event);
}
