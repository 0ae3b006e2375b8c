// Particle trails: how many particles start per update and when, the random
// ranges, how a particle moves, colours, fades and goes out, the blending,
// the messages of bad blocks, and a trail following a named node of a model
// loaded by a content object.
#include "CContentObject.h"
#include "COsgSettings.h"
#include "CTraceParticleEntity.h"
#include "MediaTestSupport.h"
#include "ObjectTestSupport.h"

#include <osg/BlendFunc>
#include <osg/Geode>
#include <osg/MatrixTransform>
#include <osg/ShapeDrawable>
#include <osgDB/WriteFile>

#include <memory>

namespace
{
const char* const kWho = "CMSObject: LoadTraceParticleSystem: Error: ";

class TraceParticles : public ContentFolder
{
protected:
    void SetUp() override
    {
        ContentFolder::SetUp();
        model = new osg::Group;
        node = new osg::MatrixTransform;
        node->setName("Tip");
        model->addChild(node.get());
        osg::ref_ptr<osg::Geode> tip = new osg::Geode;  // a model file must have something to show
        tip->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3f(), 1.f)));
        node->addChild(tip.get());
        settings.count = 10;
        settings.nodeName = "Tip";
        settings.minLife = settings.maxLife = 10.f;
    }
    std::unique_ptr<CTraceParticleEntity> Make()
    {
        std::unique_ptr<CTraceParticleEntity> trail(CTraceParticleEntity::Make(settings, model.get(), model.get()));
        if (trail) trail->GetRandom().Seed(1234);
        return trail;
    }
    // Updates `times` times with the node still; the active counts after each.
    std::vector<int> StillUpdates(CTraceParticleEntity& trail, int times, bool visible = true)
    {
        std::vector<int> counts;
        for (int i = 0; i < times; ++i)
        {
            trail.update(0.04f, visible ? marker.Seen() : marker.Lost());
            counts.push_back(trail.ActiveCount());
        }
        return counts;
    }

    osg::ref_ptr<osg::Group> model;
    osg::ref_ptr<osg::MatrixTransform> node;
    TraceParticleSettings settings;
    MarkerScript marker;
};

TEST_F(TraceParticles, AStillNodeSpawnsTwoAnUpdateWithTheDefaultThresholdAndNoneAboveIt)
{
    std::unique_ptr<CTraceParticleEntity> trail = Make();
    ASSERT_TRUE(trail);
    EXPECT_EQ(StillUpdates(*trail, 6), (std::vector<int>{2, 4, 6, 8, 10, 10})) << "2 a frame until all ten are out";

    settings.distanceThreshold = 0.5f;
    std::unique_ptr<CTraceParticleEntity> still = Make();
    EXPECT_EQ(StillUpdates(*still, 4), (std::vector<int>{0, 0, 0, 0}));
    // Moving a whole unit an update passes the threshold; the first update
    // only learns where the node is.
    std::vector<int> counts;
    for (int i = 0; i < 3; ++i)
    {
        node->setMatrix(osg::Matrixd::translate(double(i), 0, 0));
        still->update(0.04f, marker.Seen());
        counts.push_back(still->ActiveCount());
    }
    EXPECT_EQ(counts, (std::vector<int>{0, 2, 4}));
    EXPECT_FLOAT_EQ(still->GetDistanceMoved(), 1.f);
    EXPECT_NEAR((still->GetTrailDirection() - osg::Vec3f(-1, 0, 0)).length(), 0.f, 1e-6f)
        << "the trail points back where the node came from";
}

TEST_F(TraceParticles, NothingStartsWhileTheMarkerIsLostAndSpawnsAreCappedAndPreallocated)
{
    settings.maxSpawnPerFrame = 3;
    std::unique_ptr<CTraceParticleEntity> trail = Make();
    EXPECT_EQ(StillUpdates(*trail, 3, false), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(trail->GetNode()->getNumChildren(), 10u);
    const TraceParticle* records = trail->GetParticles().data();
    EXPECT_EQ(StillUpdates(*trail, 4), (std::vector<int>{3, 6, 9, 10}));
    EXPECT_EQ(trail->GetParticles().data(), records) << "spawning reuses the records made at build time";
    EXPECT_EQ(trail->GetNode()->getNumChildren(), 10u);
}

TEST_F(TraceParticles, NewParticlesTakeTheirValuesFromTheRangesWhateverTheirOrder)
{
    settings.count = 400;
    settings.maxSpawnPerFrame = 400;
    settings.minLife = 2.f, settings.maxLife = 1.f;  // reversed: still between 1 and 2
    settings.minSpeed = settings.maxSpeed = 0.f;
    settings.minScale = 0.5f, settings.maxScale = 0.25f;
    settings.minOffset = 3.f, settings.maxOffset = 5.f;
    settings.startColour = osg::Vec3f(0.5f, 0.5f, 0.5f);
    settings.colourVariation = 0.1f;
    node->setMatrix(osg::Matrixd::translate(10, 20, 30));
    std::unique_ptr<CTraceParticleEntity> trail = Make();
    trail->update(0.04f, marker.Seen(osg::Matrixd::translate(100, 0, -500)));
    ASSERT_EQ(trail->ActiveCount(), 400);
    const osg::Vec3f p1(110, 20, -470);  // the node carried through the pose
    float lowestLife = 9, highestLife = 0;
    for (const TraceParticle& p : trail->GetParticles())
    {
        lowestLife = std::min(lowestLife, p.life), highestLife = std::max(highestLife, p.life);
        EXPECT_TRUE(p.life >= 1.f && p.life < 2.f) << p.life;
        EXPECT_TRUE(p.scale >= 0.25f && p.scale < 0.5f) << p.scale;
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_TRUE(p.position[i] - p1[i] >= 3.f && p.position[i] - p1[i] < 5.f) << i << " " << p.position[i];
            EXPECT_TRUE(p.velocity[i] >= -1.f && p.velocity[i] < 1.f) << "speed 0: only the random push";
            EXPECT_TRUE(p.startColour[i] >= 0.4f - 1e-6f && p.startColour[i] < 0.6f) << p.startColour[i];
            EXPECT_TRUE(p.endColour[i] >= -0.1f - 1e-6f && p.endColour[i] < 0.1f) << p.endColour[i];
        }
        EXPECT_EQ(p.node->getNodeMask(), ~0u);
    }
    EXPECT_LT(lowestLife, 1.1f);
    EXPECT_GT(highestLife, 1.9f);
}

