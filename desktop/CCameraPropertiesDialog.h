#pragma once
// "Camera Properties": the camera's own controls (brightness, contrast,
// exposure, focus, white balance, ...) as the device reports them: a slider
// for a number, a check box for a switch, a list for a menu. Every change is
// sent to the camera at once and the control then shows what the camera
// took (a refused or clamped value is shown as it is). "Defaults" sets every
// control to the camera's default.
//
// Modeless; deleted when closed. The stream is the engine's, held by a
// reference for the dialog's life.

#include "CDSUtils.h"

#include <QDialog>

#include <osg/ref_ptr>

#include <functional>
#include <vector>

class CCaptureStreamBase;
class QFormLayout;

class CCameraPropertiesDialog : public QDialog
{
public:
    CCameraPropertiesDialog(CCaptureStreamBase* stream, QWidget* parent = nullptr);
    ~CCameraPropertiesDialog() override;

    static QString NoControlsText();

    /// Sets every control to its default value.
    void RestoreDefaults();
    /// The controls shown, in the camera's order.
    const std::vector<CDSUtils::Property>& Controls() const { return m_controls; }

private:
    QWidget* MakeSlider(const CDSUtils::Property& control);
    QWidget* MakeCheckBox(const CDSUtils::Property& control);
    QWidget* MakeMenu(const CDSUtils::Property& control);
    /// Sends a value; returns what the camera holds afterwards.
    int32_t Send(uint32_t id, int32_t value);

    osg::ref_ptr<CCaptureStreamBase> m_stream;
    std::vector<CDSUtils::Property> m_controls;
    // Each control's way of showing a value without sending it again.
    std::vector<std::function<void(int32_t)>> m_show;
};
