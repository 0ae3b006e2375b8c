#pragma once
// The live camera source (type "DSHOW"): opens the capture device chosen by
// name in "Data/DSVideoSetings.dat" (or the first one), picks its capture
// format, and streams it. The camera's streaming thread hands every frame to
// the stream's CDSOsgImageRender, which converts it once, flipped or
// de-interlaced, into the stream's own buffers; the engine thread shows the
// newest frame at each UpdateStream. The capture loop thread of the base class is never started.
//
// Without a camera, or when connecting fails, the stream is invalid, shows a
// black 640 x 480 picture and the user is told why (message box). A camera
// lost while streaming turns the stream invalid; its last frame stays shown.

#include "CCaptureStreamBase.h"
#include "CDSOsgImageRender.h"

#include <memory>

class DSCaptureStream : public CCaptureStreamBase
{
public:
    /// Connects to a camera; the two flags are not consulted.
    DSCaptureStream(bool, bool);
    /// An unconnected stream.
    DSCaptureStream();
    DSCaptureStream(const DSCaptureStream& other, const osg::CopyOp& op = osg::CopyOp::SHALLOW_COPY);

    osg::Object* cloneType() const override { return new DSCaptureStream(); }
    osg::Object* clone(const osg::CopyOp& op) const override { return new DSCaptureStream(*this, op); }
    bool isSameKindAs(const osg::Object* obj) const override { return dynamic_cast<const DSCaptureStream*>(obj) != nullptr; }
    const char* className() const override { return "DSCaptureStream"; }
    CVideoStream* clone() const override { return new DSCaptureStream(); }

    /// Null until connected.
    CDSOsgImageRender* GetRenderer() { return m_renderer.get(); }

protected:
    ~DSCaptureStream() override;

    bool AttachFrameSink() override;
    void OnFlipsChanged() override;

private:
    bool RenderFailed();

    std::unique_ptr<CDSOsgImageRender> m_renderer;
};
