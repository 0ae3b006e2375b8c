#include "CMainFrame.h"

#include "CAboutDlg.h"
#include "CDesktopMessages.h"
#include "CDesktopShell.h"
#include "CScanDialog.h"
#include "CSoundSettingsDialog.h"
#include "CVexamarkMFCDoc.h"
#include "CVexamarkMFCView.h"
#include "CVideoSettingsDialog.h"
#include "CWindowGeometry.h"

#include "CVexaBox.h"
#include "DSCaptureStream.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <filesystem>

namespace
{
const QSize kClientSize(640, 480);  // the view's size at start, pixels

std::string workingFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string(".") : folder.string();
}

QSize screenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(800, 600);
}
}

CMainFrame::CMainFrame(CVexamarkMFCDoc* document) : m_document(document)
{
    setWindowTitle(document->FrameTitle());
    setWindowIcon(QIcon::fromTheme(QStringLiteral("vexamark")));
    m_fullScreenRect = QRect(QPoint(0, 0), screenSize());
    m_view = new CVexamarkMFCView(this);
    setCentralWidget(m_view);
    CreateMenus();
    CreateBars();
    PlaceCentred();
}

QAction* CMainFrame::AddCommand(QMenu* menu, const QString& text, const QKeySequence& key,
                                const std::function<void()>& handler)
{
    QAction* action = menu->addAction(text);
    if (!key.isEmpty()) action->setShortcut(key);
    connect(action, &QAction::triggered, this, handler);
    // Accelerators keep working when full screen hides the menu bar.
    addAction(action);
    return action;
}

