#pragma once
// The desktop program's message boxes, and the engine's while the program
// runs (the engine's message box and save dialog are handed to the toolkit).
// Like the engine's own boxes, they never wait in an unattended run
// (VEXAMARK_NONINTERACTIVE set, or no display): the caption and text go to
// standard error and the question takes its unattended answer.

#include <QString>

class QWidget;

class CDesktopMessages
{
public:
    /// A box with the text and an OK button (information icon); waits for it.
    static void Show(QWidget* parent, const QString& text, const QString& caption);
    /// OK and Cancel (information icon); true for OK.
    static bool AskOkCancel(QWidget* parent, const QString& text, const QString& caption, bool unattendedAnswer);
    /// Shows the engine's message boxes and save dialogs with the toolkit's.
    static void InstallEngineHooks();
    /// Gives the engine its own dialogs back.
    static void RemoveEngineHooks();
};
