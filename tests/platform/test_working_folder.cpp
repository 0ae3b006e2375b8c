// Which working folder a host uses, and the user's copy of the installed
// content set: new files copied, files the user left alone updated, files
// the user changed kept.
#include "CContentSetCopy.h"
#include "CWorkingFolder.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) m_old = old, m_had = true;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (m_had)
            ::setenv(m_name, m_old.c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

void makeContentSet(const std::string& folder, const std::string& version)
{
    TestFolder::WriteFile(folder + "/Data/dataList.dat", "<DAT>\n</DAT>\n");
    TestFolder::WriteFile(folder + "/models/demo.dat", "demo " + version + "\n");
    TestFolder::WriteFile(folder + "/Data/VexaSettings.tsf", "settings " + version + "\n");
}

TEST(ContentSetCopy, AFirstRefreshCopiesEverything)
{
    TestFolder installed, home;
    makeContentSet(installed.Path(), "1");
    const std::string copy = home / "vexamark";
    const CContentSetCopy::Result r = CContentSetCopy::Refresh(installed.Path(), copy);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.copied, 3);
    EXPECT_EQ(TestFolder::ReadFile(copy + "/models/demo.dat"), "demo 1\n");
    EXPECT_TRUE(TestFolder::Exists(copy + "/" + CContentSetCopy::ManifestName()));
}

TEST(ContentSetCopy, ANewerInstallationUpdatesWhatTheUserLeftAloneAndKeepsWhatTheyChanged)
{
    TestFolder installed, home;
    const std::string copy = home / "vexamark";
    makeContentSet(installed.Path(), "1");
    CContentSetCopy::Refresh(installed.Path(), copy);
    // The user (or the engine, at shut-down) rewrites the settings; a newer
    // installation changes both files and adds one.
    TestFolder::WriteFile(copy + "/Data/VexaSettings.tsf", "the user's settings\n");
    makeContentSet(installed.Path(), "2");
    TestFolder::WriteFile(installed / "models/new.dat", "new\n");
    const CContentSetCopy::Result r = CContentSetCopy::Refresh(installed.Path(), copy);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.copied, 1);
    EXPECT_EQ(r.updated, 1);
    EXPECT_EQ(r.kept, 1);
    EXPECT_EQ(TestFolder::ReadFile(copy + "/models/demo.dat"), "demo 2\n");
    EXPECT_EQ(TestFolder::ReadFile(copy + "/Data/VexaSettings.tsf"), "the user's settings\n");
    EXPECT_EQ(TestFolder::ReadFile(copy + "/models/new.dat"), "new\n");
    // Refreshing again changes nothing.
    const CContentSetCopy::Result again = CContentSetCopy::Refresh(installed.Path(), copy);
    EXPECT_EQ(again.copied + again.updated, 0);
    EXPECT_EQ(TestFolder::ReadFile(copy + "/Data/VexaSettings.tsf"), "the user's settings\n");
}

TEST(ContentSetCopy, AFileTheUserMadeBeforeTheFirstCopyIsTheirs)
{
    TestFolder installed, home;
    const std::string copy = home / "vexamark";
    makeContentSet(installed.Path(), "1");
    TestFolder::WriteFile(copy + "/models/demo.dat", "mine\n");
    const CContentSetCopy::Result r = CContentSetCopy::Refresh(installed.Path(), copy);
    EXPECT_EQ(r.kept, 1);
    EXPECT_EQ(TestFolder::ReadFile(copy + "/models/demo.dat"), "mine\n");
}

TEST(ContentSetCopy, ACorruptManifestOnlyMakesTheCopyCautious)
{
    TestFolder installed, home;
    const std::string copy = home / "vexamark";
    makeContentSet(installed.Path(), "1");
    CContentSetCopy::Refresh(installed.Path(), copy);
    TestFolder::WriteFile(copy + "/" + CContentSetCopy::ManifestName(), "zz\nnot a line\n\xff\xfe garbage\n");
    makeContentSet(installed.Path(), "2");
    const CContentSetCopy::Result r = CContentSetCopy::Refresh(installed.Path(), copy);
    EXPECT_TRUE(r.ok);
    // Without a record of what was copied, nothing is overwritten.
    EXPECT_EQ(r.updated, 0);
    EXPECT_EQ(TestFolder::ReadFile(copy + "/models/demo.dat"), "demo 1\n");
}

TEST(ContentSetCopy, ACopyThatCannotBeMadeSaysSo)
{
    TestFolder installed, home;
    makeContentSet(installed.Path(), "1");
    TestFolder::WriteFile(home / "plain", "a file\n");
    const CContentSetCopy::Result r = CContentSetCopy::Refresh(installed.Path(), home / "plain/vexamark");
    EXPECT_FALSE(r.ok);
    ASSERT_FALSE(r.problems.empty());
    EXPECT_EQ(r.problems[0], "cannot make the folder " + (home / "plain/vexamark"));
}

