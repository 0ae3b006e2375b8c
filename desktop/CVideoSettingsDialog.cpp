#include "CVideoSettingsDialog.h"

#include "CCameraPropertiesDialog.h"
#include "CDesktopMessages.h"

#include "DSCaptureStream.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CVideoSettingsDialog::CVideoSettingsDialog(DSCaptureStream* stream, QWidget* parent)
    : QDialog(parent), m_stream(stream)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Video Settings"));
    BuildControls();
    Fill();
}

CVideoSettingsDialog::~CVideoSettingsDialog() = default;

QString CVideoSettingsDialog::RestartText()
{
    return QStringLiteral("Some of your settings will take effect the next time you run the application");
}

QString CVideoSettingsDialog::DeviceEntry(const std::string& name, const std::string& stablePath)
{
    if (stablePath.empty()) return QString::fromStdString(name);
    return QString::fromStdString(name + "  (" + stablePath + ")");
}

void CVideoSettingsDialog::BuildControls()
{
    m_devices = new QComboBox(this);
    m_formats = new QComboBox(this);
    m_devices->setMaxVisibleItems(kDropDownRows);
    m_formats->setMaxVisibleItems(kDropDownRows);
    m_deviceLabel = new QLabel(this);
    m_formatLabel = new QLabel(this);
    m_notice = new QLabel(this);
    m_notice->setWordWrap(true);
    m_flipVertical = new QCheckBox(QStringLiteral("Flip Vertical"), this);
    m_flipHorizontal = new QCheckBox(QStringLiteral("Flip Horizontal"), this);
    m_deInterlace = new QCheckBox(QStringLiteral("De-Interlace"), this);
    auto* properties = new QPushButton(QStringLiteral("&Properties"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Close, this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Connected device:"), m_deviceLabel);
    form->addRow(QStringLiteral("Device format:"), m_formatLabel);
    form->addRow(QStringLiteral("Device:"), m_devices);
    form->addRow(QStringLiteral("Format:"), m_formats);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_flipVertical);
    checks->addWidget(m_flipHorizontal);
    checks->addWidget(m_deInterlace);
    checks->addStretch();
    checks->addWidget(properties);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(checks);
    layout->addWidget(m_notice);
    layout->addWidget(buttons);
    setMinimumWidth(520);

    connect(m_flipVertical, &QCheckBox::toggled, this, [this](bool on) { m_stream->SetVFlip(on); });
    connect(m_flipHorizontal, &QCheckBox::toggled, this, [this](bool on) { m_stream->SetHFlip(on); });
    connect(m_deInterlace, &QCheckBox::toggled, this, [this](bool on) { m_stream->SetDeInterlace(on); });
    connect(properties, &QPushButton::clicked, this, [this]() { OnProperties(); });
    buttons->button(QDialogButtonBox::Apply)->setText(QStringLiteral("&Apply"));
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this]() { OnApply(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CVideoSettingsDialog::Fill()
{
    m_stream->CreateDeviceFormatList();
    m_formatName = m_stream->GetCurrentFormat();
    m_deviceName = m_stream->GetCurrentDeviceName();
    m_deviceLabel->setText(DeviceEntry(m_deviceName, m_stream->GetCurrentDeviceId()));
    m_formatLabel->setText(QString::fromStdString(m_formatName));
    m_vFlipAtOpen = m_stream->GetVFlip();
    m_hFlipAtOpen = m_stream->GetHFlip();
    m_deInterlaceAtOpen = m_stream->GetDeInterlace();
    // Filling the boxes is no change by the user: nothing is applied.
    for (QCheckBox* box : {m_flipVertical, m_flipHorizontal, m_deInterlace}) box->blockSignals(true);
    m_flipVertical->setChecked(m_vFlipAtOpen);
    m_flipHorizontal->setChecked(m_hFlipAtOpen);
    m_deInterlace->setChecked(m_deInterlaceAtOpen);
    for (QCheckBox* box : {m_flipVertical, m_flipHorizontal, m_deInterlace}) box->blockSignals(false);
    FillFormats();
    FillDevices();
}

void CVideoSettingsDialog::FillFormats()
{
    const std::vector<std::string>& formats = m_stream->GetDeviceFormatList();
    for (const std::string& format : formats) m_formats->addItem(QString::fromStdString(format));
    m_formats->setCurrentIndex(m_formats->findText(QString::fromStdString(m_formatName), Qt::MatchExactly));
}

void CVideoSettingsDialog::FillDevices()
{
    const std::vector<std::string>& names = m_stream->GetConnectedDeviceList();
    const std::vector<CDSUtils::Device>& devices = m_stream->GetConnectedDevices();
    int selected = -1;
    for (size_t i = 0; i < names.size(); ++i)
    {
        const std::string stable = i < devices.size() ? devices[i].stablePath : std::string();
        m_devices->addItem(DeviceEntry(names[i], stable), QString::fromStdString(names[i]));
        if (names[i] == m_deviceName) selected = static_cast<int>(i);
    }
    m_devices->setCurrentIndex(selected);
}

std::string CVideoSettingsDialog::SelectedDevice() const
{
    if (m_devices->currentIndex() < 0) return "NONE";
    return m_devices->currentData().toString().toStdString();
}

void CVideoSettingsDialog::OnApply()
{
    const std::string device = SelectedDevice();
    const std::string format = m_formats->currentIndex() < 0 ? "NONE" : m_formats->currentText().toStdString();
    const bool deviceChanged = device != m_deviceName;
    const bool formatChanged = format != m_formatName;
    if (deviceChanged) m_stream->SetCurrentDeviceName(device);
    if (formatChanged) m_stream->SetCurrentFormat(m_formats->currentIndex());
    if (deviceChanged || formatChanged || m_deInterlace->isChecked() != m_deInterlaceAtOpen)
    {
        m_restartNotice = true;
        m_notice->setText(RestartText());
    }
    if (!m_stream->SaveSettings())
        CDesktopMessages::Show(this, QString::fromStdString("Your settings could not be saved: " +
                                                            m_stream->GetSettingsFile() + " cannot be written"),
                               QStringLiteral("Video Settings"));
}

void CVideoSettingsDialog::OnProperties()
{
    // The controls also go to the log, as the device's property list.
    m_stream->DisplayProperties();
    auto* dialog = new CCameraPropertiesDialog(m_stream.get(), this);
    dialog->show();
}
