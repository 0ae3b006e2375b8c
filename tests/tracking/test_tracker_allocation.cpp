// Once warmed up, the tracker's per-frame update allocates nothing on the
// heap: with its markers in view, with none in view (the threshold search
// runs and fails), and when the search finds them again. This test program
// counts every operator new.
#include "MultiMarker.h"
#include "SingleMarker.h"
#include "SquareTracker.h"
#include "TransformFilterCallback.h"

#include "TrackerScene.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/stat.h>

namespace
{
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t n)
{
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n)
{
    return operator new(n);
}
// The non-throwing forms too: every form a program replaces must come from
// the same allocator its deletes return memory to (under AddressSanitizer the
// library's own forms would not).
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept
{
    return operator new(n, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{
TEST(TrackerAllocation, UpdatesAllocateNothingAfterWarmUp)
{
    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    ::mkdir((folder / "Data").c_str(), 0755);
    TrackerScene scene{folder};
    TestFolder::WriteFile(folder / "multi.dat",
                          "<MULTI_MARKER>\n    <VERSION> 1\n    <MARKER>\n        <PATTERN> marker2.patt\n"
                          "        <WIDTH> 60\n        <CENTER> 0 0\n"
                          "        <PLACEMENT> 1 0 0 0 0 1 0 0 0 0 1 0\n    </MARKER>\n</MULTI_MARKER>\n");
    osg::ref_ptr<SquareTracker> tracker = new SquareTracker;
    ASSERT_TRUE(tracker->init(TrackerScene::kWidth, TrackerScene::kHeight, "MANUAL_LOAD", scene.CameraFile()));
    const double centre[2] = {0.0, 0.0};
    ASSERT_EQ(tracker->addSingleMarker(scene.PatternFile(0), 80.0, centre), 0);
    ASSERT_EQ(tracker->addSingleMarker(scene.PatternFile(1), 80.0, centre), 1);
    ASSERT_EQ(tracker->addMultiMarker(folder / "multi.dat"), 2);
    std::vector<osg::ref_ptr<TransformFilterCallback>> filters;
    for (int i = 0; i < tracker->getMarkerCount(); ++i)
    {
        filters.push_back(new TransformFilterCallback);
        filters.back()->EnableJumpRejection(true);
        tracker->getMarker(i)->setFilterCallback(filters.back().get());
    }
    osg::ref_ptr<osg::Node> overlay = tracker->BuildDebugLayer(osg::Vec2f(640.f, 480.f));
    tracker->setUseAuto(true);

    // The frames, drawn before anything is counted.
    enum Kind { InView, Moved, Empty, Searched };
    std::vector<std::vector<unsigned char>> pixels;
    for (Kind kind : {InView, Moved, Empty})
    {
        scene.Clear();
        if (kind != Empty)
        {
            const double x = kind == Moved ? 3.0 : 0.0;
            scene.Place(0, TrackerScene::PoseAt(-120 + x, -40, 700, 20, 10));
            scene.Place(1, TrackerScene::PoseAt(110 + x, 60, 600, -35, 200));
            scene.Place(2, TrackerScene::PoseAt(0 + x, 90, 900, 45, 95), 60.0);
        }
        osg::ref_ptr<osg::Image> drawn = new osg::Image;
        scene.Render(*drawn);
        pixels.emplace_back(drawn->data(), drawn->data() + drawn->getTotalSizeInBytes());
    }
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(TrackerScene::kWidth, TrackerScene::kHeight, 1, GL_BGR, GL_UNSIGNED_BYTE, 1);
    image->dirty();
    tracker->setImageSource(image.get());
    tracker->SetAdaptiveThreshold(false);

    const Kind sequence[] = {InView, Moved, InView, Empty, Searched, Moved, Empty, Empty, Searched};
    long allocations = 0;
    for (int round = 0; round < 4; ++round)
        for (Kind kind : sequence)
        {
            const std::vector<unsigned char>& frame = pixels[kind == Searched ? InView : kind];
            std::memcpy(image->data(), frame.data(), frame.size());
            image->dirty();
            // With one threshold for the frame nothing is darker than 3: only
            // the search can find the markers.
            tracker->setUserThreshold(kind == Searched ? 3 : 100);
            const long before = g_allocations.load();
            tracker->update();
            if (round > 0) allocations += g_allocations.load() - before;  // the first round warms up
            int found = 0;
            for (int i = 0; i < tracker->getMarkerCount(); ++i) found += tracker->getMarker(i)->isValid() ? 1 : 0;
            if (kind == InView || kind == Moved) ASSERT_EQ(found, 3) << "round " << round;
            if (kind == Searched) ASSERT_GT(found, 0) << "round " << round;  // the search stops at its first find
            if (kind == Searched) ASSERT_NE(tracker->getThreshold(), 3);
            if (kind == Empty) ASSERT_EQ(found, 0);
            if (kind == Empty) ASSERT_EQ(tracker->getThreshold(), 100);  // the failed search restored it
        }
    EXPECT_EQ(allocations, 0);
}
}
