// Pattern files made by "vexamark-marker pattern": upright samples of the inner
// picture in the tracking core's format, and recognised by the core's detector on
// rendered footage with the right id, direction and corners.

#include <gtest/gtest.h>

#include <cmath>

#include "PngFile.h"
#include "SynthRun.h"
#include "ToolTestSupport.h"
#include "vxt/Detector.h"
#include "vxt/PatternImage.h"
#include "vxt/PatternSet.h"

namespace {

const std::string kTool = VEXAMARK_MARKER_EXE;

TEST(PatternTraining, PatternIsTheUprightInnerPicture) {
    vxtest::TempDir dir;
    vxtools::Image inner(64, 64, 255);
    inner.fillRect(0, 0, 32, 16, 0, 0, 200);  // blue band across the top-left quarter's upper half
    std::string error;
    ASSERT_TRUE(vxtools::PngFile::write(dir.file("in.png"), inner, error));
    const auto r = vxtest::runCommand(kTool + " pattern " + dir.file("in.png") + " " + dir.file("in.patt"));
    ASSERT_EQ(r.status, 0) << r.output;
    vxt::PatternImage p;
    const vxt::Status st = p.load(dir.file("in.patt"));
    ASSERT_TRUE(st.ok()) << st.message();
    EXPECT_LT(p.at(1, 1, 0), 40);   // blue at the printed top-left
    EXPECT_GT(p.at(1, 1, 2), 160);
    EXPECT_GT(p.at(1, 14, 0), 230);  // white at the top-right
    EXPECT_GT(p.at(14, 1, 0), 230);  // white at the bottom-left
}

TEST(PatternTraining, BadInputsAreReported) {
    vxtest::TempDir dir;
    auto r = vxtest::runCommand(kTool + " pattern " + dir.file("none.png") + " " + dir.file("x.patt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "vexamark-marker: error: cannot open '" + dir.file("none.png") + "': No such file or directory\n");
    r = vxtest::runCommand(kTool + " pattern design:quad " + dir.file("no/such/x.patt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.rfind("vexamark-marker: error: cannot write '" + dir.file("no/such/x.patt") + "': ", 0), 0u)
        << r.output;
    r = vxtest::runCommand(kTool + " pattern design:quad");
    EXPECT_EQ(r.status, 2);
}

TEST(PatternTraining, DetectorFindsRenderedMarkersWithTheTruthCorners) {
    vxtest::TempDir dir;
    vxt::PatternSet set;
    vxsynth::SynthScene scene;
    scene.frames = 3;
    scene.seed = 11;
    std::vector<int> ids;
    for (const char* n : {"corvane", "glyph-f", "arrow", "sail"}) {
        const std::string patt = dir.file(std::string(n) + ".patt");
        const auto r = vxtest::runCommand(kTool + " pattern design:" + n + " " + patt);
        ASSERT_EQ(r.status, 0) << r.output;
        ids.push_back(set.load(patt));
        ASSERT_GE(ids.back(), 0);
        vxsynth::MarkerSpec m;
        m.name = n;
        m.source = std::string("design:") + n;
        scene.markers.push_back(m);
    }
    vxsynth::SynthRun run(scene);
    std::string error;
    ASSERT_TRUE(run.prepare(error)) << error;
    vxtools::Image pic;
    std::vector<vxsynth::TruthTable::Row> rows;
    double sum = 0;
    int corners = 0;
    for (int f = 0; f < scene.frames; ++f) {
        run.renderFrame(f, pic, rows);
        vxt::Detector det(pic.width(), pic.height());
        ASSERT_TRUE(det.setPixelFormat(1));
        det.attachPatternSet(&set);
        vxt::ImageView view;
        view.data = pic.data().data();
        view.width = pic.width();
        view.height = pic.height();
        view.format = vxt::PixelFormat::RGB;
        ASSERT_TRUE(det.detect(view).ok());
        for (size_t i = 0; i < rows.size(); ++i) {
            ASSERT_TRUE(rows[i].visible);
            const vxt::MarkerInfo* found = nullptr;
            for (int k = 0; k < det.markerCount(); ++k)
                if (det.markers()[k].id == ids[i]) found = &det.markers()[k];
            ASSERT_NE(found, nullptr) << rows[i].marker << " frame " << f;
            for (int k = 0; k < 4; ++k) {  // the detector's first corner is the printed top-left
                const double* v = found->vertex[(found->dir + k) % 4];
                const double e = std::hypot(v[0] - rows[i].corners[k][0], v[1] - rows[i].corners[k][1]);
                EXPECT_LT(e, 0.3) << rows[i].marker << " corner " << k;
                sum += e;
                ++corners;
            }
        }
    }
    EXPECT_LT(sum / corners, 0.05);
}

}  // namespace
