#include "CEngineHost.h"

#include "CVexaBox.h"

CEngineHost::CEngineHost(const std::string& name, CRenderSurface::WindowHandle window)
    : m_name(name), m_window(window)
{
}

CEngineHost::~CEngineHost()
{
    CleanUp();
}

void CEngineHost::Start(int argc, char** argv)
{
    if (m_engine) return;
    m_engine = new CVexaBox();
    m_engine->Init(argc, argv, "Data/dataList.dat", false, false, false, false, m_window);
}

void CEngineHost::CleanUp()
{
    if (!m_engine) return;
    m_engine->CleanUp();
    delete m_engine;
    m_engine = nullptr;
}