class WorkingFolderChoice : public ::testing::Test
{
protected:
    CWorkingFolder::Choice Choose(std::vector<std::string> args, const std::string& installed)
    {
        args.insert(args.begin(), "Vexamark_basic");
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        return CWorkingFolder::Choose(static_cast<int>(argv.size()), argv.data(), installed);
    }

    TestFolder home, installed, elsewhere;
    ScopedEnvironment homeVariable{"HOME", home.Path()};
    ScopedEnvironment dataVariable{"XDG_DATA_HOME", home / ".local/share"};
    ScopedEnvironment picturesVariable{"XDG_PICTURES_DIR", home / "Pictures"};
    ScopedCurrentFolder inElsewhere{elsewhere.Path()};
};

TEST_F(WorkingFolderChoice, AFolderThatIsNoWorkingFolderLeadsToTheUsersOwnMadeFromTheInstallation)
{
    makeContentSet(installed.Path(), "1");
    const CWorkingFolder::Choice choice = Choose({}, installed.Path());
    EXPECT_EQ(choice.folder, home / ".local/share/vexamark");
    EXPECT_EQ(choice.reason, "the user's working folder");
    EXPECT_EQ(TestFolder::ReadFile(choice.folder + "/models/demo.dat"), "demo 1\n");
    ASSERT_FALSE(choice.notes.empty());
    EXPECT_EQ(choice.notes[0], "From the installed content set " + installed.Path() +
                                   ": 3 files copied, 0 updated, 0 of yours kept");
    // No pictures folder: captures stay in the working folder.
    EXPECT_FALSE(fs::is_symlink(choice.folder + "/captures"));
}

TEST_F(WorkingFolderChoice, CapturesOfTheUsersFolderGoToTheirPicturesFolder)
{
    makeContentSet(installed.Path(), "1");
    fs::create_directories(home / "Pictures");
    const CWorkingFolder::Choice choice = Choose({}, installed.Path());
    EXPECT_TRUE(fs::is_symlink(choice.folder + "/captures"));
    EXPECT_EQ(fs::read_symlink(choice.folder + "/captures").string(), home / "Pictures/Vexamark");
    EXPECT_TRUE(fs::is_directory(home / "Pictures/Vexamark"));
    EXPECT_EQ(choice.notes.back(), "Captures go to " + (home / "Pictures/Vexamark"));
}

TEST_F(WorkingFolderChoice, ThePicturesFolderNamedInUserDirsCounts)
{
    ScopedEnvironment noPictures("XDG_PICTURES_DIR", "");
    ScopedEnvironment config("XDG_CONFIG_HOME", home / "config");
    TestFolder::WriteFile(home / "config/user-dirs.dirs",
                          "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                          "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(CWorkingFolder::PicturesFolder(), "");  // not there yet
    fs::create_directories(home / "Bilder");
    EXPECT_EQ(CWorkingFolder::PicturesFolder(), home / "Bilder");
}

TEST_F(WorkingFolderChoice, TheCurrentFolderWinsWhenItIsAWorkingFolder)
{
    makeContentSet(installed.Path(), "1");
    makeContentSet(elsewhere.Path(), "mine");
    const CWorkingFolder::Choice choice = Choose({}, installed.Path());
    EXPECT_EQ(choice.folder, elsewhere.Path());
    EXPECT_EQ(choice.reason, "the current folder");
    EXPECT_FALSE(TestFolder::Exists(home / ".local/share/vexamark"));
}

TEST_F(WorkingFolderChoice, AGivenFolderWinsOverEverything)
{
    makeContentSet(installed.Path(), "1");
    makeContentSet(elsewhere.Path(), "mine");
    TestFolder given;
    const CWorkingFolder::Choice choice = Choose({"-workdir:", given.Path()}, installed.Path());
    EXPECT_EQ(choice.folder, given.Path());
    EXPECT_EQ(choice.reason, "given with -workdir:");
}

TEST_F(WorkingFolderChoice, AGivenFolderThatDoesNotExistIsIgnoredWithANote)
{
    const CWorkingFolder::Choice choice = Choose({"-workdir:", "/no/such/folder"}, "");
    EXPECT_EQ(choice.folder, elsewhere.Path());
    EXPECT_EQ(choice.reason, "the current folder; no installed content set next to the program");
    ASSERT_EQ(choice.notes.size(), 1u);
    EXPECT_EQ(choice.notes[0], "Ignoring -workdir: /no/such/folder is not a folder");
}

TEST_F(WorkingFolderChoice, EnteringWritesTheChoiceAsTheLogsFirstLines)
{
    makeContentSet(installed.Path(), "1");
    const CWorkingFolder::Choice choice = Choose({}, installed.Path());
    ASSERT_TRUE(CWorkingFolder::Enter(choice));
    EXPECT_EQ(fs::current_path().string(), choice.folder);
    // The log is made in the folder entered (CTest runs each test in a process of its own).
    const std::string log = TestFolder::ReadFile(choice.folder + "/Data/messageLog.txt");
    EXPECT_NE(log.find("MSG    0 Working folder: " + choice.folder + " (the user's working folder) \n"
                       "MSG    1 From the installed content set "),
              std::string::npos)
        << log;
}
}