void CMainFrame::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    AddCommand(file, QStringLiteral("&Open Printable Symbol File..."), {}, [this]() { OnOpenSymbolFile(); });
    AddCommand(file, QStringLiteral("&Print Symbols to default printer..."), {}, [this]() { OnPrintSymbols(); });
    file->addSeparator();
    AddCommand(file, QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_X), [this]() { close(); });

    QMenu* tricks = menuBar()->addMenu(QStringLiteral("T&ricks"));
    AddCommand(tricks, QStringLiteral("&Next"), QKeySequence(Qt::Key_Right), [this]() { OnNextObject(); });
    AddCommand(tricks, QStringLiteral("&Previous"), QKeySequence(Qt::Key_Left), [this]() { OnPreviousObject(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    AddCommand(view, QStringLiteral("&FullScreen"), QKeySequence(Qt::Key_Space), [this]() { ToggleFullScreen(); });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    AddCommand(tools, QStringLiteral("&Search for Vexamark Card"), QKeySequence(Qt::Key_F9), [this]() { OnScan(); });
    AddCommand(tools, QStringLiteral("Calibration &view"), QKeySequence(Qt::Key_F6), [this]() { OnCalibrationView(); });
    AddCommand(tools, QStringLiteral("&Camera Settings..."), {}, [this]() { OnCameraSettings(); });
    AddCommand(tools, QStringLiteral("&Audio Settings..."), {}, [this]() { OnAudioSettings(); });

    QMenu* capture = menuBar()->addMenu(QStringLiteral("&Capture"));
    AddCommand(capture, QStringLiteral("&Capture Picture"), QKeySequence(Qt::Key_C), [this]() { OnCapturePicture(); });
    AddCommand(capture, QStringLiteral("&View Pictures"), {}, [this]() { OnViewPictures(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommand(help, QStringLiteral("View &QuickStart Guide..."), {}, [this]() { OnQuickStartGuide(); });
    AddCommand(help, QStringLiteral("View &Help File..."), QKeySequence(Qt::Key_F1), [this]() { OnHelpFile(); });
    help->addSeparator();
    AddCommand(help, QStringLiteral("&About"), {}, [this]() { OnAbout(); });
}

QAction* CMainFrame::FindAction(const QString& text) const
{
    for (QAction* action : actions())
        if (action->text().remove(QLatin1Char('&')) == text) return action;
    return nullptr;
}

void CMainFrame::CreateBars()
{
    m_toolBar = addToolBar(QStringLiteral("Standard"));
    m_toolBar->setObjectName(QStringLiteral("Standard"));
    for (const char* text : {"Capture Picture", "Search for Vexamark Card", "FullScreen", "View Help File..."})
        if (QAction* action = FindAction(QString::fromLatin1(text))) m_toolBar->addAction(action);
    m_toolBar->hide();
    statusBar()->showMessage(QStringLiteral("Ready"));
    statusBar()->hide();
}

void CMainFrame::PlaceCentred()
{
    CWindowGeometry::Decoration decoration;
    decoration.menuHeight = menuBar()->isVisible() || !isVisible() ? menuBar()->sizeHint().height() : 0;
    if (isVisible())
    {
        // What the window manager adds around the window, once it is known.
        const QRect outer = frameGeometry(), inner = geometry();
        decoration.frameWidth = inner.x() - outer.x();
        decoration.captionHeight = std::max(0, inner.y() - outer.y() - decoration.frameWidth);
        decoration.frameHeight = decoration.frameWidth;
    }
    const QRect outer = CWindowGeometry::OuterRect(kClientSize, decoration, screenSize(), true);
    const QRect client = CWindowGeometry::ClientRect(outer, decoration);
    // The window's own rectangle holds the menu bar above the view.
    setGeometry(client.adjusted(0, -decoration.menuHeight, 0, 0));
}

void CMainFrame::ToggleFullScreen()
{
    if (m_fullScreen) LeaveFullScreen();
    else EnterFullScreen();
    if (CVexaBox* engine = m_view->Engine()) engine->ToggleFullScreen();
}

void CMainFrame::EnterFullScreen()
{
    m_fullScreen = true;
    m_toolBarVisible = m_toolBar->isVisible();
    m_statusBarVisible = statusBar()->isVisible();
    m_toolBar->hide();
    statusBar()->hide();
    menuBar()->hide();
    m_windowRect = geometry();
    showFullScreen();
    // Without a window manager to honour the request the window moves itself.
    setGeometry(m_fullScreenRect);
    m_view->setFocus();
}

void CMainFrame::LeaveFullScreen()
{
    m_fullScreen = false;
    showNormal();
    menuBar()->show();
    m_toolBar->setVisible(m_toolBarVisible);
    statusBar()->setVisible(m_statusBarVisible);
    setGeometry(m_windowRect);
    m_view->setFocus();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The dialogs use the engine: they go before it does.
    for (QDialog* dialog : findChildren<QDialog*>()) dialog->close();
    m_view->ShutDown();
    event->accept();
}

void CMainFrame::OnOpenSymbolFile()
{
    CDesktopShell::Open(this, workingFolder() + "/corvane_symbol.pdf");
}

void CMainFrame::OnPrintSymbols()
{
    const std::string sheet = workingFolder() + "/corvane_symbol.pdf";
    const bool print = CDesktopMessages::AskOkCancel(
        this,
        QStringLiteral("Are you sure you wont to print to default printer?\nClick OK to print or cancel to open the file"),
        QStringLiteral("VexamarkMFC"), false);
    if (print) CDesktopShell::Print(this, sheet);
    else CDesktopShell::Open(this, sheet);
}

void CMainFrame::OnNextObject()
{
    if (CVexaBox* engine = m_view->Engine()) engine->GetObjectManager()->ChangeCurrentObject(true);
}

void CMainFrame::OnPreviousObject()
{
    if (CVexaBox* engine = m_view->Engine()) engine->GetObjectManager()->ChangeCurrentObject(false);
}

void CMainFrame::OnScan()
{
    CVexaBox* engine = m_view->Engine();
    if (!engine) return;
    auto* dialog = new CScanDialog(engine, this);
    dialog->show();
}

void CMainFrame::OnCalibrationView()
{
    if (CVexaBox* engine = m_view->Engine()) engine->ToggleThresholdView();
}

void CMainFrame::OnCameraSettings()
{
    CVexaBox* engine = m_view->Engine();
    if (!engine) return;
    auto* stream = dynamic_cast<DSCaptureStream*>(engine->GetVideoManager()->GetStream());
    if (!stream)
    {
        CDesktopMessages::Show(this, QStringLiteral("No Video Settings avaliable when using basic video mode"),
                               QStringLiteral("VexamarkMFC"));
        return;
    }
    auto* dialog = new CVideoSettingsDialog(stream, this);
    dialog->show();
}

void CMainFrame::OnAudioSettings()
{
    CVexaBox* engine = m_view->Engine();
    if (!engine) return;
    CSoundSettingsDialog dialog(engine->GetSoundManager(), this);
    dialog.exec();
}

void CMainFrame::OnCapturePicture()
{
    if (CVexaBox* engine = m_view->Engine()) engine->CaptureSingleFrame();
}

void CMainFrame::OnViewPictures()
{
    CDesktopShell::Explore(this, workingFolder() + "/captures");
}

void CMainFrame::OnQuickStartGuide()
{
    CDesktopShell::Open(this, workingFolder() + "/Help Documents/Quick Start Guide.html");
}

void CMainFrame::OnHelpFile()
{
    CDesktopShell::Open(this, workingFolder() + "/Help Documents/HelpFile.html");
}

void CMainFrame::OnAbout()
{
    CAboutDlg dialog(this);
    dialog.exec();
}
