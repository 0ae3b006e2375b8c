#pragma once
// A stream with a fixed black picture: what the engine shows when no video
// source of the requested kind exists, so the layer and the tracker always
// have a frame of the usual size.

#include "CVideoStream.h"

class CEmptyVideoStream : public CVideoStream
{
public:
    CEmptyVideoStream(int width, int height);
    CEmptyVideoStream();

    const char* className() const override { return "EmptyVideoStream"; }
    CVideoStream* clone() const override { return new CEmptyVideoStream(); }

protected:
    ~CEmptyVideoStream() override = default;
};