TEST_F(TraceParticles, AParticleIsPushedMovedColouredAndFadesThenGoesOutWhenItsAgeReachesItsLife)
{
    settings.count = 1;
    settings.minLife = settings.maxLife = 1.f;
    settings.minSpeed = settings.maxSpeed = 0.f;
    settings.minScale = settings.maxScale = 2.f;
    settings.startColour = osg::Vec3f(1, 0, 0);
    settings.endColour = osg::Vec3f(0, 0, 1);
    settings.colourVariation = 0.f;
    settings.gravity = osg::Vec3f(0, -2, 0);
    settings.wind = osg::Vec3f(1, 0, 0.5f);
    std::unique_ptr<CTraceParticleEntity> trail = Make();
    trail->update(0.25f, marker.Seen());
    const TraceParticle& p = trail->GetParticles()[0];
    ASSERT_TRUE(p.active);
    EXPECT_FLOAT_EQ(p.age, 0.f);
    const osg::Vec3f v0 = p.velocity, x0 = p.position;

    trail->update(0.5f, marker.Seen());
    const osg::Vec3f v1 = v0 + osg::Vec3f(2, -2, 1);  // gravity + wind x scale, once per update
    EXPECT_NEAR((p.velocity - v1).length(), 0.f, 1e-5f);
    EXPECT_NEAR((p.position - (x0 + v1 * 0.5f)).length(), 0.f, 1e-4f);
    const osg::Vec4f halfway = p.material->getDiffuse(osg::Material::FRONT);
    EXPECT_NEAR((halfway - osg::Vec4f(0.5f, 0, 0.5f, 0.5f)).length(), 0.f, 1e-5f) << "half way in colour, half faded";
    EXPECT_EQ(p.material->getSpecular(osg::Material::FRONT), osg::Vec4f(0, 0, 0, 1));
    EXPECT_EQ(p.material->getEmission(osg::Material::FRONT), osg::Vec4f(0, 0, 0, 1));
    EXPECT_EQ(p.material->getColorMode(), osg::Material::OFF);
    EXPECT_EQ(p.node->getMatrix(), osg::Matrixd::scale(2, 2, 2) * osg::Matrixd::translate(p.position));
    EXPECT_NEAR((p.ColourAt(0.75f) - osg::Vec4f(0.25f, 0, 0.75f, 0.25f)).length(), 0.f, 1e-5f);

    node->setMatrix(osg::Matrixd::translate(7, 8, 9));
    settings.maxSpawnPerFrame = 0;
    trail->update(0.5f, marker.Lost());  // age 1.0 = life
    EXPECT_FALSE(p.active) << "out in the update its age reaches its life";
    EXPECT_EQ(p.node->getNodeMask(), 0u);
    EXPECT_EQ(p.node->getMatrix(), osg::Matrixd::scale(2, 2, 2) * osg::Matrixd::translate(7, 8, 9))
        << "waits hidden at the emitter";
}

TEST_F(TraceParticles, TheEmitterIsTheNodeSeenByTheCameraInModeZeroAndOnTheModelOtherwise)
{
    node->setMatrix(osg::Matrixd::translate(1, 2, 3));
    const osg::Matrixd pose = osg::Matrixd::rotate(osg::PI_2, osg::Z_AXIS) * osg::Matrixd::translate(0, 0, -400);
    std::unique_ptr<CTraceParticleEntity> seen = Make();
    seen->update(0.04f, marker.Seen(pose));
    EXPECT_NEAR((seen->GetEmitterPosition() - osg::Vec3f(-2, 1, -397)).length(), 0.f, 1e-4f);
    settings.mode = 1;
    std::unique_ptr<CTraceParticleEntity> onModel = Make();
    onModel->update(0.04f, marker.Seen(pose));
    EXPECT_NEAR((onModel->GetEmitterPosition() - osg::Vec3f(1, 2, 3)).length(), 0.f, 1e-5f);
}

