#include "CSoundManager.h"

CSoundManager::CSoundManager() = default;

CSoundManager::~CSoundManager()
{
    CleanUp();
}

bool CSoundManager::Init(int, char**, const osg::Vec3f&, const osg::Vec3f&, const osg::Vec3f&)
{
    m_initialised = true;
    return true;
}

void CSoundManager::CleanUp()
{
    m_initialised = false;
}
