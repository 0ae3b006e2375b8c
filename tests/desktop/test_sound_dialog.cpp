// The sound settings dialog against the engine's sound manager on OpenAL's
// null device: the list with its two extra entries, the requested and active
// device, the missing-device notice, and Apply's rules.
#include "CSoundSettingsDialog.h"

#include "CSoundManager.h"
#include "TestFolder.h"

#include <QLabel>
#include <QListWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace
{
const char* const kSettings = "Data/soundSettings.dat";

class SoundDialog : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(folder / "Data"); }
    void TearDown() override
    {
        if (sound) sound->CleanUp();
    }

    // Starts the sound manager with this device requested in the settings file.
    void StartWith(const std::string& requested)
    {
        CSoundManager writer;
        writer.SetDeviceName(requested);
        ASSERT_TRUE(writer.SaveSoundSettings());
        sound = std::make_unique<CSoundManager>();
        sound->Init(0, nullptr);
        ASSERT_FALSE(sound->GetActiveDevice().empty()) << "the null device did not open";
    }
    std::vector<std::string> Entries(const CSoundSettingsDialog& dialog) const
    {
        std::vector<std::string> entries;
        for (int i = 0; i < dialog.DeviceList()->count(); ++i)
            entries.push_back(dialog.DeviceList()->item(i)->text().toStdString());
        return entries;
    }
    // The device the settings file asks for.
    static std::string SavedDevice()
    {
        CSoundManager reader;
        reader.LoadSoundSettings();
        return reader.GetDeviceNameAsString();
    }

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    std::unique_ptr<CSoundManager> sound;
};
}

TEST_F(SoundDialog, OpensOnTheRequestedDeviceOrSaysItIsMissing)
{
    struct Case
    {
        const char* what;
        std::string requested;
        int selectedRow;                // -1: the row of the requested device
        std::string requestedLabel;     // "": the requested name itself
    };
    const std::string present = CSoundManager().GetDefaultDevice();
    const Case cases[] = {
        {"a listed device", present, -1, ""},
        {"an unplugged headset", "USB Headset", 0, "Device USB Headset not in device list"},
        {"an extra entry is no device", "DirectSound3D", 0, "Device DirectSound3D not in device list"},
    };
    for (const Case& c : cases)
    {
        StartWith(c.requested);
        CSoundSettingsDialog dialog(sound.get());
        const std::vector<std::string> devices = sound->GetDeviceList();
        std::vector<std::string> expected = devices;
        expected.push_back("DirectSound3D");
        expected.push_back("DirectSound");
        EXPECT_EQ(Entries(dialog), expected) << c.what;
        const int row = c.selectedRow >= 0
                            ? c.selectedRow
                            : static_cast<int>(std::find(devices.begin(), devices.end(), c.requested) - devices.begin());
        EXPECT_EQ(dialog.DeviceList()->currentRow(), row) << c.what;
        EXPECT_EQ(dialog.RequestedLabel()->text().toStdString(),
                  c.requestedLabel.empty() ? c.requested : c.requestedLabel)
            << c.what;
        EXPECT_EQ(dialog.ActiveLabel()->text().toStdString(), sound->GetActiveDevice()) << c.what;
        sound->CleanUp();
    }
}

TEST_F(SoundDialog, ApplySavesAnotherChoiceAndSaysWhenItTakesEffect)
{
    StartWith(CSoundManager().GetDefaultDevice());
    const std::string active = sound->GetActiveDevice();
    CSoundSettingsDialog dialog(sound.get());
    const std::string before = TestFolder::ReadFile(kSettings);

    // The requested device still selected: nothing changes, nothing is said.
    dialog.OnApply();
    EXPECT_EQ(TestFolder::ReadFile(kSettings), before);
    EXPECT_EQ(dialog.ActiveLabel()->text().toStdString(), active);

    // Another entry: saved for the next start, and said so.
    const int last = dialog.DeviceList()->count() - 1;
    dialog.DeviceList()->setCurrentRow(last);
    dialog.OnApply();
    EXPECT_EQ(SavedDevice(), "DirectSound");
    EXPECT_EQ(sound->GetDeviceNameAsString(), "DirectSound");
    EXPECT_EQ(dialog.RequestedLabel()->text().toStdString(), "DirectSound");
    EXPECT_EQ(dialog.ActiveLabel()->text().toStdString(),
              "Your changes will take place when you next reun the application");
    EXPECT_EQ(sound->GetActiveDevice(), active) << "the open device stays until the next start";

    // Nothing selected: Apply does nothing.
    dialog.DeviceList()->clearSelection();
    dialog.DeviceList()->setCurrentRow(-1);
    const std::string chosen = TestFolder::ReadFile(kSettings);
    dialog.OnApply();
    EXPECT_EQ(TestFolder::ReadFile(kSettings), chosen);
}

TEST_F(SoundDialog, ASettingsFileThatCannotBeWrittenIsReportedNotPromised)
{
    StartWith(CSoundManager().GetDefaultDevice());
    CSoundSettingsDialog dialog(sound.get());
    const std::string before = TestFolder::ReadFile(kSettings);
    TestFolder::MakeDiskFullFor(folder / kSettings);
    dialog.DeviceList()->setCurrentRow(dialog.DeviceList()->count() - 2);
    dialog.OnApply();
    EXPECT_EQ(dialog.ActiveLabel()->text().toStdString(),
              "Your changes could not be saved: Data/soundSettings.dat cannot be written");
    EXPECT_EQ(TestFolder::ReadFile(kSettings), before) << "the old file stays";
}
