#pragma once
// A capture device through the process-wide frame callback CSampleGrabberCB:
// the same device and format choice, messages and settings file as
// DSCaptureStream, with frames converted by the one CSampleGrabberCB object.
// Only one BlackMagicStream can deliver frames at a time. The capture loop
// thread runs for housekeeping only; frames come from the camera's thread.

#include "CCaptureStreamBase.h"

class BlackMagicStream : public CCaptureStreamBase
{
public:
    /// Connects to a camera; the two flags are not consulted.
    BlackMagicStream(bool, bool);
    /// An unconnected stream.
    BlackMagicStream();
    BlackMagicStream(const BlackMagicStream& other, const osg::CopyOp& op = osg::CopyOp::SHALLOW_COPY);

    osg::Object* cloneType() const override { return new BlackMagicStream(); }
    osg::Object* clone(const osg::CopyOp& op) const override { return new BlackMagicStream(*this, op); }
    bool isSameKindAs(const osg::Object* obj) const override { return dynamic_cast<const BlackMagicStream*>(obj) != nullptr; }
    const char* className() const override { return "BlackMagicStream"; }
    CVideoStream* clone() const override { return new BlackMagicStream(); }

protected:
    ~BlackMagicStream() override;

    bool AttachFrameSink() override;
    void OnFlipsChanged() override;
};
