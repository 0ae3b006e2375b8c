#pragma once
// The engine as the view holds it: a name, the view's native window (the X11
// window id the engine renders into) and the engine object. The host creates
// the engine in Start and owns it: CleanUp shuts it down and deletes it.

#include "CRenderSurface.h"

#include <string>

class CVexaBox;

class CEngineHost
{
public:
    CEngineHost(const std::string& name, CRenderSurface::WindowHandle window);
    /// Runs CleanUp when it has not run.
    ~CEngineHost();
    CEngineHost(const CEngineHost&) = delete;
    CEngineHost& operator=(const CEngineHost&) = delete;

    /// Creates the engine and runs its Init with the program's command line,
    /// the content list "Data/dataList.dat", four false flags and the window.
    void Start(int argc, char** argv);
    /// The engine, null before Start and after CleanUp.
    CVexaBox* Engine() const { return m_engine; }
    const std::string& Name() const { return m_name; }
    CRenderSurface::WindowHandle Window() const { return m_window; }
    /// Shuts the engine down (its settings are saved) and deletes it.
    void CleanUp();

private:
    std::string m_name;
    CRenderSurface::WindowHandle m_window = 0;
    CVexaBox* m_engine = nullptr;
};
