#pragma once
// The about box: the program's icon, name, version and what it does.

#include <QDialog>

class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    /// "VexamarkMFC Version x.y.z".
    static QString VersionText();
};
