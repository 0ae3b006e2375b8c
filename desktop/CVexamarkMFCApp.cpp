#include "CVexamarkMFCApp.h"

#include "CDesktopMessages.h"
#include "CMainFrame.h"
#include "CVexamarkMFCDoc.h"
#include "CVexamarkMFCView.h"

#include "CVexaBox.h"
#include "CWorkingFolder.h"

#include <QIcon>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
volatile std::sig_atomic_t g_stopRequested = 0;

void requestStop(int)
{
    g_stopRequested = 1;
}
}

CVexamarkMFCApp::CVexamarkMFCApp(int& argc, char** argv) : QApplication(argc, argv)
{
    // The program's own settings are kept under its name.
    setOrganizationName(QStringLiteral("VexamarkMFC"));
    setApplicationName(QStringLiteral("VexamarkMFC"));
    setApplicationVersion(QStringLiteral(VEXAMARK_VERSION));
    setDesktopFileName(QStringLiteral("vexamark"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("vexamark")));
}

CVexamarkMFCApp::~CVexamarkMFCApp()
{
    ExitInstance();
    CDesktopMessages::RemoveEngineHooks();
}

bool CVexamarkMFCApp::InitInstance(int argc, char** argv)
{
    CDesktopMessages::InstallEngineHooks();
    m_document = std::make_unique<CVexamarkMFCDoc>();
    m_frame = std::make_unique<CMainFrame>(m_document.get());
    m_frame->View()->SetStopFlag(&g_stopRequested);
    m_frame->View()->OnInitialUpdate(argc, argv);
    m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
    return true;
}

void CVexamarkMFCApp::ExitInstance()
{
    if (!m_frame) return;
    m_frame->View()->ShutDown();
    m_frame.reset();
}

bool CVexamarkMFCApp::PrintsOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "--version") == 0) return true;
    return false;
}

int CVexamarkMFCApp::PrintInfo(int argc, char** argv)
{
    // The engine prints the option list or the version and builds nothing.
    CVexaBox box;
    box.Init(argc, argv, "Data/dataList.dat", false, false, false, false, 0);
    box.CleanUp();
    return 0;
}

bool CVexamarkMFCApp::HasDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

int CVexamarkMFCApp::Run(int argc, char** argv)
{
    if (PrintsOnly(argc, argv)) return PrintInfo(argc, argv);
    if (!HasDisplay())
    {
        std::fprintf(stderr, "VexamarkMFC: no X display to open the window on (DISPLAY is not set)\n");
        return 1;
    }
    if (!CWorkingFolder::Enter(CWorkingFolder::Choose(argc, argv))) return 1;
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    // The engine draws into an X11 window: the toolkit must use X11 too.
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    std::vector<char*> toolkitArgs(argv, argv + argc);
    toolkitArgs.push_back(nullptr);
    int toolkitArgc = argc;
    CVexamarkMFCApp app(toolkitArgc, toolkitArgs.data());
    if (!app.InitInstance(argc, argv)) return 1;
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
