// The camera chosen in the video settings is found again by its stable
// device link after a replug, when its node and its place in the list (and
// so its numbered name) have changed; cameras without a link go by name.
#include "CDSUtils.h"
#include "DSCaptureStream.h"
#include "TestCamera.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vexa::media::testing;

namespace
{
const char* const kSettings = "Data/DSVideoSetings.dat";

class StableCameraNames : public CameraFolderTest
{
protected:
    // Two cameras of the same model; `serial` names each one's link.
    void Plug(const std::vector<std::pair<std::string, std::string>>& nodeAndSerial)
    {
        for (const auto& [node, serial] : nodeAndSerial) system->remove(node);
        std::filesystem::remove_all(folder / "by-id");
        std::filesystem::create_directories(folder / "by-id");
        for (const auto& [node, serial] : nodeAndSerial)
        {
            system->addTypicalCamera(node, "USB Camera");
            if (!serial.empty()) std::filesystem::create_symlink(node, Link(serial));
        }
    }
    std::string Link(const std::string& serial) const { return folder / ("by-id/usb-Maker_USB_Camera_" + serial + "-video-index0"); }
    std::string Settings() const { return TestFolder::ReadFile(folder / kSettings); }
};
}

TEST_F(StableCameraNames, TheChosenCameraIsFoundAgainAfterAReplug)
{
    Plug({{"/dev/video0", "AAA"}, {"/dev/video2", "BBB"}});
    {
        osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
        ASSERT_EQ(stream->GetConnectedDevices().size(), 2u);
        EXPECT_EQ(stream->GetConnectedDevices()[1].friendlyName, "USB Camera #2");
        EXPECT_EQ(stream->GetConnectedDevices()[1].stablePath, Link("BBB"));
        stream->SetCurrentDeviceName("USB Camera #2");
        EXPECT_EQ(stream->GetCurrentDeviceId(), Link("BBB"));
        ASSERT_TRUE(stream->SaveSettings());
    }
    EXPECT_NE(Settings().find("<DEVICE_ID> " + Link("BBB") + " \n"), std::string::npos) << Settings();

    // Replugged the other way round: camera BBB is now the first, "USB Camera".
    system->remove("/dev/video0");
    system->remove("/dev/video2");
    Plug({{"/dev/video0", "BBB"}, {"/dev/video2", "AAA"}});
    osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
    ASSERT_TRUE(stream->isValid());
    EXPECT_EQ(stream->GetCurrentDeviceName(), "USB Camera");
    EXPECT_EQ(stream->GetCurrentDeviceId(), Link("BBB"));
}

TEST_F(StableCameraNames, WithoutALinkOrWithALinkGoneTheNameDecides)
{
    struct Case
    {
        const char* what;
        std::string settings;
        const char* chosen;
    };
    const std::string head = "<VEXA_DSHOWVIDEO_SETTINGS>\n<DEVICE_NAME> USB Camera #2\n";
    const Case cases[] = {
        {"a file from before links were saved", head + "</VEXA_DSHOWVIDEO_SETTINGS>\n", "USB Camera #2"},
        {"a link no camera has now", head + "<DEVICE_ID> /dev/v4l/by-id/usb-gone-video-index0\n</VEXA_DSHOWVIDEO_SETTINGS>\n",
         "USB Camera #2"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Plug({{"/dev/video0", ""}, {"/dev/video2", ""}});
        TestFolder::WriteFile(folder / kSettings, c.settings);
        osg::ref_ptr<DSCaptureStream> stream = new DSCaptureStream(false, false);
        ASSERT_TRUE(stream->isValid());
        EXPECT_EQ(stream->GetCurrentDeviceName(), c.chosen);
        EXPECT_EQ(stream->GetCurrentDeviceId(), "");
        // A camera without a link is saved by name alone.
        EXPECT_EQ(Settings().find("<DEVICE_ID>"), std::string::npos) << Settings();
    }
}
