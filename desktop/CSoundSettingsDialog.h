#pragma once
// "Sound Settings": the sound output devices with the one requested in the
// sound settings selected, the requested and the active device, and Apply,
// which saves another choice for the next start. Modal.
//
// The sound manager is the engine's and outlives the dialog.

#include <QDialog>

#include <string>

class CSoundManager;
class QLabel;
class QListWidget;

class CSoundSettingsDialog : public QDialog
{
public:
    CSoundSettingsDialog(CSoundManager* sound, QWidget* parent = nullptr);

    /// The list's extra entries after the devices.
    static const char* const kExtraDevices[2];
    static QString NotInListText(const std::string& name);
    static QString RestartText();
    /// Shown instead when the settings file cannot be written.
    static QString NotSavedText();

    void OnApply();

    QListWidget* DeviceList() const { return m_devices; }
    QLabel* RequestedLabel() const { return m_requestedLabel; }
    QLabel* ActiveLabel() const { return m_activeLabel; }
    const std::string& RequestedDevice() const { return m_requested; }

private:
    void Fill();

    CSoundManager* m_sound;
    std::string m_requested;
    QListWidget* m_devices = nullptr;
    QLabel* m_requestedLabel = nullptr;
    QLabel* m_activeLabel = nullptr;
};
