#pragma once
// The sound manager: opens the audio device and places the listener.

#include <osg/Vec3f>

class CSoundManager
{
public:
    CSoundManager();
    ~CSoundManager();

    bool Init(int argc, char** argv, const osg::Vec3f& position, const osg::Vec3f& forward,
              const osg::Vec3f& up);
    void CleanUp();
    bool IsInitialised() const { return m_initialised; }

private:
    bool m_initialised = false;
};
