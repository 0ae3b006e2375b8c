// Malformed, truncated and hostile files are refused with one clear line,
// never crash, and leave the caller's objects unchanged.
#include <gtest/gtest.h>

#include "TestScene.h"
#include "vxt/CameraParams.h"
#include "vxt/MultiMarkerConfig.h"
#include "vxt/PatternImage.h"
#include "vxt/PatternSet.h"

using namespace vxttest;

namespace {

struct Case {
    const char* text;
    const char* message;  // after "'<path>': "
};

const char* kCamera =
    "<CAMERA_PARAM>\n<SIZE> 640 480\n<FX> 700\n<FY> 700\n<CX> 320\n<CY> 240\n<DISTORTION> 0 0 0 0 0\n</CAMERA_PARAM>\n";

std::string replaceLine(const std::string& text, const std::string& tag, const std::string& line) {
    std::size_t at = text.find(tag);
    std::size_t end = text.find('\n', at);
    return text.substr(0, at) + line + text.substr(end);
}

std::string patternText(int rows, int valuesPerRow, const std::string& badValue = "") {
    std::string t = "<PATTERN>\n<VERSION> 1\n<SIZE> 16\n";
    for (int r = 0; r < rows; ++r) {
        t += "<ROW>";
        for (int i = 0; i < valuesPerRow; ++i) t += (r == 3 && i == 5 && !badValue.empty()) ? " " + badValue : " 128";
        t += "\n";
    }
    return t + "</PATTERN>\n";
}

}  // namespace

TEST(HostileFiles, CameraParameterFilesAreRefused) {
    const std::string good = kCamera;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "expected a <CAMERA_PARAM> block, found none"},
        {"<SIZE> 640 480\n", "expected a <CAMERA_PARAM> block, found none"},
        {replaceLine(good, "<FX>", "<FX> nan"), "line 3: <FX> expects a finite number, found 'nan'"},
        {replaceLine(good, "<FX>", "<FX> inf"), "line 3: <FX> expects a finite number, found 'inf'"},
        {replaceLine(good, "<FY>", "<FY> 7e400"), "line 4: <FY> expects a finite number, found '7e400'"},
        {replaceLine(good, "<FX>", "<FX> 700px"), "line 3: <FX> expects a finite number, found '700px'"},
        {replaceLine(good, "<FX>", "<FX>"), "line 3: <FX> expects 1 value, found 0"},
        {replaceLine(good, "<SIZE>", "<SIZE> 640"), "line 2: <SIZE> expects 2 values, found 1"},
        {replaceLine(good, "<SIZE>", "<SIZE> 99999999 480"), "line 2: <SIZE> expects two whole numbers 1..16384"},
        {replaceLine(good, "<SIZE>", "<SIZE> 640.5 480"), "line 2: <SIZE> expects two whole numbers 1..16384"},
        {replaceLine(good, "<SIZE>", "<SIZE> -640 480"), "line 2: <SIZE> expects two whole numbers 1..16384"},
        {replaceLine(good, "<FX>", "<FX> -700"), "focal lengths must be positive and below 1e6 pixels"},
        {replaceLine(good, "<CX>", "<CX> 90000"), "principal point lies far outside the image"},
        {replaceLine(good, "<DISTORTION>", "<DISTORTION> 0 0 0 0"), "line 7: <DISTORTION> expects 5 values, found 4"},
        {replaceLine(good, "<DISTORTION>", "<DISTORTION> 1e9 0 0 0 0"), "distortion coefficients must be below 1000"},
        {good.substr(0, good.find("<CY>")), "missing <CY>"},   // truncated
        {good.substr(0, 30), "missing <FX>"},                    // cut inside <SIZE>
        {"<CAMERA_PARAM>\n$\n" + good, "missing <SIZE>"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        dir.write("bad.dat", c.first);
        vxt::CameraParams cam(320, 240, 1, 1, 0, 0);
        vxt::Status s = cam.load(dir.file("bad.dat"));
        EXPECT_FALSE(s.ok()) << c.first;
        EXPECT_EQ(s.message(), "'" + dir.file("bad.dat") + "': " + c.second) << c.first;
        EXPECT_EQ(cam.width(), 320) << "unchanged on failure";
    }
    vxt::CameraParams cam;
    EXPECT_EQ(cam.load(dir.file("missing.dat")).message(), "cannot open '" + dir.file("missing.dat") + "'");
}

