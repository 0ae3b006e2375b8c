#pragma once
// The desktop program: picks and enters the working folder, answers --help
// and --version through the engine (without a window), then makes the
// document, the main window and its view, starts the engine in the view, and
// serves the window until it is closed. Ctrl+C or a polite kill ends a run
// as closing the window does.
//
// The application owns the document and the main window; the main window
// owns the view, and the view the engine.

#include <QApplication>

#include <memory>

class CMainFrame;
class CVexamarkMFCDoc;

class CVexamarkMFCApp : public QApplication
{
public:
    /// `argc` and `argv` are the toolkit's copy; the engine gets the
    /// program's own in InitInstance.
    CVexamarkMFCApp(int& argc, char** argv);
    ~CVexamarkMFCApp() override;

    /// Makes the document, main window and view, starts the engine with the
    /// program's command line, and shows the main window.
    bool InitInstance(int argc, char** argv);
    /// Closes and deletes the main window (the engine is shut down first).
    void ExitInstance();
    CMainFrame* MainFrame() const { return m_frame.get(); }

    /// The whole program; returns its exit code.
    static int Run(int argc, char** argv);
    /// "--help" or "--version" is among the arguments.
    static bool PrintsOnly(int argc, char** argv);

private:
    static int PrintInfo(int argc, char** argv);
    static bool HasDisplay();

    std::unique_ptr<CVexamarkMFCDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
};
