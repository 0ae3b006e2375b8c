// vexamark-check on the bundled content reports nothing; on copies broken in
// one way each it reports the problem at its file and line, in the engine's
// words, with the exit code of the worst finding (1 warnings, 2 errors).
#include "CheckRun.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace
{
const char* kDemo = "models/demo.dat";
const char* kMarkers = "models/markers.dat";

// One way of breaking the content: the edit, made on a fresh copy, returns
// the findings it must produce.
struct BrokenCopy
{
    std::string name;
    std::function<std::vector<std::string>(const TestFolder&)> breakIt;
    int exitCode;
};

void PrintTo(const BrokenCopy& copy, std::ostream* out)
{
    *out << copy.name;
}

std::string at(const char* file, int line)
{
    return std::string(file) + ":" + std::to_string(line) + ": ";
}

std::vector<std::string> cutInsideTheLastMarker(const TestFolder& f)
{
    const int line = LineOf(f / kMarkers, "<FILE> Data/sail.patt");
    CutFileBefore(f / kMarkers, line + 1);
    return {at(kMarkers, line) + "warning: <VEXA_MARKER> block is not closed by </VEXA_MARKER>; it ends here"};
}

std::vector<std::string> deleteAClosingTag(const TestFolder& f)
{
    // The second entity (LAUNCHPAD) loses its </ENTITY>: it ends on its last
    // line, before the next <ENTITY>.
    const int closing = LineOf(f / kDemo, "</ENTITY>", 2);
    RemoveLine(f / kDemo, closing);
    return {at(kDemo, closing - 1) +
            "warning: <ENTITY> block of object LAUNCHPAD is not closed by </ENTITY>; it ends here"};
}

std::vector<std::string> misspellATag(const TestFolder& f)
{
    EXPECT_TRUE(ReplaceInFile(f / kDemo, "<SCALE> 2.5", "<SCALLE> 2.5"));
    return {at(kDemo, LineOf(f / kDemo, "<SCALLE>")) + "warning: unknown tag <SCALLE>; the engine ignores this line"};
}

std::vector<std::string> moveATagOutOfItsBlock(const TestFolder& f)
{
    EXPECT_TRUE(ReplaceInFile(f / kDemo, "    <ROT> 0 0 30\n", "    <ROT> 0 0 30\n    <FILENAME> rocket.ive\n"));
    return {at(kDemo, LineOf(f / kDemo, "<FILENAME> rocket.ive")) +
            "warning: <FILENAME> is outside its block here; the engine ignores its values"};
}

std::vector<std::string> pointAtAMissingModel(const TestFolder& f)
{
    EXPECT_TRUE(ReplaceInFile(f / kDemo, "models/rocket.ive", "models/rockets.ive"));
    return {at(kDemo, LineOf(f / kDemo, "models/rockets.ive")) + "error: Could not load model models/rockets.ive"};
}

std::vector<std::string> nameAModelInAnotherCase(const TestFolder& f)
{
    EXPECT_TRUE(ReplaceInFile(f / kDemo, "models/vessel.osgt", "models/Vessel.osgt"));
    return {at(kDemo, LineOf(f / kDemo, "models/Vessel.osgt")) +
            "warning: models/Vessel.osgt exists only as models/vessel.osgt: the letter case differs"};
}

std::vector<std::string> duplicateAPattern(const TestFolder& f)
{
    // MARKER_B gets a copy of the "sail" pattern: the tracker would take one for the other.
    std::filesystem::copy_file(f / "Data/sail.patt", f / "Data/sail-copy.patt");
    EXPECT_TRUE(ReplaceInFile(f / kMarkers, "Data/glyph-f.patt", "Data/sail-copy.patt"));
    return {at(kMarkers, LineOf(f / kMarkers, "Data/sail.patt")) +
                "warning: pattern Data/sail.patt is too similar to pattern Data/sail-copy.patt (line " +
                std::to_string(LineOf(f / kMarkers, "Data/sail-copy.patt")) +
                ", similarity 1.00); the tracker cannot tell them apart reliably",
            "Data/glyph-f.patt: warning: content file named by nothing; the engine never reads it"};
}

std::vector<std::string> misnameAMarker(const TestFolder& f)
{
    const char* animation = "models/animation-demo.dat";
    EXPECT_TRUE(ReplaceInFile(f / kMarkers, "<NAME> MARKER_B", "<NAME> MARKER_Q"));
    return {at(animation, LineOf(f / animation, "<MARKER> MARKER_B")) +
                "warning: object HOPPER names marker MARKER_B, which no marker has",
            at(kMarkers, LineOf(f / kMarkers, "<NAME> MARKER_Q")) +
                "warning: marker MARKER_Q is used by no object: no object names it or is in its group NONE"};
}

std::vector<std::string> leaveAnObjectWithoutMarker(const TestFolder& f)
{
    EXPECT_TRUE(ReplaceInFile(f / kDemo, "<NAME> TREE\n    <GROUP> SCENES", "<NAME> TREE\n    <GROUP> GARDEN"));
    return {at(kDemo, LineOf(f / kDemo, "<NAME> TREE")) +
            "warning: object TREE is bound to no marker: no marker is named NONE or belongs to group GARDEN"};
}

std::vector<std::string> leaveAFileUnnamed(const TestFolder& f)
{
    std::filesystem::copy_file(f / "models/village.zep", f / "models/old-village.zep");
    return {"models/old-village.zep: warning: content file named by nothing; the engine never reads it"};
}

std::vector<std::string> listAMissingDataFile(const TestFolder& f)
{
    EXPECT_TRUE(ReplaceInFile(f / "Data/dataList.dat", "models/demo.dat", "models/demos.dat"));
    return {at("Data/dataList.dat", LineOf(f / "Data/dataList.dat", "models/demos.dat")) +
            "error: Failed to load models/demos.dat"};
}

class CheckFindings : public ::testing::TestWithParam<BrokenCopy>
{
};

TEST_P(CheckFindings, ReportsTheProblemAtItsFileAndLine)
{
    TestFolder folder;
    folder.CopyWorkingFolder();
    const std::vector<std::string> expected = GetParam().breakIt(folder);
    const CheckRun run = RunCheck({folder.Path()});
    const std::vector<std::string> lines = run.Lines();
    for (const std::string& finding : expected)
        EXPECT_NE(std::find(lines.begin(), lines.end(), finding), lines.end())
            << "missing: " << finding << "\nreported:\n" << run.output << run.errors;
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.output << run.errors;
}

INSTANTIATE_TEST_SUITE_P(
    BrokenCopies, CheckFindings,
    ::testing::Values(BrokenCopy{"CutFile", cutInsideTheLastMarker, 1},
                      BrokenCopy{"DeletedClosingTag", deleteAClosingTag, 1},
                      BrokenCopy{"MisspelledTag", misspellATag, 1},
                      BrokenCopy{"TagOutsideItsBlock", moveATagOutOfItsBlock, 1},
                      BrokenCopy{"MissingModel", pointAtAMissingModel, 2},
                      BrokenCopy{"ModelInAnotherLetterCase", nameAModelInAnotherCase, 1},
                      BrokenCopy{"DuplicatedPattern", duplicateAPattern, 1},
                      BrokenCopy{"MisnamedMarker", misnameAMarker, 1},
                      BrokenCopy{"ObjectWithoutMarker", leaveAnObjectWithoutMarker, 1},
                      BrokenCopy{"UnnamedContentFile", leaveAFileUnnamed, 1},
                      BrokenCopy{"MissingDataFile", listAMissingDataFile, 2}),
    [](const ::testing::TestParamInfo<BrokenCopy>& info) { return info.param.name; });

TEST(CheckBundledContent, ReportsNothing)
{
    TestFolder folder;
    folder.CopyWorkingFolder();
    const CheckRun run = RunCheck({folder.Path()});
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    // Nothing is written into the content set.
    EXPECT_FALSE(TestFolder::Exists(folder / "Data/messageLog.txt"));
}
}  // namespace
