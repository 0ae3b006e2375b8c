// vexamark-check's command line: the information options, a bad command
// line, a folder that is no content set, and the JSON form of the findings.
#include "CheckRun.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{
TEST(CheckCommand, InformationOptionsPrintAndExitCleanly)
{
    const CheckRun help = RunCheck({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("Usage: vexamark-check [--json] [DIR]\n", 0), 0u) << help.output;
    const CheckRun version = RunCheck({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output.rfind("vexamark-check ", 0), 0u) << version.output;
}

TEST(CheckCommand, ABadCommandLineIsRefusedWithExitCodeThree)
{
    const struct
    {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {{{"--colour"}, "vexamark-check: unknown option --colour\n"},
                 {{"one", "two"}, "vexamark-check: expected one folder, found 2\n"}};
    for (const auto& c : cases)
    {
        const CheckRun run = RunCheck(c.args);
        EXPECT_EQ(run.exitCode, 3) << c.message;
        EXPECT_EQ(run.errors.rfind(c.message, 0), 0u) << run.errors;
        EXPECT_EQ(run.output, "");
    }
}

TEST(CheckCommand, AFolderWithoutAContentListIsAnError)
{
    TestFolder empty;
    const CheckRun run = RunCheck({empty.Path()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("error: Failed to load Data/dataList.dat\n"), std::string::npos) << run.output;
}

TEST(CheckCommand, TheCurrentFolderIsCheckedWithoutAnArgumentAndNamesStayRelative)
{
    TestFolder folder;
    folder.CopyWorkingFolder();
    std::filesystem::copy_file(folder / "models/village.zep", folder / "models/spare.zep");
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, std::vector<std::string>{"."}})
    {
        const CheckRun run = RunCheck(args, folder.Path());
        EXPECT_EQ(run.output, "models/spare.zep: warning: content file named by nothing; the engine never reads it\n");
        EXPECT_EQ(run.exitCode, 1);
    }
}

TEST(CheckCommand, JsonFindingsCarryFileLineSeverityAndText)
{
    TestFolder folder;
    folder.CopyWorkingFolder();
    ASSERT_TRUE(ReplaceInFile(folder / "models/demo.dat", "models/house.ive", "models/hut\"1\".ive"));
    const int line = LineOf(folder / "models/demo.dat", "models/hut");
    const CheckRun run = RunCheck({"--json", folder.Path()});
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_EQ(run.output.rfind("{\"errors\": 1, \"warnings\": 0, \"findings\": [\n", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("{\"file\": \"models/demo.dat\", \"line\": " + std::to_string(line) +
                              ", \"severity\": \"error\", \"text\": \"Could not load model models/hut\\\"1\\\".ive\"}"),
              std::string::npos)
        << run.output;
}
}  // namespace
