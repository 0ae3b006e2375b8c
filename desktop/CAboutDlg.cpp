#include "CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About VexamarkMFC"));
    auto* icon = new QLabel(this);
    const QIcon themed = QIcon::fromTheme(QStringLiteral("vexamark"), windowIcon());
    icon->setPixmap(themed.pixmap(48, 48));
    auto* text = new QLabel(this);
    text->setText(VersionText() + QStringLiteral("\n"
                                                 "Marker-based augmented reality: 3D content on printed cards\n"
                                                 "seen by your camera.\n"
                                                 "Copyright (C) the Vexamark developers"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString CAboutDlg::VersionText()
{
    return QStringLiteral("VexamarkMFC Version " VEXAMARK_VERSION);
}
