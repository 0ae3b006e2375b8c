// Writing tag files: the exact text of written lines and the guarantee that a
// failed write never costs the old file.
#include "COsgSettings.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{
TEST(TagFileWriting, LinesHaveIndentTokensAndOneBlankEach)
{
    TestFolder folder;
    const std::string path = folder / "out.tsf";
    COsgSettings out;
    ASSERT_TRUE(out.Open(path));
    out.WriteLine("<ROOT>");
    out.Indent();
    out.WriteIndent();
    out.WriteTag("<THRESHOLD>");
    out.WriteInt(100);
    out.WriteIndent();
    out.WriteTag("<F>");
    out.WriteFloat(0.0333);
    out.WriteIndent();
    out.WriteTag("<V>");
    out.WriteVec4(osg::Vec4f(0.5f, 0.5f, 0.6f, 1.f));
    out.WriteIndent();
    out.WriteTag("<P>");
    out.WriteVec3(osg::Vec3f(1.f, 2.5f, -3.f), false);
    out.WriteString("tail");
    out.Unindent();
    out.Unindent();  // never below zero
    out.WriteLine("</ROOT>");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(TestFolder::ReadFile(path),
              "<ROOT> \n"
              "    <THRESHOLD> 100 \n"
              "    <F> 0.0333 \n"
              "    <V> 0.5 0.5 0.6 1 \n"
              "    <P> 1 2.5 -3 tail \n"
              "</ROOT> \n");
}

TEST(TagFileWriting, ReadingBackWhatWasWrittenGivesTheSameValues)
{
    TestFolder folder;
    const std::string path = folder / "round.tsf";
    COsgSettings out;
    ASSERT_TRUE(out.Open(path));
    out.WriteTag("<A>");
    out.WriteFloat(123456789.0);  // six significant digits, as always
    ASSERT_TRUE(out.Close());
    COsgSettings in;
    ASSERT_TRUE(in.Load(path));
    ASSERT_TRUE(in.FindFirst("<A>"));
    in.NextString();
    EXPECT_DOUBLE_EQ(in.NextFloat(), 1.23457e+08);
}

TEST(TagFileWriting, TheOldFileSurvivesUntilTheNewOneIsComplete)
{
    TestFolder folder;
    const std::string path = folder / "keep.tsf";
    TestFolder::WriteFile(path, "<OLD> 1 \n");
    COsgSettings out;
    ASSERT_TRUE(out.Open(path));
    out.WriteLine("<NEW>");
    // Until Close the old content is what a reader (or a crash) sees.
    EXPECT_EQ(TestFolder::ReadFile(path), "<OLD> 1 \n");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(TestFolder::ReadFile(path), "<NEW> \n");
    EXPECT_FALSE(TestFolder::Exists(path + ".tmp~"));
}

TEST(TagFileWriting, AFullDiskLeavesTheOldFileAndNoTemporary)
{
    TestFolder folder;
    const std::string path = folder / "keep.tsf";
    TestFolder::WriteFile(path, "<OLD> 1 \n");
    TestFolder::MakeDiskFullFor(path);
    COsgSettings out;
    ASSERT_TRUE(out.Open(path));
    for (int i = 0; i < 100; ++i) out.WriteLine("<NEW>");
    EXPECT_FALSE(out.Close());
    EXPECT_NE(out.WriteError().find("No space left on device"), std::string::npos) << out.WriteError();
    EXPECT_EQ(TestFolder::ReadFile(path), "<OLD> 1 \n");
    struct stat st;
    EXPECT_NE(::lstat((path + ".tmp~").c_str(), &st), 0) << "the temporary must be removed";
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(TagFileWriting, APathThroughAFileCannotBeOpened)
{
    TestFolder folder;
    // "plain" is a file, so nothing can be created below it, whoever asks.
    TestFolder::WriteFile(folder / "plain", "not a folder\n");
    COsgSettings out;
    EXPECT_FALSE(out.Open(folder / "plain/keep.tsf"));
    out.WriteLine("<X>");
    EXPECT_FALSE(out.Close());
    EXPECT_EQ(TestFolder::ReadFile(folder / "plain"), "not a folder\n");
}

TEST(TagFileWriting, AFailedRenameKeepsTheOldFileAndReportsFailure)
{
    TestFolder folder;
    // A folder where the file should be: the rename over it must fail.
    const std::string path = folder / "target";
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    COsgSettings out;
    ASSERT_TRUE(out.Open(path));
    out.WriteLine("<X>");
    EXPECT_FALSE(out.Close());
    EXPECT_FALSE(TestFolder::Exists(path + ".tmp~"));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(TagFileWriting, MissingFolderFailsToOpen)
{
    TestFolder folder;
    COsgSettings out;
    EXPECT_FALSE(out.Open(folder / "no/such/folder/file.tsf"));
    EXPECT_FALSE(out.IsOpen());
}
}
