#pragma once
// The main window: menus and their accelerators, a toolbar and a status bar
// (both made and kept hidden), the view as its client area (640 x 480,
// centred on the screen at start), and full screen: the view then covers the
// screen, menus and bars hidden. The menu commands call the engine the view
// holds, open the dialogs, and open documents with the desktop's programs.
//
// The frame owns the view; dialogs it opens are its children.

#include <QMainWindow>
#include <QRect>

#include <functional>

class CVexamarkMFCDoc;
class CVexamarkMFCView;
class QAction;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow
{
public:
    explicit CMainFrame(CVexamarkMFCDoc* document);

    CVexamarkMFCView* View() const { return m_view; }
    CVexamarkMFCDoc* Document() const { return m_document; }

    bool IsFullScreen() const { return m_fullScreen; }
    void ToggleFullScreen();
    /// The rectangle of the view in full screen: the whole screen.
    const QRect& FullScreenRect() const { return m_fullScreenRect; }
    /// Places the window so that the view is 640 x 480 in the screen's middle.
    void PlaceCentred();

    /// The menu item with this text (as shown, without the mnemonic), or null.
    QAction* FindAction(const QString& text) const;

    // Menu commands.
    void OnOpenSymbolFile();
    void OnPrintSymbols();
    void OnNextObject();
    void OnPreviousObject();
    void OnScan();
    void OnCalibrationView();
    void OnCameraSettings();
    void OnAudioSettings();
    void OnCapturePicture();
    void OnViewPictures();
    void OnQuickStartGuide();
    void OnHelpFile();
    void OnAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    QAction* AddCommand(QMenu* menu, const QString& text, const QKeySequence& key, const std::function<void()>& handler);
    void CreateBars();
    void EnterFullScreen();
    void LeaveFullScreen();

    CVexamarkMFCDoc* m_document;
    CVexamarkMFCView* m_view = nullptr;
    QToolBar* m_toolBar = nullptr;
    QRect m_fullScreenRect;
    bool m_fullScreen = false;
    // What full screen hides, to bring back when it ends.
    QRect m_windowRect;
    bool m_toolBarVisible = false, m_statusBarVisible = false;
};
