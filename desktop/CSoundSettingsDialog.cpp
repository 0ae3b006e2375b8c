#include "CSoundSettingsDialog.h"

#include "CSoundManager.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

const char* const CSoundSettingsDialog::kExtraDevices[2] = {"DirectSound3D", "DirectSound"};

CSoundSettingsDialog::CSoundSettingsDialog(CSoundManager* sound, QWidget* parent) : QDialog(parent), m_sound(sound)
{
    setWindowTitle(QStringLiteral("Sound Settings"));
    m_devices = new QListWidget(this);
    m_requestedLabel = new QLabel(this);
    m_activeLabel = new QLabel(this);
    m_requestedLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_activeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* labels = new QFormLayout;
    labels->addRow(QStringLiteral("Requested device:"), m_requestedLabel);
    labels->addRow(QStringLiteral("Active device:"), m_activeLabel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Apply)->setText(QStringLiteral("&Apply"));
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this]() { OnApply(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Sound output device:"), this));
    layout->addWidget(m_devices);
    layout->addLayout(labels);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    Fill();
}

QString CSoundSettingsDialog::NotInListText(const std::string& name)
{
    return QString::fromStdString("Device " + name + " not in device list");
}

QString CSoundSettingsDialog::RestartText()
{
    return QStringLiteral("Your changes will take place when you next reun the application");
}

QString CSoundSettingsDialog::NotSavedText()
{
    return QStringLiteral("Your changes could not be saved: Data/soundSettings.dat cannot be written");
}

void CSoundSettingsDialog::Fill()
{
    if (!m_sound) return;
    const std::vector<std::string> devices = m_sound->GetDeviceList();
    m_activeLabel->setText(QString::fromStdString(m_sound->GetActiveDevice()));
    m_requested = m_sound->GetDeviceNameAsString();
    m_requestedLabel->setText(QString::fromStdString(m_requested));
    const auto found = std::find(devices.begin(), devices.end(), m_requested);
    int selected = static_cast<int>(found - devices.begin());
    if (found == devices.end())
    {
        m_requestedLabel->setText(NotInListText(m_requested));
        selected = 0;
    }
    for (const std::string& name : devices) m_devices->addItem(QString::fromStdString(name));
    for (const char* extra : kExtraDevices) m_devices->addItem(QString::fromLatin1(extra));
    m_devices->setCurrentRow(selected);
}

void CSoundSettingsDialog::OnApply()
{
    const QListWidgetItem* item = m_devices->currentItem();
    if (!m_sound || !item || !item->isSelected()) return;
    const std::string chosen = item->text().toStdString();
    if (chosen == m_requested) return;
    m_sound->SetDeviceName(chosen);
    m_activeLabel->setText(m_sound->SaveSoundSettings() ? RestartText() : NotSavedText());
    m_requested = chosen;
    m_requestedLabel->setText(QString::fromStdString(chosen));
}
