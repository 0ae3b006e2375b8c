// File names written on other systems: backslashes and letter case.
#include "CPathResolver.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

namespace
{
TEST(PathResolver, BackslashesBecomeSlashes)
{
    EXPECT_EQ(CPathResolver::Normalise("models\\lightRig.lit"), "models/lightRig.lit");
    EXPECT_EQ(CPathResolver::Normalise("Data/camera_para.dat"), "Data/camera_para.dat");
    EXPECT_EQ(CPathResolver::Normalise(""), "");
}

TEST(PathResolver, FindsFilesWhateverTheLetterCase)
{
    TestFolder folder;
    TestFolder::WriteFile(folder / "Models/splash/logo2.ive", "x");
    TestFolder::WriteFile(folder / "models/hud/Icon.png", "x");
    ScopedCurrentFolder inFolder(folder.Path());
    struct Case
    {
        const char* asked;
        const char* found;
    };
    const Case cases[] = {
        {"Models/splash/logo2.ive", "Models/splash/logo2.ive"},
        {"models\\SPLASH\\Logo2.IVE", "Models/splash/logo2.ive"},
        {"models/hud/icon.png", "models/hud/Icon.png"},
        {"./MODELS/HUD/icon.png", "./models/hud/Icon.png"},
        {"models/hud/missing.png", "models/hud/missing.png"},
        {"nowhere\\at\\all.txt", "nowhere/at/all.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(CPathResolver::Resolve(c.asked), c.found) << c.asked;
    EXPECT_EQ(CPathResolver::Resolve(folder / "MODELS/Splash"), folder / "Models/splash");
    EXPECT_TRUE(CPathResolver::Exists("MODELS/HUD/ICON.PNG"));
    EXPECT_FALSE(CPathResolver::Exists("models/hud/other.png"));
}
}