TEST(HostileFiles, PatternFilesAreRefused) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "expected a <PATTERN> block, found none"},
        {patternText(7, 48), "expected 16 <ROW> lines, found 7"},
        {patternText(17, 48), "line 20: more than 16 <ROW> lines"},
        {patternText(16, 47), "line 4: <ROW> expects 48 values, found 47"},
        {patternText(16, 1000), "line 4: <ROW> expects 48 values, found 511"},  // 2047-character lines
        {patternText(16, 48, "256"), "line 7: <ROW> expects whole numbers 0..255, found '256'"},
        {patternText(16, 48, "-1"), "line 7: <ROW> expects whole numbers 0..255, found '-1'"},
        {patternText(16, 48, "nan"), "line 7: <ROW> expects whole numbers 0..255, found 'nan'"},
        {patternText(16, 48, "12.5"), "line 7: <ROW> expects whole numbers 0..255, found '12.5'"},
        {replaceLine(patternText(16, 48), "<SIZE>", "<SIZE> 64"), "line 3: <SIZE> expects 16, found '64'"},
        {replaceLine(patternText(16, 48), "<SIZE>", "<SIZE> 999999999999999999999"),
         "line 3: <SIZE> expects 16, found '999999999999999999999'"},
        {replaceLine(patternText(16, 48), "<SIZE>", "<NOSIZE>"), "missing <SIZE>"},
        {std::string("<PATTERN>\n<SIZE> 16\n<ROW> 1 2 \0 3\n", 30), "line 3: <ROW> expects 48 values, found 2"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        dir.write("bad.patt", c.first);
        vxt::PatternSet set;
        vxt::Status why;
        EXPECT_EQ(set.load(dir.file("bad.patt"), &why), -1);
        EXPECT_EQ(why.message(), "'" + dir.file("bad.patt") + "': " + c.second);
        EXPECT_EQ(set.count(), 0);
    }
    // A huge file is refused before it is read into memory.
    {
        std::string big(2u << 20, 'x');
        dir.write("big.patt", big);
        vxt::PatternImage img;
        EXPECT_EQ(img.load(dir.file("big.patt")).message(),
                  "'" + dir.file("big.patt") + "' is larger than 1048576 bytes");
    }
}

TEST(HostileFiles, MultiMarkerFilesAreRefusedAndLoadNothing) {
    TempDir dir;
    ASSERT_TRUE(vxtbench::makeTestPattern(1).save(dir.file("a.patt")).ok());
    const std::string one = "<MARKER>\n<PATTERN> a.patt\n<WIDTH> 40\n<CENTER> 0 0\n<PLACEMENT> 1 0 0 0 0 1 0 0 0 0 1 0\n</MARKER>\n";
    std::string many = "<MULTI_MARKER>\n";
    for (int i = 0; i < 51; ++i) many += one;
    many += "</MULTI_MARKER>\n";
    const std::string path = dir.file("board.dat");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", path + ": expected a <MULTI_MARKER> block, found none"},
        {"<MULTI_MARKER>\n</MULTI_MARKER>\n", path + ": no <MARKER> blocks"},
        {"<MULTI_MARKER>\n<MARKER>\n<PATTERN> a.patt\n<WIDTH> 40\n", path + ": <MARKER> block not closed"},
        {"<MULTI_MARKER>\n<MARKER>\n<WIDTH> 40\n<PLACEMENT> 1 0 0 0 0 1 0 0 0 0 1 0\n</MARKER>\n",
         path + ": line 5: <MARKER> block without <PATTERN>"},
        {"<MULTI_MARKER>\n<MARKER>\n<PATTERN> a.patt\n<WIDTH> nan\n", path + ": line 4: <WIDTH> expects a finite number, found 'nan'"},
        {"<MULTI_MARKER>\n<MARKER>\n<PATTERN> a.patt\n<WIDTH> -4\n", path + ": line 4: <WIDTH> must be above 0 and below 1e6"},
        {"<MULTI_MARKER>\n<MARKER>\n<PATTERN> a.patt\n<WIDTH> 40\n<PLACEMENT> 1 0 0\n",
         path + ": line 5: <PLACEMENT> expects 12 values, found 3"},
        {"<MULTI_MARKER>\n<MARKER>\n<PATTERN> a.patt\n<WIDTH> 40\n<PLACEMENT> 2 0 0 0 0 1 0 0 0 0 1 0\n",
         path + ": line 5: <PLACEMENT> is not a rotation plus translation"},
        {"<MULTI_MARKER>\n<MARKER>\n<PATTERN> a.patt\n<WIDTH> 40\n<PLACEMENT> -1 0 0 0 0 1 0 0 0 0 1 0\n",
         path + ": line 5: <PLACEMENT> is not a rotation plus translation"},
        {many, path + ": line 302: more than 50 <MARKER> blocks"},
        {"<MULTI_MARKER>\n" + one + "<MARKER>\n<PATTERN> missing.patt\n<WIDTH> 40\n<PLACEMENT> 1 0 0 0 0 1 0 0 0 0 1 0\n</MARKER>\n</MULTI_MARKER>\n",
         "Error; unable to load pattern 'missing.patt' while setting up multi-marker '" + path + "'"},
    };
    for (const auto& c : cases) {
        dir.write("board.dat", c.first);
        vxt::PatternSet set;
        vxt::MultiMarkerConfig cfg;
        vxt::Status s = cfg.load(path, set);
        EXPECT_FALSE(s.ok());
        EXPECT_EQ(s.message(), c.second);
        EXPECT_EQ(set.count(), 0) << "patterns loaded before the failure are freed";
        EXPECT_EQ(cfg.count(), 0);
    }
}

TEST(HostileFiles, PatternSetHoldsAtMostFifty) {
    TempDir dir;
    ASSERT_TRUE(vxtbench::makeTestPattern(1).save(dir.file("a.patt")).ok());
    vxt::PatternSet set;
    for (int i = 0; i < 50; ++i) ASSERT_EQ(set.load(dir.file("a.patt")), i);
    vxt::Status why;
    EXPECT_EQ(set.load(dir.file("a.patt"), &why), -1);
    EXPECT_EQ(why.message(), "cannot load '" + dir.file("a.patt") + "': all 50 pattern slots are in use");
    EXPECT_TRUE(set.free(17));
    EXPECT_EQ(set.load(dir.file("a.patt")), 17) << "a freed slot is reused";
}
