#include "CVideoStream.h"

#include "CVideoTex2DCallBack.h"

#include <osg/Notify>
#include <osg/Texture2D>
#include <osg/TextureRectangle>
#include <osg/Timer>

#include <OpenThreads/ScopedLock>

#include <algorithm>
#include <cassert>

namespace
{
// Commands are never lost: repeats of the newest command collapse into it,
// and a queue nobody reads stays bounded by dropping its oldest command that
// a later one supersedes (a quit is never dropped).
const size_t kMaxQueuedCommands = 16;

double elapsedMilliseconds(osg::Timer_t from)
{
    const osg::Timer* timer = osg::Timer::instance();
    return static_cast<double>(timer->tick() - from) * timer->getSecondsPerTick() * 1000.0;
}
}

CVideoStream::CVideoStream(bool textureRectangle) : m_textureRectangle(textureRectangle)
{
    m_texMat = new osg::TexMat;
    if (textureRectangle) m_texMat->setScaleByTextureRectangleSize(true);
}

CVideoStream::CVideoStream() = default;

CVideoStream::CVideoStream(const CVideoStream& other, const osg::CopyOp& op)
    : osg::ImageStream(other, op), OpenThreads::Thread()
{
}

CVideoStream::~CVideoStream()
{
    StopThreadAndWait();
    m_texMat = nullptr;
}

void CVideoStream::StartCaptureThread()
{
    if (isRunning()) return;
    if (m_threadToJoin) join();  // the last one has ended
    m_threadToJoin = startThread() == 0;
}

void CVideoStream::StopThreadAndWait()
{
    setCmd(CmdStop);
    setCmd(CmdQuit);
    // A thread started some other way than StartCaptureThread is joinable too
    // while it runs.
    if (!m_threadToJoin && !isRunning()) return;
    // The loop sees the quit within one idle poll (30 ms); cancel is only a
    // fallback for a source blocked inside UpdateStream.
    for (int i = 0; i < 200 && isRunning(); ++i) OpenThreads::Thread::microSleep(5000);
    if (isRunning()) cancel();
    join();
    m_threadToJoin = false;
}

void CVideoStream::quit(bool waitForThreadToExit)
{
    setCmd(CmdQuit);
    if (waitForThreadToExit)
        while (isRunning()) OpenThreads::Thread::microSleep(1000);
}

void CVideoStream::setCmd(ThreadCommand cmd)
{
    OpenThreads::ScopedLock<OpenThreads::Mutex> guard(m_mutex);
    if (!m_commands.empty() && m_commands.back() == cmd) return;
    if (m_commands.size() >= kMaxQueuedCommands)
    {
        auto oldest = std::find_if(m_commands.begin(), m_commands.end(), [](ThreadCommand c) { return c != CmdQuit; });
        if (oldest != m_commands.end()) m_commands.erase(oldest);
    }
    m_commands.push_back(cmd);
}

CVideoStream::ThreadCommand CVideoStream::getCmd()
{
    OpenThreads::ScopedLock<OpenThreads::Mutex> guard(m_mutex);
    if (m_commands.empty()) return CmdNone;
    const ThreadCommand cmd = m_commands.front();
    m_commands.pop_front();
    return cmd;
}

size_t CVideoStream::PendingCommands()
{
    OpenThreads::ScopedLock<OpenThreads::Mutex> guard(m_mutex);
    return m_commands.size();
}

void CVideoStream::run()
{
    bool playing = false;
    bool quitting = false;
    osg::Timer_t t0 = osg::Timer::instance()->tick();
    while (!quitting)
    {
        bool frameStep = false;
        const int cmd = getCmd();
        switch (cmd)
        {
        case CmdStart:
            // Pacing restarts from now: the next frame at once, then one per
            // interval (after a stop the counter goes on from where it was).
            playing = true;
            t0 = osg::Timer::instance()->tick() -
                 static_cast<osg::Timer_t>(m_frameCounter * static_cast<double>(m_frameInterval) / 1000.0 /
                                           osg::Timer::instance()->getSecondsPerTick());
            frameStep = true;
            break;
        case CmdPlay: playing = true; frameStep = true; break;
        case CmdStop:
        case CmdReserved: playing = false; break;
        case CmdRewind:
            m_frameCounter = 0;
            t0 = osg::Timer::instance()->tick();
            frameStep = playing;
            break;
        case CmdQuit:
            OSG_NOTICE << "quit" << std::endl;
            quitting = true;
            playing = false;
            break;
        case CmdNone: frameStep = playing; break;
        default:
            OSG_WARN << "Unknown command " << cmd << std::endl;
            frameStep = playing;
            break;
        }
        if (!frameStep)
        {
            if (!quitting) OpenThreads::Thread::microSleep(30000);
            continue;
        }
        UpdateStream();
        if (!FlipsInProducer())
        {
            if (m_flipX) flipHorizontal();
            if (m_flipY) flipVertical();
        }
        ++m_frameCounter;
        while (elapsedMilliseconds(t0) < static_cast<double>(m_frameCounter + 1) * m_frameInterval)
            OpenThreads::Thread::microSleep(5000);
    }
}

void CVideoStream::SetEdgeOffSet(float sx, float sy)
{
    m_edgeOffsetX = sx;
    m_edgeOffsetY = sy;
    if (m_texMat.valid()) m_texMat->setMatrix(osg::Matrix::scale(sx, sy, 0.0));
}

void CVideoStream::SetPixelShift(int dx, int dy)
{
    assert(s() > 0 && t() > 0 && "SetPixelShift: the image must have a size");
    m_pixelShiftX = -dx;
    m_pixelShiftY = -dy;
    if (!m_texMat.valid()) return;
    const osg::Matrix scale = osg::Matrix::scale(m_edgeOffsetX, m_edgeOffsetY, 0.0);
    if (m_textureRectangle)
        m_texMat->setMatrix(scale * osg::Matrix::translate(-dx, -dy, 0.0));
    else
        m_texMat->setMatrix(scale * osg::Matrix::translate((1.0 / s()) * -dx, (1.0 / t()) * -dy, 0.0));
}

unsigned int CVideoStream::NextPowerOf2(unsigned int v)
{
    assert(v > 0 && "NextPowerOf2: the value must be positive");
    unsigned int highest = 0;
    while (v >>= 1) ++highest;
    return 1u << (highest + 1);
}

void CVideoStream::ApplyVideoTexture(osg::StateSet* state, CVideoStream* stream, bool textureRectangle,
                                     unsigned int unit)
{
    if (!state || !stream || !stream->isValid()) return;
    osg::ref_ptr<osg::Texture> texture;
    if (textureRectangle)
        texture = new osg::TextureRectangle(stream);
    else
    {
        osg::ref_ptr<osg::Texture2D> tex2D = new osg::Texture2D(stream);
        osg::ref_ptr<CVideoTex2DCallBack> callback = new CVideoTex2DCallBack(tex2D.get());
        tex2D->setSubloadCallback(callback.get());
        stream->SetEdgeOffSet(callback->GetRatioX(), callback->GetRatioY());
        texture = tex2D;
    }
    texture->setDataVariance(osg::Object::DYNAMIC);
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP);
    texture->setResizeNonPowerOfTwoHint(false);
    const auto mode = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    state->setTextureAttributeAndModes(unit, texture.get(), mode);
    if (stream->getTexMat()) state->setTextureAttributeAndModes(unit, stream->getTexMat(), mode);
}
