// The pose file's two formats and the camera-frame pose, and the progress
// line of unattended runs.
#include "CBatchProgress.h"
#include "CPoseExport.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <osg/Matrixd>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace
{
CPoseExport::Record foundMarker()
{
    CPoseExport::Record r;
    r.frame = 7;
    r.time = 0.28;
    r.marker = "MARKER_A";
    r.valid = true;
    r.confidence = 0.875;
    const float corners[4][2] = {{10, 20}, {110, 22}, {108, 121}, {9, 119.5f}};
    for (int k = 0; k < 4; ++k) r.corners[k].set(corners[k][0], corners[k][1]);
    // Upright, facing the camera, 500 mm ahead and 20 mm to the left.
    const double rotation[3][3] = {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.rotation[i][j] = rotation[i][j];
    r.translation[0] = -20;
    r.translation[1] = 0;
    r.translation[2] = 500;
    return r;
}

CPoseExport::Record lostMarker()
{
    CPoseExport::Record r;
    r.frame = 7;
    r.time = 0.28;
    r.marker = "Data/sail.patt";
    return r;
}

TEST(PoseExport, CsvHasTheHeaderAndEmptyFieldsForALostMarker)
{
    TestFolder folder;
    const std::string path = folder / "poses.csv";
    CPoseExport out;
    std::string error;
    ASSERT_TRUE(out.Open(path, error)) << error;
    EXPECT_FALSE(out.IsJsonLines());
    EXPECT_FALSE(TestFolder::Exists(path)) << "the file gets its name when complete";
    ASSERT_TRUE(out.Write(foundMarker()));
    ASSERT_TRUE(out.Write(lostMarker()));
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(TestFolder::ReadFile(path),
              "frame,time,marker,valid,confidence,x0,y0,x1,y1,x2,y2,x3,y3,r00,r01,r02,r10,r11,r12,r20,r21,r22,tx,ty,"
              "tz\n"
              "7,0.280000,MARKER_A,1,0.875000,10.000,20.000,110.000,22.000,108.000,121.000,9.000,119.500,"
              "1.000000000,0.000000000,0.000000000,0.000000000,-1.000000000,0.000000000,0.000000000,0.000000000,"
              "-1.000000000,-20.0000,0.0000,500.0000\n"
              "7,0.280000,Data/sail.patt,0,0.000000,,,,,,,,,,,,,,,,,,,,\n");
}

TEST(PoseExport, JsonLinesHaveTheSameFieldsAndNullsForALostMarker)
{
    TestFolder folder;
    const std::string path = folder / "poses.jsonl";
    CPoseExport out;
    std::string error;
    ASSERT_TRUE(out.Open(path, error));
    EXPECT_TRUE(out.IsJsonLines());
    CPoseExport::Record odd = lostMarker();
    odd.marker = "a \"quoted\" name";
    out.Write(foundMarker());
    out.Write(odd);
    ASSERT_TRUE(out.Close());
    std::istringstream lines(TestFolder::ReadFile(path));
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(first.rfind("{\"frame\":7,\"time\":0.280000,\"marker\":\"MARKER_A\",\"valid\":1,\"confidence\":0.875000,"
                          "\"x0\":10.000,\"y0\":20.000,",
                          0),
              0u)
        << first;
    EXPECT_NE(first.find("\"r11\":-1,"), std::string::npos) << first;
    EXPECT_NE(first.find("\"tx\":-20,\"ty\":0,\"tz\":500}"), std::string::npos) << first;
    EXPECT_EQ(second, "{\"frame\":7,\"time\":0.280000,\"marker\":\"a \\\"quoted\\\" name\",\"valid\":0,"
                      "\"confidence\":0.000000,\"x0\":null,\"y0\":null,\"x1\":null,\"y1\":null,\"x2\":null,"
                      "\"y2\":null,\"x3\":null,\"y3\":null,\"r00\":null,\"r01\":null,\"r02\":null,\"r10\":null,"
                      "\"r11\":null,\"r12\":null,\"r20\":null,\"r21\":null,\"r22\":null,\"tx\":null,\"ty\":null,"
                      "\"tz\":null}");
}

TEST(PoseExport, AFullDiskLeavesNoFileAndSaysSoOnce)
{
    TestFolder folder;
    const std::string path = folder / "poses.csv";
    TestFolder::MakeDiskFullFor(path);
    CPoseExport out;
    std::string error;
    ASSERT_TRUE(out.Open(path, error));
    bool written = true;
    for (int i = 0; i < 100 && written; ++i) written = out.Write(foundMarker());
    EXPECT_FALSE(written);
    EXPECT_FALSE(out.Close());
    EXPECT_FALSE(TestFolder::Exists(path));
}

TEST(PoseExport, TheModelViewBecomesAPoseInTheCameraFrame)
{
    // A marker 500 mm in front of an OpenGL camera (which looks down its -z,
    // y up), turned 90 degrees about the viewing axis.
    const osg::Matrixd modelView = osg::Matrixd::rotate(osg::PI_2, osg::Z_AXIS) * osg::Matrixd::translate(30, 40, -500);
    double r[3][3], t[3];
    CPoseExport::CameraPose(modelView, r, t);
    // x right, y down, z forward.
    EXPECT_NEAR(t[0], 30, 1e-9);
    EXPECT_NEAR(t[1], -40, 1e-9);
    EXPECT_NEAR(t[2], 500, 1e-9);
    // The marker's x axis, which the GL camera sees pointing up, points up
    // (negative y) in the camera frame; its z axis comes towards the camera.
    EXPECT_NEAR(r[0][0], 0, 1e-9);
    EXPECT_NEAR(r[1][0], -1, 1e-9);
    EXPECT_NEAR(r[2][2], -1, 1e-9);
    // Still a rotation.
    double det = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) - r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                 r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    EXPECT_NEAR(det, 1, 1e-9);
}

TEST(BatchProgress, TheLineSaysWhatIsDoneHowFastAndWhatIsLeft)
{
    EXPECT_EQ(CBatchProgress::Line(50, 200, 2.0), "frame 50 of 200 (25 %), 25.0 frames/s, 0:06 left");
    EXPECT_EQ(CBatchProgress::Line(200, 200, 8.0), "frame 200 of 200 (100 %), 25.0 frames/s, 0:00 left");
    EXPECT_EQ(CBatchProgress::Line(90, 0, 3.0), "frame 90, 30.0 frames/s");
    EXPECT_EQ(CBatchProgress::Line(0, 10, 0.0), "frame 0 of 10 (0 %), 0.0 frames/s, 0:00 left");
}

TEST(BatchProgress, ALineAtMostFourTimesASecondAndNothingWhenNotATerminal)
{
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    CBatchProgress shown;
    shown.Begin(100, out, true);
    for (int i = 0; i < 100; ++i) shown.Step(10.0 + i * 0.01);  // one second of frames
    shown.End(11.0);
    std::fflush(out);
    std::rewind(out);
    std::string text;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) text += static_cast<char>(c);
    std::fclose(out);
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\r'));
    EXPECT_GE(lines, 4u);
    EXPECT_LE(lines, 6u) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("frame 100 of 100 (100 %)"), std::string::npos) << text;

    std::FILE* quiet = std::tmpfile();
    CBatchProgress hidden;
    hidden.Begin(100, quiet, false);
    for (int i = 0; i < 100; ++i) hidden.Step(i * 0.5);
    hidden.End(50.0);
    EXPECT_EQ(std::ftell(quiet), 0L);
    EXPECT_EQ(hidden.Done(), 100);
    std::fclose(quiet);
}
}
