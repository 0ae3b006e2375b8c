// Video planes and video materials: the <VIDEO> block read with its defaults
// and messages and written back, the plane's shape, the transport rules
// against the marker state record (lost, back after a short and after a long
// absence), clips that end, are cut off or are not videos at all, and
// <VIDEO_MAT> on a model.
#include "CContentObject.h"
#include "COsgSettings.h"
#include "CVideoEntity.h"
#include "CVideoMaterialEntity.h"
#include "MediaTestSupport.h"
#include "ObjectTestSupport.h"
#include "TestClips.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Program>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;
const std::vector<std::string> kStops = {"<ENTITY>", "<VEXA_MARKER>", "<OBJECT_GROUP>", "</ENTITY>"};

// Polls `done` (after `step`, which may be empty) until it holds or 20 s pass.
bool WaitFor(const std::function<bool()>& done, const std::function<void()>& step = {})
{
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end)
    {
        if (step) step();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// A <VIDEO> block as the tag-file writer writes it: four spaces of indent, a
// space after every value.
std::string Block(const std::vector<std::string>& lines)
{
    std::string text = "<VIDEO> \n";
    for (const std::string& line : lines) text += "    " + line + " \n";
    return text + "</VIDEO> \n";
}

void Pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

class VideoEntities : public ContentFolder
{
protected:
    std::string Clip(const std::string& name, int frames, int width = 160, int height = 120)
    {
        vexa::media::testing::ClipSpec spec;
        spec.width = width, spec.height = height, spec.frames = frames;
        EXPECT_EQ(vexa::media::testing::makeClip(Path(name), spec), "");
        return name;
    }
    // Builds an entity from the lines of a <VIDEO> block; its printed lines in `output`.
    std::unique_ptr<CVideoEntity> Read(const std::string& lines, std::string* output = nullptr)
    {
        Write("video.dat", "<VIDEO>\n" + lines + "</VIDEO>\n");
        std::unique_ptr<CVideoEntity> entity;
        const std::string out = Captured([&]() {
            COsgSettings reader;
            if (reader.Load(Path("video.dat")) && reader.FindFirst("<VIDEO>"))
                entity.reset(CVideoEntity::Read(reader, kStops));
        });
        if (output) *output = out;
        return entity;
    }
    std::unique_ptr<CVideoEntity> Plane(const std::string& file, CVideoPlayback::Transport transport)
    {
        CVideoEntity::Settings settings;
        settings.file = file;
        settings.transport = transport;
        return std::make_unique<CVideoEntity>(settings, false);
    }
    static std::string Saved(CMarkerEntity& entity)
    {
        COsgSettings writer;
        writer.Open("saved.dat");
        entity.Save(writer);
        writer.Close();
        return TestFolder::ReadFile("saved.dat");
    }
    static int Frame(CVideoEntity& entity) { return entity.GetPlayback().GetStream()->GetFrameIndex(); }

    MarkerScript marker;
};

TEST_F(VideoEntities, BlocksReadWithTheirDefaultsAndMessagesAndAreWrittenBackWhole)
{
    Clip("clip.mp4", 5);
    const struct
    {
        std::string lines, output, saved;
    } cases[] = {
        {"<FILE> clip.mp4\n", "",
         Block({"<FILE> clip.mp4", "<SCALE> 40", "<TRANSPORT> LOOP", "<TYPE> 0"})},
        {"<FILE> clip.mp4\n<SCALE> 25\n<TRANSPORT> PLAY\n<TYPE> 1\n<BLEND> 0 0.7 0.25 0.3\n", "",
         Block({"<FILE> clip.mp4", "<SCALE> 25", "<TRANSPORT> PLAY", "<TYPE> 1", "<BLEND> 0 0.7 0.25 0.3"})},
        {"<FILE> clip.mp4\n<SCALE> 0\n<TRANSPORT> BOUNCE\n",
         "Warning! <SCALE> expects a positive size, found 0; using 40\n"
         "Warning! <TRANSPORT> expects LOOP or PLAY, found \"BOUNCE\"; the video loops\n",
         Block({"<FILE> clip.mp4", "<SCALE> 40", "<TRANSPORT> LOOP", "<TYPE> 0"})},
        {"<SCALE> 10\n", "Warning! <VIDEO> block has no <FILE>; the plane stays grey\n",
         Block({"<SCALE> 10", "<TRANSPORT> LOOP", "<TYPE> 0"})},
    };
    for (const auto& c : cases)
    {
        std::string output;
        std::unique_ptr<CVideoEntity> entity = Read(c.lines, &output);
        ASSERT_TRUE(entity) << c.lines;
        EXPECT_EQ(output, c.output) << c.lines;
        EXPECT_EQ(Saved(*entity), c.saved) << c.lines;
        std::unique_ptr<char[]> description(entity->GetDescription());
        EXPECT_STREQ(description.get(), "");
        entity->CleanUp();
    }
}

TEST_F(VideoEntities, ThePlaneHasTheClipsShapeOrIsSquareAndIsScaled)
{
    Clip("wide.mp4", 3, 192, 108);
    const struct
    {
        std::string lines;
        float halfWidth;
    } cases[] = {{"<FILE> wide.mp4\n<SCALE> 30\n", 192.f / 108.f},
                 {"<FILE> wide.mp4\n<SCALE> 30\n<TYPE> 1\n", 1.f},
                 {"<FILE> missing.mp4\n<SCALE> 30\n", 4.f / 3.f}};
    for (const auto& c : cases)
    {
        std::unique_ptr<CVideoEntity> entity = Read(c.lines);
        EXPECT_FLOAT_EQ(entity->GetHalfWidth(), c.halfWidth) << c.lines;
        EXPECT_EQ(entity->GetNode()->getMatrix(), osg::Matrixd::scale(30, 30, 30));
        osg::Geode* geode = entity->GetNode()->getChild(0)->asGeode();
        ASSERT_TRUE(geode);
        const osg::Vec3Array* corners =
            static_cast<const osg::Vec3Array*>(geode->getDrawable(0)->asGeometry()->getVertexArray());
        ASSERT_EQ(corners->size(), 4u);
        EXPECT_EQ((*corners)[0], osg::Vec3f(-c.halfWidth, -1, 0));
        EXPECT_EQ((*corners)[2], osg::Vec3f(c.halfWidth, 1, 0));
        entity->CleanUp();
    }
}

TEST_F(VideoEntities, TheClipStopsWhenTheMarkerIsLostPlaysOnAfterAShortAbsenceAndStartsOverAfterALongOne)
{
    std::unique_ptr<CVideoEntity> plane = Plane(Clip("clip.mp4", 200), CVideoPlayback::TRANSPORT_LOOP);
    ASSERT_TRUE(plane->GetPlayback().IsValid());
    plane->update(0.04f, marker.Lost());
    Pause(200);
    EXPECT_EQ(Frame(*plane), -1) << "nothing plays before the marker is seen";

    plane->update(0.04f, marker.Seen());
    EXPECT_TRUE(plane->GetPlayback().IsPlaying());
    ASSERT_TRUE(WaitFor([&] { return Frame(*plane) >= 10; }));

    plane->update(0.04f, marker.Lost());
    EXPECT_FALSE(plane->GetPlayback().IsPlaying());
    Pause(150);  // a frame under way when the stop came is finished
    const int stoppedAt = Frame(*plane);
    Pause(400);
    EXPECT_EQ(Frame(*plane), stoppedAt) << "stopped while the marker is lost";

    plane->update(0.04f, marker.Seen());  // back after a short absence
    const int firstAfter = Frame(*plane);
    EXPECT_GE(firstAfter, stoppedAt);
    ASSERT_TRUE(WaitFor([&] { return Frame(*plane) >= stoppedAt + 5; })) << "plays on from where it stopped";
    EXPECT_EQ(plane->GetPlayback().GetRestarts(), 0);

    plane->update(0.04f, marker.Lost());
    Pause(150);
    const int beforeLongAbsence = Frame(*plane);
    ASSERT_GE(beforeLongAbsence, 15);
    plane->update(0.04f, marker.Seen(osg::Matrixd(), true));  // back after four seconds or more
    plane->update(0.04f, marker.Seen(osg::Matrixd(), true));  // the flag stays up for a moment
    EXPECT_EQ(plane->GetPlayback().GetRestarts(), 1);
    ASSERT_TRUE(WaitFor([&] { return Frame(*plane) >= 0 && Frame(*plane) < 8; })) << "from the beginning again";
    plane->update(0.04f, marker.Seen());
    EXPECT_TRUE(plane->GetPlayback().IsPlaying());
    plane->CleanUp();
}

TEST_F(VideoEntities, AClipPlayedOnceKeepsItsLastPictureAndALoopingOneStartsOver)
{
    std::unique_ptr<CVideoEntity> once = Plane(Clip("short.mp4", 8), CVideoPlayback::TRANSPORT_PLAY);
    std::unique_ptr<CVideoEntity> loop = Plane("short.mp4", CVideoPlayback::TRANSPORT_LOOP);
    auto seen = [&] {
        once->update(0.04f, marker.Seen());
        loop->update(0.04f, marker.Seen());
    };
    ASSERT_TRUE(WaitFor([&] { return once->GetPlayback().IsStill() && loop->GetPlayback().GetRestarts() >= 2; }, seen));
    EXPECT_EQ(Frame(*once), 7) << "the last picture stays";
    Pause(200);
    seen();
    EXPECT_EQ(Frame(*once), 7);
    EXPECT_EQ(CountLogged("CVideoEntity: short.mp4 played to its end; the last picture stays"), 1);

    once->update(0.04f, marker.Lost());
    once->update(0.04f, marker.Seen(osg::Matrixd(), true));
    EXPECT_FALSE(once->GetPlayback().IsStill()) << "a long absence starts it over";
    ASSERT_TRUE(WaitFor([&] { return Frame(*once) < 7; }));
    once->CleanUp();
    loop->CleanUp();
}

TEST_F(VideoEntities, ACutOffClipSaysSoOnceAndKeepsItsLastGoodPictureANonVideoLeavesAGreyPlane)
{
    Clip("whole.mkv", 60);  // Matroska: a cut-off file still starts as a video
    ASSERT_TRUE(vexa::media::testing::copyTruncated(Path("whole.mkv"), Path("cut.mkv"),
                                                    vexa::media::testing::fileSize(Path("whole.mkv")) / 2));
    std::unique_ptr<CVideoEntity> cut = Plane("cut.mkv", CVideoPlayback::TRANSPORT_LOOP);
    ASSERT_TRUE(cut->GetPlayback().IsValid()) << "the start of the file is a video";
    auto seen = [&] { cut->update(0.04f, marker.Seen()); };
    ASSERT_TRUE(WaitFor([&] { return cut->GetPlayback().IsStill(); }, seen)) << "ends early, and does not loop";
    const int last = Frame(*cut);
    EXPECT_GT(last, 0);
    EXPECT_LT(last, 59);
    for (int i = 0; i < 20; ++i) seen(), Pause(10);
    EXPECT_EQ(Frame(*cut), last);
    EXPECT_EQ(CountLogged("CVideoEntity: cut.mkv: "), 1);
    EXPECT_EQ(cut->GetPlayback().GetRestarts(), 0);
    cut->CleanUp();

    Write("notes.mp4", "these are notes, not a video\n");
    std::string output;
    std::unique_ptr<CVideoEntity> notes = Read("<FILE> notes.mp4\n", &output);
    EXPECT_EQ(output, "Unable to play video notes.mp4\n");
    EXPECT_FALSE(notes->GetPlayback().IsValid());
    const osg::Geometry* plane = notes->GetNode()->getChild(0)->asGeode()->getDrawable(0)->asGeometry();
    EXPECT_EQ((*static_cast<const osg::Vec4Array*>(plane->getColorArray()))[0], osg::Vec4f(0.5f, 0.5f, 0.5f, 1.f));
    notes->update(0.04f, marker.Seen());
    notes->update(0.04f, marker.Lost());
    EXPECT_EQ(Saved(*notes), Block({"<FILE> notes.mp4", "<SCALE> 40", "<TRANSPORT> LOOP", "<TYPE> 0"}))
        << "kept as written";
}

TEST_F(VideoEntities, AContentObjectPutsThePlaneUnderItsRootAndTheMaterialOnItsModel)
{
    Clip("clip.mp4", 5);
    WriteBoxMesh("box.osgt", 10.f);
    Write("object.dat",
          "<ENTITY>\n<NAME> SHOW\n<MODEL>\n<VIDEO_MAT>\n<FILE> clip.mp4\n</VIDEO_MAT>\n<FILE> box.osgt\n"
          "<VIDEO_MAT>\n<FILE> clip.mp4\n<USE_BLEND> 1\n<BLEND_COLOUR> 0 0 1\n<BLEND_TOL> 0.2\n</VIDEO_MAT>\n</MODEL>\n"
          "<VIDEO>\n<FILE> clip.mp4\n<BLEND> 1 0 1 0.1\n</VIDEO>\n</ENTITY>\n");
    std::unique_ptr<CContentObject> object(new CContentObject);
    COsgSettings reader;
    ASSERT_TRUE(reader.Load(Path("object.dat")) && reader.FindFirst("<ENTITY>"));
    const std::string output = Captured([&]() { object->Load(0, reader); });
    EXPECT_EQ(output, "");
    EXPECT_EQ(LoggedMessages(), std::vector<std::string>{
                                    "INFOMATION: Model must be loaded before applying an <VIDEO_MAT> node can be applied"});
    ASSERT_EQ(object->GetEntities().size(), 2u);
    auto* material = dynamic_cast<CVideoMaterialEntity*>(object->GetEntities()[0]);
    auto* video = dynamic_cast<CVideoEntity*>(object->GetEntities()[1]);
    ASSERT_TRUE(material && video);
    EXPECT_TRUE(material->GetSettings().blend);
    EXPECT_EQ(material->GetSettings().keyColour, osg::Vec3f(0, 0, 1));
    EXPECT_FLOAT_EQ(material->GetSettings().tolerance, 0.2f);
    const osg::StateSet* state = material->GetModel()->getStateSet();
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->getTextureAttribute(0, osg::StateAttribute::TEXTURE)) << "the clip is the model's texture";
    EXPECT_TRUE(state->getAttribute(osg::StateAttribute::PROGRAM)) << "keyed";
    EXPECT_TRUE(state->getUniform("KeyColour"));
    EXPECT_TRUE(object->GetRootNode()->containsNode(video->GetNode()));

    ASSERT_TRUE(object->SaveSettings("saved.dat"));
    const std::string saved = TestFolder::ReadFile("saved.dat");
    EXPECT_NE(saved.find("<BLEND_TOL> 0.2"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<BLEND> 1 0 1 0.1"), std::string::npos) << saved;
    object->CleanUp();
}
}
