#include "ContentPath.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {
namespace media {
namespace {

TEST(ContentPath, BackslashesBecomeSlashes) {
    EXPECT_EQ("Videos/demo.mp4", normalizeSeparators("Videos\\demo.mp4"));
    EXPECT_EQ("a/b/c", normalizeSeparators("a\\b/c"));
    EXPECT_EQ("", normalizeSeparators(""));
}

TEST(ContentPath, FindsFilesWhoseCaseDiffersComponentByComponent) {
    const std::string dir = testing::makeTempDir("path");
    ASSERT_EQ(0, mkdir((dir + "/Videos").c_str(), 0755));
    ASSERT_EQ(0, mkdir((dir + "/Videos/Intro").c_str(), 0755));
    std::ofstream(dir + "/Videos/Intro/Demo.MP4") << "x";
    std::ofstream(dir + "/Videos/exact.mp4") << "x";
    struct Case { std::string asked; std::string found; };
    const Case cases[] = {
        {dir + "/Videos/Intro/Demo.MP4", dir + "/Videos/Intro/Demo.MP4"},
        {dir + "/videos/intro/demo.mp4", dir + "/Videos/Intro/Demo.MP4"},
        {dir + "/VIDEOS/INTRO/DEMO.mp4", dir + "/Videos/Intro/Demo.MP4"},
        {dir + "/videos/exact.mp4", dir + "/Videos/exact.mp4"},
        {dir + "/videos/missing.mp4", ""},
        {dir + "/nothere/demo.mp4", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.found, findPathIgnoringCase(c.asked)) << c.asked;
    EXPECT_EQ(dir + "/Videos/Intro/Demo.MP4", resolveContentPath(dir + "\\videos\\INTRO\\demo.mp4"));
    EXPECT_EQ(dir + "/videos/none.mp4", resolveContentPath(dir + "\\videos\\none.mp4"));
    // Relative paths are looked up from the current folder.
    char cwd[4096];
    ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
    ASSERT_EQ(0, chdir(dir.c_str()));
    EXPECT_EQ("Videos/Intro/Demo.MP4", resolveContentPath("videos\\intro\\demo.mp4"));
    EXPECT_EQ("./Videos/exact.mp4", resolveContentPath("./VIDEOS/Exact.mp4"));
    ASSERT_EQ(0, chdir(cwd));
}

}  // namespace
}  // namespace media
}  // namespace vexa
