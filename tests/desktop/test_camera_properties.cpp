// The camera properties dialog against the test camera's controls: one
// editor per control of the right kind, changes sent to the camera at once
// and shown as the camera took them, and "Defaults".
#include "CCameraPropertiesDialog.h"

#include "DSCaptureStream.h"
#include "TestCamera.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

#include <gtest/gtest.h>

#include <linux/videodev2.h>


using namespace vexa::media;
using namespace vexa::media::testing;

namespace
{
class CameraProperties : public CameraFolderTest
{
protected:
    void SetUp() override
    {
        CameraFolderTest::SetUp();
        camera = system->addTypicalCamera("/dev/video0", "Cam A");
    }
    void TearDown() override
    {
        stream = nullptr;
        CameraFolderTest::TearDown();
    }
    void Connect()
    {
        stream = new DSCaptureStream(false, false);
        ASSERT_TRUE(stream->isValid());
    }
    int32_t CameraValue(uint32_t id)
    {
        std::lock_guard<std::mutex> lock(camera->mutex);
        for (const VideoControl& c : camera->controls)
            if (c.id == id) return c.value;
        return -999;
    }

    std::shared_ptr<FakeCamera> camera;
    osg::ref_ptr<DSCaptureStream> stream;
};
}

TEST_F(CameraProperties, EachControlGetsItsEditorAndChangesReachTheCamera)
{
    camera->controls = TestCameraControls();
    Connect();
    CCameraPropertiesDialog dialog(stream.get());
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Camera Properties");
    ASSERT_EQ(dialog.Controls().size(), 3u);

    auto* brightness = dialog.findChild<QWidget*>(QStringLiteral("Brightness"));
    ASSERT_NE(brightness, nullptr);
    auto* slider = brightness->findChild<QSlider*>();
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minimum(), -64);
    EXPECT_EQ(slider->maximum(), 64);
    EXPECT_EQ(slider->value(), 10);
    slider->setValue(-20);
    EXPECT_EQ(CameraValue(V4L2_CID_BRIGHTNESS), -20);
    EXPECT_EQ(brightness->findChild<QLabel*>()->text().toStdString(), "-20");

    auto* whiteBalance = dialog.findChild<QCheckBox*>(QStringLiteral("White Balance, Automatic"));
    ASSERT_NE(whiteBalance, nullptr);
    EXPECT_TRUE(whiteBalance->isChecked());
    whiteBalance->setChecked(false);
    EXPECT_EQ(CameraValue(V4L2_CID_AUTO_WHITE_BALANCE), 0);

    auto* menu = dialog.findChild<QComboBox*>(QStringLiteral("Power Line Frequency"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->count(), 3);
    EXPECT_EQ(menu->currentText().toStdString(), "50 Hz");
    menu->setCurrentIndex(2);
    EXPECT_EQ(CameraValue(V4L2_CID_POWER_LINE_FREQUENCY), 2);

    // Defaults: every control back to the camera's default, and shown so.
    dialog.RestoreDefaults();
    EXPECT_EQ(CameraValue(V4L2_CID_BRIGHTNESS), 0);
    EXPECT_EQ(CameraValue(V4L2_CID_AUTO_WHITE_BALANCE), 1);
    EXPECT_EQ(CameraValue(V4L2_CID_POWER_LINE_FREQUENCY), 1);
    EXPECT_EQ(slider->value(), 0);
    EXPECT_TRUE(whiteBalance->isChecked());
    EXPECT_EQ(menu->currentText().toStdString(), "50 Hz");
}

TEST_F(CameraProperties, AValueTheCameraRefusesShowsWhatTheCameraHolds)
{
    camera->controls = {TestCameraControls()[0]};
    Connect();
    CCameraPropertiesDialog dialog(stream.get());
    auto* slider = dialog.findChild<QSlider*>();
    ASSERT_NE(slider, nullptr);
    // The camera narrows its range after the dialog read it.
    {
        std::lock_guard<std::mutex> lock(camera->mutex);
        camera->controls[0].maximum = 30;
    }
    slider->setValue(50);
    EXPECT_EQ(CameraValue(V4L2_CID_BRIGHTNESS), 10);
    EXPECT_EQ(slider->value(), 10);
}

TEST_F(CameraProperties, ACameraWithoutControlsSaysSo)
{
    Connect();
    CCameraPropertiesDialog dialog(stream.get());
    EXPECT_TRUE(dialog.Controls().empty());
    bool said = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        said = said || label->text() == QStringLiteral("This camera has no controls to adjust");
    EXPECT_TRUE(said);
}
