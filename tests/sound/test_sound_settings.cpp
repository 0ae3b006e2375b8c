// The sound settings file "Data/soundSettings.dat": which device a start asks
// for, what the file holds afterwards, and what the log says.
#include "SoundFolder.h"

#include <filesystem>

namespace
{
const char* const kSettings = "Data/soundSettings.dat";

std::string settingsFor(const std::string& device)
{
    return "<VEXA_AUDIO_SETTINGS> \n    <AUDI_DEVICE_NAME> " + device + " \n</VEXA_AUDIO_SETTINGS> \n";
}

const std::string kLongName = "Very Long USB Audio Interface With Many Words In Its Name, Analog Stereo Output "
                              "(CARD=Interface,DEV=0) Channel Pair One And Two Of Eight";
const std::string kDefault = "<the default device>";  // stands for GetDefaultDevice() in the table
const std::string kMissing = "<no file>";

struct SettingsCase
{
    const char* name;
    std::string file;       // the file before the start, or kMissing
    std::string requested;  // the device the start asks for
    std::string log;        // the sound manager's log line about the file, if any
};

class SoundSettings : public SoundFolder
{
};

TEST_F(SoundSettings, TheFileChoosesTheDeviceAndIsWrittenWhenIncomplete)
{
    const SettingsCase cases[] = {
        {"no file", kMissing, kDefault, ""},
        {"no device line", "<VEXA_AUDIO_SETTINGS>\n</VEXA_AUDIO_SETTINGS>\n", kDefault, ""},
        {"device line outside the root", "<AUDI_DEVICE_NAME> Elsewhere\n<VEXA_AUDIO_SETTINGS>\n</VEXA_AUDIO_SETTINGS>\n",
         kDefault, ""},
        {"device line after the closing tag",
         "<VEXA_AUDIO_SETTINGS>\n</VEXA_AUDIO_SETTINGS>\n<AUDI_DEVICE_NAME> Elsewhere\n", kDefault, ""},
        {"empty device line", "<VEXA_AUDIO_SETTINGS>\n<AUDI_DEVICE_NAME>\n</VEXA_AUDIO_SETTINGS>\n", kDefault,
         "CSoundManager: LoadSoundSettings: Data/soundSettings.dat: expected a device name after <AUDI_DEVICE_NAME>, "
         "found nothing"},
        {"several words", "<VEXA_AUDIO_SETTINGS>\n  <AUDI_DEVICE_NAME>   My   USB\tHeadset  \n</VEXA_AUDIO_SETTINGS>\n",
         "My USB Headset", ""},
        {"commas and a hash", settingsFor("HDA Intel PCH, ALC3246 Analog (CARD=PCH,DEV=0) # 2"),
         "HDA Intel PCH, ALC3246 Analog (CARD=PCH,DEV=0) # 2", ""},
        {"longer than 127 characters", settingsFor(kLongName), kLongName, ""},
        {"comment lines", "# chosen in the dialog\n<VEXA_AUDIO_SETTINGS>\n# here\n<AUDI_DEVICE_NAME> Desk\n"
                          "</VEXA_AUDIO_SETTINGS>\n",
         "Desk", ""},
    };
    ASSERT_GT(kLongName.size(), 127u);
    for (const SettingsCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path(kSettings));
        if (c.file != kMissing) TestFolder::WriteFile(Path(kSettings), c.file);
        CSoundManager sound;
        sound.LoadSoundSettings();
        const std::string requested = c.requested == kDefault ? sound.GetDefaultDevice() : c.requested;
        EXPECT_FALSE(requested.empty());
        EXPECT_EQ(sound.GetDeviceNameAsString(), requested);
        // A file that named a device is left as it was; any other is written with the default.
        EXPECT_EQ(TestFolder::ReadFile(Path(kSettings)), c.requested == kDefault ? settingsFor(requested) : c.file);
        // Writing and reading again keeps the whole name.
        ASSERT_TRUE(sound.SaveSoundSettings());
        EXPECT_EQ(TestFolder::ReadFile(Path(kSettings)), settingsFor(requested));
        CSoundManager again;
        again.LoadSoundSettings();
        EXPECT_EQ(again.GetDeviceNameAsString(), requested);
    }
    std::vector<std::string> expected;
    for (const SettingsCase& c : cases)
        if (!c.log.empty()) expected.push_back(c.log);
    EXPECT_EQ(LogLines("CSoundManager:"), expected);
}

TEST_F(SoundSettings, ANameThatCannotBeOpenedFallsBackToTheDefaultAndIsKept)
{
    TestFolder::WriteFile(Path(kSettings), settingsFor("Headset That Was Unplugged"));
    manager.Init(0, nullptr);
    EXPECT_TRUE(manager.HasDevice());
    EXPECT_EQ(manager.GetDeviceNameAsString(), "Headset That Was Unplugged");
    EXPECT_EQ(manager.GetActiveDevice(), manager.GetDefaultDevice());
    EXPECT_EQ(LogLines("CSoundManager:"),
              std::vector<std::string>{"CSoundManager: InitOpenAL: the sound device \"Headset That Was Unplugged\" "
                                       "could not be opened; using the default device \"" +
                                       manager.GetDefaultDevice() + "\""});
    manager.CleanUp();
    EXPECT_EQ(TestFolder::ReadFile(Path(kSettings)), settingsFor("Headset That Was Unplugged"))
        << "the choice stays for when the device is back";
}

TEST_F(SoundSettings, ADeviceChosenNowIsWrittenAtCleanUpAndAskedForAtTheNextStart)
{
    manager.Init(0, nullptr);
    const std::string opened = manager.GetActiveDevice();
    EXPECT_EQ(opened, manager.GetDefaultDevice());
    manager.SetDeviceName("Next Time Device");
    EXPECT_EQ(manager.GetActiveDevice(), opened) << "the open device does not change";
    manager.CleanUp();
    EXPECT_EQ(TestFolder::ReadFile(Path(kSettings)), settingsFor("Next Time Device"));
    CSoundManager next;
    next.LoadSoundSettings();
    EXPECT_EQ(next.GetDeviceNameAsString(), "Next Time Device");
}

TEST_F(SoundSettings, AFailedWriteKeepsTheOldFileAndSaysSo)
{
    TestFolder::WriteFile(Path(kSettings), settingsFor("Old Device"));
    TestFolder::MakeDiskFullFor(Path(kSettings));
    CSoundManager sound;
    sound.SetDeviceName("New Device");
    EXPECT_FALSE(sound.SaveSoundSettings());
    EXPECT_EQ(TestFolder::ReadFile(Path(kSettings)), settingsFor("Old Device"));
    const std::vector<std::string> lines = LogLines("CSoundManager:");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("CSoundManager: SaveSoundSettings: could not write Data/soundSettings.dat (", 0), 0u)
        << lines[0];
}
}
