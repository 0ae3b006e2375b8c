// The picture on screen and the content posed on it come from the same
// camera frame. A 100 fps clip whose frames carry their own number plays in
// real time through the threaded file source while every drawn frame is
// captured (F7): in each capture, the content must stand where the marker
// is in the frame whose number the capture shows, not where it was a frame
// earlier or later.
#include "ChildProcess.h"
#include "FootageTruth.h"
#include "TestFolder.h"
#include "XWindowDriver.h"
#include "XvfbServer.h"

#include "FrameCode.h"

#include <gtest/gtest.h>

#include <osg/Geode>
#include <osg/Image>
#include <osg/ShapeDrawable>
#include <osgDB/ReadFile>
#include <osgDB/WriteFile>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

namespace
{
const char* const kHost = VEXAMARK_BASIC_PATH;
const char* const kSynth = VEXAMARK_SYNTH_PATH;
const int kClipFrames = 200;
const int kCaptures = 600;

// A content set of one marker carrying a red, unlit box 36 mm wide whose
// middle is 15 mm above the card.
void writeRedBoxContent(const TestFolder& folder)
{
    osg::ref_ptr<osg::ShapeDrawable> box = new osg::ShapeDrawable(new osg::Box(osg::Vec3(0.f, 0.f, 15.f), 36.f));
    box->setColor(osg::Vec4(1.f, 0.f, 0.f, 1.f));
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(box.get());
    geode->getOrCreateStateSet()->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    ASSERT_TRUE(osgDB::writeNodeFile(*geode, folder / "models/redbox.osgt"));
    TestFolder::WriteFile(folder / "models/frames.dat",
                          "<VEXA_MARKER>\n<FILE> Data/glyph-f.patt\n<SIZE> 80\n<NAME> glyph-f\n</VEXA_MARKER>\n"
                          "<ENTITY>\n<NAME> box\n<MARKER> glyph-f\n<MODEL>\n<FILE> models/redbox.osgt\n</MODEL>\n"
                          "</ENTITY>\n");
    TestFolder::WriteFile(folder / "Data/dataList.dat", "<DAT>\n<ASSET_FILE> models/frames.dat\n</DAT>\n");
}

// Image position of the box's middle in a frame (the bundled camera: fx = fy
// = 700, centred 640 x 480).
osg::Vec2d boxMiddle(const FootageTruth& truth)
{
    const double p[3] = {0.0, 0.0, 15.0};
    double c[3];
    for (int i = 0; i < 3; ++i) c[i] = truth.r[i][0] * p[0] + truth.r[i][1] * p[1] + truth.r[i][2] * p[2] + truth.t[i];
    return osg::Vec2d(700.0 * c[0] / c[2] + 320.0, 700.0 * c[1] / c[2] + 240.0);
}

// The middle of the red pixels of a capture (rows stored bottom-up), in
// top-down image coordinates; false when there are too few of them or they
// reach into the frame code's band.
bool redMiddle(const osg::Image& shot, osg::Vec2d& middle)
{
    double sx = 0, sy = 0;
    int count = 0;
    for (int row = 0; row < shot.t(); ++row)
        for (int x = 0; x < shot.s(); ++x)
        {
            const unsigned char* p = shot.data(x, row);
            if (p[0] < 150 || p[1] > 90 || p[2] > 90) continue;
            const int y = shot.t() - 1 - row;
            if (y < vxsynth::FrameCode::height() + 4 && x >= shot.s() - vxsynth::FrameCode::width() - 4) return false;
            sx += x;
            sy += y;
            ++count;
        }
    if (count < 200) return false;
    middle.set(sx / count, sy / count);
    return true;
}

TEST(PictureAndPose, EveryCaptureShowsTheContentPosedForTheFrameItShows)
{
    XvfbServer server;  // keys need a keyboard focus of their own
    ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
    XWindowDriver x(server.Name());
    ASSERT_TRUE(x.IsOpen());
    TestFolder folder;
    folder.CopyWorkingFolder();
    writeRedBoxContent(folder);
    // About 10 px of motion per frame at 100 frames a second.
    ChildProcess synth(kSynth,
                       {"--size", "640", "480", "--fps", "100", "--frames", std::to_string(kClipFrames),
                        "--frame-code", "--intrinsics", "700", "700", "320", "240", "--marker",
                        "glyph-f=design:glyph-f,width=80,distance=500:600,tilt=20,spin=0", "--speed", "16", "--out",
                        "Videos/frames.mp4", "--quiet"},
                       folder.Path());
    ASSERT_TRUE(synth.Wait(120.0));
    ASSERT_EQ(synth.ExitCode(), 0) << synth.StandardError();
    auto truth = FootageTruth::Read(folder / "Videos/frames.csv");
    ASSERT_EQ(truth.size(), static_cast<size_t>(kClipFrames));

    ChildProcess host(kHost, {"-video:", "Videos/frames.mp4"}, folder.Path(),
                      {"VEXAMARK_NONINTERACTIVE=1", "DISPLAY=" + server.Name()});
    const Window window = x.WaitForWindow("Vexamark", host.Pid(), 60.0);
    ASSERT_NE(window, 0u) << host.StandardError();
    x.PointInto(window);
    // Keys count once the clip is on screen: the frame code's black band.
    XWindowDriver::Picture picture;
    ASSERT_TRUE(x.WaitForPicture(window, 60.0, [](const XWindowDriver::Picture& p) {
        return p.Grey(p.width - 2, 2) < 30 && p.Grey(p.width - 2, vxsynth::FrameCode::height() + 8) > 40;
    }, picture)) << "the clip is not shown";
    x.Key("F7");
    const std::string last = folder / ("captures/video/frame" + std::to_string(kCaptures - 1) + ".jpg");
    const bool captured = WaitUntil(150.0, [&]() { return TestFolder::Exists(last); });
    x.Key("F7");
    x.RequestClose(window);
    ASSERT_TRUE(host.Wait(30.0));
    ASSERT_TRUE(captured) << "fewer than " << kCaptures << " captures";

    // A capture counts where the frame code reads, the box is seen, and the
    // neighbouring frames put the box clearly elsewhere (not at a turn of
    // the motion, where frames look alike).
    int judged = 0;
    std::map<int, int> offByFrames;  // which neighbour the content matched, for the message
    for (int i = 0; i < kCaptures; ++i)
    {
        osg::ref_ptr<osg::Image> shot =
            osgDB::readRefImageFile(folder / ("captures/video/frame" + std::to_string(i) + ".jpg"));
        ASSERT_TRUE(shot.valid()) << i;
        const int shown = vxsynth::FrameCode::read(shot->data(), shot->s(), shot->t(), 3,
                                                   static_cast<int>(shot->getRowStepInBytes()), true);
        osg::Vec2d red;
        if (shown < 1 || shown >= kClipFrames - 1 || !redMiddle(*shot, red)) continue;
        double distance[3];
        for (int d = -1; d <= 1; ++d) distance[d + 1] = (boxMiddle(truth[shown + d]["glyph-f"]) - red).length();
        const double step = std::min((boxMiddle(truth[shown - 1]["glyph-f"]) - boxMiddle(truth[shown]["glyph-f"])).length(),
                                     (boxMiddle(truth[shown + 1]["glyph-f"]) - boxMiddle(truth[shown]["glyph-f"])).length());
        if (step < 6.0) continue;
        ++judged;
        const int best = distance[0] < distance[1] && distance[0] < distance[2] ? -1
                         : distance[2] < distance[1]                           ? 1
                                                                                : 0;
        if (best != 0) ++offByFrames[best];
    }
    EXPECT_GE(judged, kCaptures / 2) << "too few captures could be judged";
    EXPECT_EQ(offByFrames[-1] + offByFrames[1], 0)
        << "content posed for the frame before: " << offByFrames[-1] << ", after: " << offByFrames[1] << " of "
        << judged;
}
}
