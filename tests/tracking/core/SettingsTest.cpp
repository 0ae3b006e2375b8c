// Detector and pattern-set settings: ranges, defaults and lifecycles.
#include <gtest/gtest.h>

#include "TestScene.h"
#include "vxt/Version.h"

TEST(DetectorSettings, DefaultsAndRanges) {
    vxt::Detector d(320, 240);
    EXPECT_EQ(d.threshold(), 100);
    EXPECT_EQ(d.labelingMode(), 0);
    EXPECT_EQ(d.imageProcMode(), 0);
    EXPECT_EQ(d.patternDetectionMode(), 0);
    EXPECT_EQ(d.debugMode(), 0);
    EXPECT_FALSE(d.adaptiveThreshold());
    struct Case {
        bool (vxt::Detector::*set)(int);
        int (vxt::Detector::*get)() const;
        int lo, hi;
    };
    const Case cases[] = {
        {&vxt::Detector::setThreshold, &vxt::Detector::threshold, 0, 255},
        {&vxt::Detector::setLabelingMode, &vxt::Detector::labelingMode, 0, 1},
        {&vxt::Detector::setImageProcMode, &vxt::Detector::imageProcMode, 0, 1},
        {&vxt::Detector::setPatternDetectionMode, &vxt::Detector::patternDetectionMode, 0, 2},
        {&vxt::Detector::setDebugMode, &vxt::Detector::debugMode, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE((d.*c.set)(c.hi));
        EXPECT_EQ((d.*c.get)(), c.hi);
        EXPECT_FALSE((d.*c.set)(c.hi + 1));
        EXPECT_FALSE((d.*c.set)(c.lo - 1));
        EXPECT_EQ((d.*c.get)(), c.hi) << "a refused value changes nothing";
        EXPECT_TRUE((d.*c.set)(c.lo));
    }
    for (int code = 1; code <= 9; ++code) EXPECT_TRUE(d.setPixelFormat(code));
    EXPECT_FALSE(d.setPixelFormat(0));
    EXPECT_FALSE(d.setPixelFormat(10));
    EXPECT_EQ(d.pixelFormat(), vxt::PixelFormat::YUYV);
    vxt::DetectorParams p = d.params();
    p.quad.searchRadius = 50;
    EXPECT_EQ(d.setParams(p).message(), "candidate square settings out of range");
    p = d.params();
    p.binarize.tileSize = 2;
    EXPECT_EQ(d.setParams(p).message(), "adaptive threshold settings out of range");
    EXPECT_STREQ(vxt::kVersion, "1.0.0");
}

TEST(DetectorSettings, DetectingTwiceAndSwitchingModesGivesTheSameResult) {
    vxttest::TestPatterns pats(2);
    vxtbench::FrameRenderer r(320, 240);
    r.fill(200);
    double c[4][2];
    vxtbench::squareCorners(160, 120, 90, 20, c);
    r.drawMarker(pats.images[1], c, vxtbench::MarkerStyle());
    std::vector<std::uint8_t> px;
    r.toFormat(vxt::PixelFormat::BGR, px);
    vxt::Detector d(320, 240);
    d.attachPatternSet(&pats.set);
    ASSERT_TRUE(d.detect(px.data()).ok());
    ASSERT_EQ(d.markerCount(), 1);
    vxt::MarkerInfo first = d.markers()[0];
    for (int mode : {1, 0, 1, 0}) {
        ASSERT_TRUE(d.setImageProcMode(mode));
        ASSERT_TRUE(d.detect(px.data()).ok());
        ASSERT_EQ(d.markerCount(), 1);
        EXPECT_EQ(d.markers()[0].id, first.id);
        EXPECT_EQ(d.markers()[0].dir, first.dir);
        EXPECT_NEAR(d.markers()[0].vertex[0][0], first.vertex[0][0], 0.05);
    }
    // A detector sized for one frame size also takes another.
    vxtbench::FrameRenderer big(640, 480);
    big.fill(200);
    vxtbench::squareCorners(400, 300, 120, 20, c);
    big.drawMarker(pats.images[0], c, vxtbench::MarkerStyle());
    std::vector<std::uint8_t> bigPx;
    big.toFormat(vxt::PixelFormat::BGR, bigPx);
    vxt::ImageView f{bigPx.data(), 640, 480, 0, vxt::PixelFormat::BGR};
    ASSERT_TRUE(d.detect(f).ok());
    ASSERT_EQ(d.markerCount(), 1);
    EXPECT_EQ(d.markers()[0].id, 0);
}

TEST(DetectorSettings, DebugModeWritesEachStageImage) {
    vxttest::TempDir dir;
    vxtbench::FrameRenderer r(160, 120);
    r.fill(200);
    std::vector<std::uint8_t> px;
    r.toFormat(vxt::PixelFormat::BGR, px);
    vxt::Detector d(160, 120);
    d.setDebugFolder(dir.path);
    ASSERT_TRUE(d.detect(px.data()).ok());
    EXPECT_EQ(vxttest::readFile(dir.file("step2-mask.pgm")), "") << "debug off: nothing written";
    ASSERT_TRUE(d.setDebugMode(1));
    ASSERT_TRUE(d.setImageProcMode(1));
    ASSERT_TRUE(d.detect(px.data()).ok());
    for (const char* f : {"step1-grey.pgm", "step1-half.pgm", "step2-mask.pgm", "step2-labels.pgm",
                          "step3-candidates.pgm", "step5-results.pgm"})
        EXPECT_EQ(vxttest::readFile(dir.file(f)).rfind("P5\n", 0), 0u) << f;
    EXPECT_EQ(vxttest::readFile(dir.file("step1-grey.pgm")).size(), std::string("P5\n160 120\n255\n").size() + 160 * 120);
}

TEST(PatternSetLifecycle, FreeActivateTwice) {
    vxt::PatternSet set;
    int id = set.add(vxtbench::makeTestPattern(3));
    ASSERT_EQ(id, 0);
    EXPECT_TRUE(set.deactivate(id));
    EXPECT_TRUE(set.deactivate(id));
    EXPECT_FALSE(set.isActive(id));
    EXPECT_TRUE(set.activate(id));
    EXPECT_TRUE(set.activate(id));
    EXPECT_TRUE(set.isActive(id));
    EXPECT_TRUE(set.free(id));
    EXPECT_FALSE(set.free(id)) << "freeing twice is refused";
    EXPECT_FALSE(set.activate(id));
    EXPECT_FALSE(set.isLoaded(-1));
    EXPECT_FALSE(set.free(50));
    EXPECT_EQ(set.templates(id), nullptr);
    // A single-colour picture can never match.
    vxt::PatternImage flat;
    int fid = set.add(flat);
    ASSERT_GE(fid, 0);
    EXPECT_FALSE(set.templates(fid)->usable);
}

TEST(DetectorSettings, RedetectReusesTheLastFrameAtANewThreshold) {
    vxttest::TestPatterns pats(1);
    vxtbench::FrameRenderer r(320, 240);
    r.fill(200);
    double c[4][2];
    vxtbench::squareCorners(160, 120, 100, 15, c);
    r.drawMarker(pats.images[0], c, vxtbench::MarkerStyle());
    std::vector<std::uint8_t> px;
    r.toFormat(vxt::PixelFormat::BGR, px);
    vxt::Detector d(320, 240);
    d.attachPatternSet(&pats.set);
    EXPECT_EQ(d.redetect().message(), "no frame to detect in again");
    ASSERT_TRUE(d.setThreshold(5));  // nothing is darker than 5
    ASSERT_TRUE(d.detect(px.data()).ok());
    EXPECT_EQ(d.markerCount(), 0);
    ASSERT_TRUE(d.setThreshold(100));
    ASSERT_TRUE(d.redetect().ok());
    ASSERT_EQ(d.markerCount(), 1);
    EXPECT_EQ(d.markers()[0].id, 0);
    EXPECT_EQ(d.times().ms[vxt::StageTimes::Luminance], 0.0);
    ASSERT_TRUE(d.setImageProcMode(1));  // a new mode needs the half-size image: a full detection
    ASSERT_TRUE(d.redetect().ok());
    ASSERT_EQ(d.markerCount(), 1);
}
