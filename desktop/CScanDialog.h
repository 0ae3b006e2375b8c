#pragma once
// "Vexamark Calibration": asks the user to hold a card up to the camera; OK
// (or Enter) runs the engine's threshold scan and closes, Cancel closes.
// Modeless, shown at once, deleted when closed. The engine is the caller's
// and must outlive the dialog (the main window closes it first).

#include <QDialog>

class CVexaBox;

class CScanDialog : public QDialog
{
public:
    CScanDialog(CVexaBox* engine, QWidget* parent);

    static QString Prompt();

    void accept() override;

private:
    CVexaBox* m_engine;
};