TEST_F(TraceParticles, EmissiveTrailsAddTheirLightOthersBlendOverThePicture)
{
    const struct
    {
        bool emissive;
        GLenum destination;
    } cases[] = {{false, GL_ONE_MINUS_SRC_ALPHA}, {true, GL_ONE}};
    for (const auto& c : cases)
    {
        settings.emissive = c.emissive;
        std::unique_ptr<CTraceParticleEntity> trail = Make();
        const osg::BlendFunc* blend = dynamic_cast<const osg::BlendFunc*>(
            trail->GetNode()->getStateSet()->getAttribute(osg::StateAttribute::BLENDFUNC));
        ASSERT_TRUE(blend);
        EXPECT_EQ(blend->getSource(), GLenum(GL_SRC_ALPHA));
        EXPECT_EQ(blend->getSourceAlpha(), GLenum(GL_SRC_ALPHA));
        EXPECT_EQ(blend->getDestination(), c.destination);
        EXPECT_EQ(blend->getDestinationAlpha(), c.destination);
    }
}

TEST_F(TraceParticles, BadBlocksMakeNoTrailAndSayWhy)
{
    TraceParticleSettings noCount = settings;
    noCount.count = 0;
    EXPECT_FALSE(CTraceParticleEntity::Make(noCount, model.get(), model.get()));
    TraceParticleSettings onGroup = settings;
    onGroup.nodeName.clear();  // the model itself, a group
    EXPECT_FALSE(CTraceParticleEntity::Make(onGroup, model.get(), model.get()));
    TraceParticleSettings missing = settings;
    missing.nodeName = "Nowhere";
    EXPECT_FALSE(CTraceParticleEntity::Make(missing, model.get(), model.get()));
    const std::vector<std::string> expected = {
        std::string(kWho) + "A particle count must be given <COUNT> x",
        std::string(kWho) + "Node is not a transform",
        std::string(kWho) + "The model has no node named \"Nowhere\""};
    EXPECT_EQ(LoggedMessages(), expected);
}

TEST_F(TraceParticles, AContentObjectBuildsTheTrailOnTheNamedNodeOfItsModelAndKeepsTheBlock)
{
    osgDB::writeNodeFile(*model, Path("arm.osgt"));
    const std::string block = "<TRACE_PARTICLE>\n<NODE_NAME> Tip\n<MAX_SPAWN_PER_FRAME> 3\n<WIND> 1 2 x\n</TRACE_PARTICLE>\n";
    Write("object.dat", "<ENTITY>\n<NAME> ARM\n<MODEL>\n" + block +
                            "<FILE> arm.osgt\n<TRACE_PARTICLE>\n<COUNT> 5\n<NODE_NAME> Tip\n<MAX_SPAWN_PER_FRAME> 3\n"
                            "</TRACE_PARTICLE>\n" +
                            block + "</MODEL>\n</ENTITY>\n");
    std::unique_ptr<CContentObject> object(new CContentObject);
    COsgSettings reader;
    ASSERT_TRUE(reader.Load(Path("object.dat")) && reader.FindFirst("<ENTITY>"));
    const std::string output = Captured([&]() { object->Load(0, reader); });
    EXPECT_EQ(CountLines(output, "Warning! <WIND> expects 3 numbers, found \"1 2 x\""), 1) << output;
    const std::vector<std::string> expected = {
        std::string(kWho) + "Model must be loaded before applying a <TRACE_PARTICLE> node can be applied",
        std::string(kWho) + "A particle count must be given <COUNT> x"};
    EXPECT_EQ(LoggedMessages(), expected);

    CTraceParticleEntity* trail = nullptr;
    for (CMarkerEntity* entity : object->GetEntities())
        if (auto* t = dynamic_cast<CTraceParticleEntity*>(entity)) trail = t;
    ASSERT_TRUE(trail);
    EXPECT_EQ(trail->GetSettings().count, 5);
    EXPECT_TRUE(object->GetSecondNode()->containsNode(trail->GetNode()));
    osg::MatrixTransform* tip = dynamic_cast<osg::MatrixTransform*>(FindNamed(object->GetRootNode(), "Tip"));
    ASSERT_TRUE(tip);
    tip->setMatrix(osg::Matrixd::translate(0, 0, 40));
    trail->update(0.04f, marker.Seen());
    EXPECT_EQ(trail->ActiveCount(), 3);
    EXPECT_NEAR(trail->GetEmitterPosition().z(), 40.f, 1e-3f);

    ASSERT_TRUE(object->SaveSettings("saved.dat"));
    const std::string saved = TestFolder::ReadFile("saved.dat");
    EXPECT_NE(saved.find("<COUNT> 5"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<MAX_SPAWN_PER_FRAME> 3"), std::string::npos) << saved;
}
}
