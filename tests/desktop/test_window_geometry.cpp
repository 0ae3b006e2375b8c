// Where the main window goes: a 640 x 480 client area centred on the screen,
// and the full-screen rectangle whose client area is the whole screen.
#include "CWindowGeometry.h"

#include <gtest/gtest.h>

namespace
{
struct Case
{
    const char* what;
    CWindowGeometry::Decoration decoration;  // frame width, frame height, caption, menu
    QSize client, screen;
    bool centred;
    QRect outer;
};

const Case kCases[] = {
    {"no decoration, centred", {0, 0, 0, 0}, {640, 480}, {1280, 1024}, true, {320, 272, 640, 480}},
    {"menu only, centred", {0, 0, 0, 30}, {640, 480}, {1280, 1024}, true, {320, 257, 640, 510}},
    {"frame, caption, menu, centred", {4, 4, 20, 24}, {640, 480}, {1280, 1024}, true, {316, 246, 648, 532}},
    {"odd leftover rounds down", {0, 0, 0, 25}, {640, 480}, {1281, 1025}, true, {320, 260, 640, 505}},
    {"full screen: decoration above and left of the screen", {4, 4, 20, 24}, {1280, 1024}, {1280, 1024}, false,
     {-4, -48, 1288, 1076}},
    {"window larger than the screen", {0, 0, 0, 0}, {640, 480}, {320, 240}, true, {-160, -120, 640, 480}},
};
}

TEST(WindowGeometry, OuterRectanglesOfTheClientArea)
{
    for (const Case& c : kCases)
    {
        const QRect outer = CWindowGeometry::OuterRect(c.client, c.decoration, c.screen, c.centred);
        EXPECT_EQ(outer, c.outer) << c.what;
        // The client area inside is the wanted size, and for full screen it is the screen.
        const QRect client = CWindowGeometry::ClientRect(outer, c.decoration);
        EXPECT_EQ(client.size(), c.client) << c.what;
        if (!c.centred) EXPECT_EQ(client, QRect(QPoint(0, 0), c.screen)) << c.what;
    }
}
