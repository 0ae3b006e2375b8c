#pragma once
// "Video Settings": the camera and its capture format, the picture's flips
// and de-interlacing, and the camera's controls (Properties). The flips apply
// at once; Apply saves the camera settings file and says when a choice
// (camera, format, de-interlacing) takes effect only at the next start.
// Cameras are listed by name with their stable device link where they have
// one, and chosen by it, so the saved choice finds the same camera again.
//
// Modeless; deleted when closed. The stream is the engine's, held by a
// reference for the dialog's life.

#include <QDialog>

#include <osg/ref_ptr>

#include <string>

class DSCaptureStream;
class QCheckBox;
class QComboBox;
class QLabel;

class CVideoSettingsDialog : public QDialog
{
public:
    CVideoSettingsDialog(DSCaptureStream* stream, QWidget* parent = nullptr);
    ~CVideoSettingsDialog() override;

    static QString RestartText();
    /// The rows a drop-down list shows at once.
    static const int kDropDownRows = 4;
    /// A device list entry: the name, and the stable link in brackets.
    static QString DeviceEntry(const std::string& name, const std::string& stablePath);

    void OnApply();
    void OnProperties();

    QComboBox* DeviceList() const { return m_devices; }
    QComboBox* FormatList() const { return m_formats; }
    QLabel* DeviceLabel() const { return m_deviceLabel; }
    QLabel* FormatLabel() const { return m_formatLabel; }
    QLabel* NoticeLabel() const { return m_notice; }
    QCheckBox* FlipVertical() const { return m_flipVertical; }
    QCheckBox* FlipHorizontal() const { return m_flipHorizontal; }
    QCheckBox* DeInterlace() const { return m_deInterlace; }
    bool RestartNotice() const { return m_restartNotice; }

private:
    void BuildControls();
    void Fill();
    void FillDevices();
    void FillFormats();
    std::string SelectedDevice() const;

    osg::ref_ptr<DSCaptureStream> m_stream;
    std::string m_deviceName, m_formatName;  // at opening
    bool m_vFlipAtOpen = false, m_hFlipAtOpen = false, m_deInterlaceAtOpen = false;
    bool m_restartNotice = false;
    QComboBox* m_devices = nullptr;
    QComboBox* m_formats = nullptr;
    QLabel* m_deviceLabel = nullptr;
    QLabel* m_formatLabel = nullptr;
    QLabel* m_notice = nullptr;
    QCheckBox* m_flipVertical = nullptr;
    QCheckBox* m_flipHorizontal = nullptr;
    QCheckBox* m_deInterlace = nullptr;
};
