// Bad command lines and bad data: one clear line, the documented exit code,
// and no output file left behind.
#include "CalibrateTestSupport.h"

#include <fstream>

namespace
{
using calibtest::run;

struct BadCase
{
    const char* name;
    const char* args;     // after the program; $D is the temporary folder
    int status;
    const char* message;  // expected in the output; $D as above
};

std::string expand(std::string text, const std::string& dir)
{
    for (size_t at; (at = text.find("$D")) != std::string::npos;) text.replace(at, 2, dir);
    return text;
}

class CalibrateBadInput : public ::testing::TestWithParam<BadCase>
{
};

TEST_P(CalibrateBadInput, ReportsAndWritesNothing)
{
    const BadCase& c = GetParam();
    calibtest::TempDir dir;
    const std::string d = dir.file("");
    ASSERT_TRUE(calibtest::writeBoardPicture(dir.file("board.png")));
    cv::imwrite(dir.file("blank.png"), cv::Mat(240, 320, CV_8UC1, cv::Scalar(200)));
    std::ofstream(dir.file("garbage.png")) << "not a picture at all";
    // A valid picture cut short.
    std::ifstream whole(dir.file("board.png"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    std::ofstream(dir.file("cut.png"), std::ios::binary) << bytes.substr(0, bytes.size() / 3);
    std::ofstream(dir.file("video.mkv")) << "no video here";

    const calibtest::CommandResult r = run(calibtest::calibrateExe() + " " + expand(c.args, d));
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_NE(r.output.find(expand(c.message, d)), std::string::npos) << r.output;
    EXPECT_FALSE(std::ifstream(dir.file("out.dat")).good());
}

const BadCase kBadCases[] = {
    {"BoardWithoutRows", "images --board 9 --square 20 $Dboard.png $Dout.dat", 2,
     "vexamark-calibrate: error: --board expects COLSxROWS inner corners, each 2..100 (e.g. 9x6), found '9'"},
    {"BoardTooSmall", "images --board 1x5 --square 20 $Dboard.png $Dout.dat", 2, "found '1x5'"},
    {"BoardNotNumbers", "images --board axb --square 20 $Dboard.png $Dout.dat", 2, "found 'axb'"},
    {"BoardTrailingText", "images --board 7x5mm --square 20 $Dboard.png $Dout.dat", 2, "found '7x5mm'"},
    {"MissingBoard", "images --square 20 $Dboard.png $Dout.dat", 2, "error: missing --board"},
    {"MissingSquare", "images --board 7x5 $Dboard.png $Dout.dat", 2, "error: missing --square"},
    {"SquareZero", "images --board 7x5 --square 0 $Dboard.png $Dout.dat", 2, "--square"},
    {"NoPictures", "images --board 7x5 --square 20 $Dout.dat", 2,
     "error: expected one or more pictures and the output file"},
    {"MissingPicture", "images --board 7x5 --square 20 $Dnone.png $Dout.dat", 1,
     "vexamark-calibrate: error: cannot read picture '$Dnone.png'"},
    {"GarbagePicture", "images --board 7x5 --square 20 $Dboard.png $Dgarbage.png $Dout.dat", 1,
     "error: cannot read picture '$Dgarbage.png'"},
    {"TruncatedPicture", "images --board 7x5 --square 20 $Dcut.png $Dout.dat", 1,
     "error: cannot read picture '$Dcut.png'"},
    {"NoBoardFound", "images --board 7x5 --square 20 $Dblank.png $Dblank.png $Dblank.png $Dout.dat", 1,
     "vexamark-calibrate: error: need the board in at least 3 pictures, found it in 0"},
    {"NoBoardNoted", "images --board 7x5 --square 20 $Dblank.png $Dout.dat", 1,
     "'$Dblank.png': no complete 7x5 chessboard found, skipped"},
    {"WrongBoardSize", "images --board 9x6 --square 20 $Dboard.png $Dboard.png $Dboard.png $Dout.dat", 1,
     "found it in 0"},
    {"PictureSizeChanges", "images --board 7x5 --square 20 $Dboard.png $Dblank.png $Dout.dat", 1,
     "'$Dblank.png': picture is 320 x 240, expected 240 x 240 like the first, skipped"},
    {"TooFewViews", "images --board 7x5 --square 20 $Dboard.png $Dboard.png $Dout.dat", 1, "found it in 2"},
    {"UnwritableOutput", "images --board 7x5 --square 20 $Dboard.png $Dboard.png $Dboard.png $Dno/out.dat", 1,
     "vexamark-calibrate: error:"},
    {"VideoMissing", "video --board 7x5 --square 20 $Dnone.mkv $Dout.dat", 1,
     "vexamark-calibrate: error: cannot read video '$Dnone.mkv'"},
    {"VideoCorrupt", "video --board 7x5 --square 20 $Dvideo.mkv $Dout.dat", 1,
     "error: cannot read video '$Dvideo.mkv'"},
    {"VideoEveryZero", "video --board 7x5 --square 20 $Dvideo.mkv $Dout.dat --every 0", 2, "--every"},
    {"VideoNoOutput", "video --board 7x5 --square 20 $Dvideo.mkv", 2,
     "error: expected one video file and the output file"},
    {"UnknownCommand", "measure $Dout.dat", 2, "unknown command 'measure' (expected write, images or video)"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CalibrateBadInput, ::testing::ValuesIn(kBadCases),
                         [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

// "write" still works beside the new commands and leaves no temporary file.
TEST(CalibrateWrite, StillWritesKnownIntrinsics)
{
    calibtest::TempDir dir;
    const std::string out = dir.file("camera_para.dat");
    const calibtest::CommandResult r =
        run(calibtest::calibrateExe() + " write --size 640 480 --fx 700 --fy 700 --cx 320 --cy 240 " + out);
    ASSERT_EQ(r.status, 0) << r.output;
    std::ifstream in(out);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<FX> 700"), std::string::npos) << text;
    EXPECT_FALSE(std::ifstream(out + ".tmp").good());
}
}
