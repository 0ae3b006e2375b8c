#pragma once
// A video source that is itself the current frame image: readers (the
// tracker, the background texture) look at this image; the source refreshes
// its pixels. This base stream has no source: it is a black frame of its
// size that never changes, which keeps the engine running without a camera.

#include <osg/Image>

class CVideoStream : public osg::Image
{
public:
    CVideoStream(int width = 640, int height = 480);

    virtual void StartStream() { m_running = true; }
    virtual void stop() { m_running = false; }
    virtual void rewind() {}
    virtual void CleanUp() { m_running = false; }
    virtual bool IsValid() const { return false; }
    bool IsRunning() const { return m_running; }

protected:
    ~CVideoStream() override = default;

private:
    bool m_running = false;
};
