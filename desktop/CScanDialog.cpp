#include "CScanDialog.h"

#include "CVexaBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CScanDialog::CScanDialog(CVexaBox* engine, QWidget* parent) : QDialog(parent), m_engine(engine)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vexamark Calibration"));
    auto* prompt = new QLabel(Prompt(), this);
    prompt->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

QString CScanDialog::Prompt()
{
    return QStringLiteral("Please hold your symbol up so it can be seen on the screen and click ok or press enter");
}

void CScanDialog::accept()
{
    if (m_engine) m_engine->AutoScan();
    QDialog::accept();
}
