// Bubbles: the life cycle of the twenty blobs with a seeded generator (first
// starts, rising, the one change of drift, birth again at the marker, going
// out while it is lost), the uniforms the shaders read, and the entity's
// description, its line written back and its place in a content object.
#include "CBubbleEntity.h"
#include "CContentObject.h"
#include "COsgSettings.h"
#include "MediaTestSupport.h"
#include "ObjectTestSupport.h"

#include <osg/Program>

#include <algorithm>
#include <memory>

namespace
{
const float kStep = 0.05f;

class Bubbles : public ContentFolder
{
protected:
    // Updates for `seconds` with the marker at `pose` (or lost).
    void Run(CBubbleEntity& bubbles, float seconds, bool visible = true, const osg::Matrixd& pose = osg::Matrixd())
    {
        for (float t = 0; t < seconds; t += kStep) bubbles.update(kStep, visible ? marker.Seen(pose) : marker.Lost());
    }
    static int Active(const CBubbleEntity& bubbles)
    {
        int count = 0;
        for (const BubbleBlob& blob : bubbles.GetBlobs()) count += blob.active && blob.size > 0.f;
        return count;
    }
    static std::string Text(char* text)
    {
        std::unique_ptr<char[]> owned(text);
        return owned.get();
    }

    MarkerScript marker;
};

TEST_F(Bubbles, TheSameSeedGivesTheSameBubblesAndTheFirstOnesStartOneAfterAnother)
{
    CBubbleEntity a(osg::Vec3f(0, 0, 30), 7), b(osg::Vec3f(0, 0, 30), 7), c(osg::Vec3f(0, 0, 30), 8);
    ASSERT_EQ(a.GetBlobs().size(), 20u);
    EXPECT_EQ(Active(a), 0) << "no bubble before the marker is seen";
    std::vector<int> started;
    for (int second = 0; second < 11; ++second)
    {
        Run(a, 1.f), Run(b, 1.f), Run(c, 1.f);
        started.push_back(Active(a));
    }
    EXPECT_TRUE(std::is_sorted(started.begin(), started.end())) << ::testing::PrintToString(started);
    EXPECT_TRUE(std::any_of(started.begin(), started.end(), [](int n) { return n > 0 && n < 20; }))
        << "not all at once: " << ::testing::PrintToString(started);
    EXPECT_EQ(started.back(), 20) << "all in play within the first ten seconds";
    for (size_t i = 0; i < 20; ++i)
    {
        EXPECT_EQ(a.GetBlobs()[i].position, b.GetBlobs()[i].position);
        EXPECT_EQ(a.GetBlobs()[i].drift, b.GetBlobs()[i].drift);
    }
    int same = 0;
    for (size_t i = 0; i < 20; ++i) same += a.GetBlobs()[i].position == c.GetBlobs()[i].position;
    EXPECT_LT(same, 20) << "another seed, other bubbles";
}

TEST_F(Bubbles, ABlobIsBornAtTheMarkerRisesChangesItsDriftOnceAndIsBornAgain)
{
    CBubbleEntity bubbles(osg::Vec3f(0, 0, 30), 99);
    const osg::Matrixd pose = osg::Matrixd::translate(100, -20, -500);
    // Until the first blob is born.
    const BubbleBlob* blob = nullptr;
    for (int i = 0; i < 400 && !blob; ++i)
    {
        bubbles.update(kStep, marker.Seen(pose));
        for (const BubbleBlob& b : bubbles.GetBlobs())
            if (b.size > 0.f && b.age == 0.f) blob = &b;
    }
    ASSERT_TRUE(blob);
    const osg::Vec3f origin(100, -20, -470);
    EXPECT_EQ(bubbles.GetOrigin(), origin);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(blob->position[i] >= origin[i] - 1.f && blob->position[i] < origin[i] + 1.f);
    EXPECT_TRUE(blob->size >= 0.2f && blob->size < 1.f) << blob->size;
    EXPECT_TRUE(blob->lifetime >= 10.f && blob->lifetime < 12.f) << blob->lifetime;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(blob->drift[i] >= -5.f && blob->drift[i] < 5.f);
    EXPECT_FALSE(blob->redirected);
    EXPECT_EQ(blob->node->getNodeMask(), ~0u);

    // One step: velocity (drift x, drift y + 30, drift z) times size times dt.
    const osg::Vec3f before = blob->position, drift = blob->drift;
    bubbles.update(kStep, marker.Seen(pose));
    const osg::Vec3f expected = before + osg::Vec3f(drift.x(), drift.y() + 30.f, drift.z()) * (blob->size * kStep);
    EXPECT_NEAR((blob->position - expected).length(), 0.f, 1e-4f);
    EXPECT_EQ(blob->node->getMatrix(),
              osg::Matrixd::scale(blob->size, blob->size, blob->size) * osg::Matrixd::translate(blob->position));

    // The drift changes once, after half its life.
    int changes = 0;
    osg::Vec3f last = blob->drift;
    const float lifetime = blob->lifetime;
    while (blob->age + kStep < lifetime)
    {
        bubbles.update(kStep, marker.Seen(pose));
        if (blob->drift == last) continue;
        ++changes, last = blob->drift;
        EXPECT_GT(blob->age, lifetime / 2);
    }
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(blob->redirected);
    bubbles.update(kStep, marker.Seen(pose));
    EXPECT_EQ(blob->age, 0.f) << "born again at the end of its life";
    EXPECT_FALSE(blob->redirected);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(blob->position[i] >= origin[i] - 1.f && blob->position[i] < origin[i] + 1.f);
}

TEST_F(Bubbles, WhileTheMarkerIsLostBubblesRiseOnButNoneIsBornAgain)
{
    CBubbleEntity bubbles(osg::Vec3f(), 5);
    Run(bubbles, 11.f);
    ASSERT_EQ(Active(bubbles), 20);
    std::vector<osg::Vec3f> before;
    for (const BubbleBlob& blob : bubbles.GetBlobs()) before.push_back(blob.position);
    bubbles.update(kStep, marker.Lost());
    for (size_t i = 0; i < 20; ++i)
        if (bubbles.GetBlobs()[i].active) EXPECT_NE(bubbles.GetBlobs()[i].position, before[i]) << "still rising";
    Run(bubbles, 12.f, false);
    EXPECT_EQ(Active(bubbles), 0);
    for (const BubbleBlob& blob : bubbles.GetBlobs()) EXPECT_EQ(blob.node->getNodeMask(), 0u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(bubbles.GetBlobbyPositions()->getNumElements(), 20u);
    osg::Vec4f place;
    bubbles.GetBlobbyPositions()->getElement(3, place);
    EXPECT_EQ(place.w(), 0.f) << "a bubble out of play has no radius for its neighbours";
    Run(bubbles, 1.f);
    EXPECT_EQ(Active(bubbles), 20) << "all born again once the marker is back";
}

TEST_F(Bubbles, TheBubbleNodeCarriesTheProgramAndEveryUniformTheShadersRead)
{
    CBubbleEntity bubbles(osg::Vec3f(), 1);
    EXPECT_EQ(bubbles.GetNode()->getName(), "Bubble");
    const osg::StateSet* state = bubbles.GetNode()->getStateSet();
    ASSERT_TRUE(state);
    const osg::Program* program =
        dynamic_cast<const osg::Program*>(state->getAttribute(osg::StateAttribute::PROGRAM));
    ASSERT_TRUE(program) << "the shaders are found in the working folder";
    EXPECT_EQ(program->getNumShaders(), 2u);
    for (const char* name : {"BlobbyCount", "BlobbyPos[0]", "BailOut", "RadiusOfInfluence", "RainbowMap", "BaseColor",
                             "FrameWidth", "FrameHeight", "MixRatio", "EnvMap", "RefractionMap", "LightPos"})
        EXPECT_TRUE(state->getUniform(name)) << name;
    int units[3] = {-1, -1, -1};
    state->getUniform("RainbowMap")->get(units[0]);
    state->getUniform("RefractionMap")->get(units[1]);
    state->getUniform("EnvMap")->get(units[2]);
    EXPECT_EQ(units[0] + units[1] + units[2], 3) << "three different units";
    EXPECT_TRUE(state->getTextureAttribute(unsigned(units[1]), osg::StateAttribute::TEXTURE))
        << "the live picture behind the bubbles";
    for (const BubbleBlob& blob : bubbles.GetBlobs())
        EXPECT_TRUE(blob.node->getStateSet() && blob.node->getStateSet()->getUniform("LocalBlobbyPos"));
}

TEST_F(Bubbles, TheEntityDescribesItselfAndAContentObjectWritesItsLineBack)
{
    CBubbleEntity bubbles(osg::Vec3f(1.5f, -2, 30));
    EXPECT_EQ(Text(bubbles.GetDescription()), "BUBBLES 1.500000 -2.000000 30.000000");

    Write("object.dat", "<ENTITY>\n<NAME> FIZZ\n<BUBBLES> 0 0 30\n<BUBBLES> 1 2\n</ENTITY>\n");
    std::unique_ptr<CContentObject> object(new CContentObject);
    COsgSettings reader;
    ASSERT_TRUE(reader.Load(Path("object.dat")) && reader.FindFirst("<ENTITY>"));
    const std::string output = Captured([&]() { object->Load(0, reader); });
    ASSERT_EQ(object->GetEntities().size(), 2u) << output;
    auto* first = dynamic_cast<CBubbleEntity*>(object->GetEntities()[0]);
    ASSERT_TRUE(first);
    EXPECT_TRUE(object->GetSecondNode()->containsNode(first->GetNode()));
    ASSERT_TRUE(object->SaveSettings("saved.dat"));
    const std::string saved = TestFolder::ReadFile("saved.dat");
    EXPECT_NE(saved.find("<BUBBLES> 0.000000 0.000000 30.000000"), std::string::npos) << saved;
}
}
