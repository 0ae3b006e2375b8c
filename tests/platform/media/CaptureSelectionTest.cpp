#include "CaptureSelection.h"

#include <gtest/gtest.h>

#include <set>

namespace vexa {
namespace media {
namespace {

struct Recorder {
    std::vector<std::string> lines;
    LogSink sink() {
        return [this](const std::string& m) { lines.push_back(m); };
    }
};

const std::string P = "DShowStream::Constructor: ";

TEST(CaptureSelection, DeviceChoiceAndFallbacks) {
    struct Case {
        const char* what;
        std::vector<std::string> devices;
        std::string requested;
        std::set<int> failing;
        int index;
        bool fellBack;
        bool saveNone;
        std::string boxText;
        std::vector<std::string> log;
    };
    const std::vector<std::string> two{"Cam A", "Cam B"};
    const Case cases[] = {
        {"nothing requested", two, "NONE", {}, 0, false, false, "",
         {P + "Trying default Cam A", P + "Connection successful"}},
        {"requested present", two, "Cam B", {}, 1, false, false, "",
         {P + "Sreaching for requested device Cam B", P + "Requested Device found Cam B", P + "Connection successful"}},
        {"requested absent", two, "Old Cam", {}, 0, false, false, "",
         {P + "Sreaching for requested device Old Cam",
          P + "Warning: Unable to find Requested Device, trying default Cam A", P + "Connection successful"}},
        {"requested busy, other works", two, "Cam A", {0}, 1, true, false, "",
         {P + "Sreaching for requested device Cam A", P + "Requested Device found Cam A",
          P + "Warning: Failed to connect to Cam A", P + "Trying to connect to Cam B",
          P + "Connection Successful to device Cam B"}},
        {"all fail, saved device", two, "Cam B", {0, 1}, -1, false, true,
         "Could not connect to the previous device 'Cam B', please ensure it is correctly connected to your computer",
         {P + "Sreaching for requested device Cam B", P + "Requested Device found Cam B",
          P + "Warning: Failed to connect to Cam B", P + "Trying to connect to Cam A",
          P + "Error: Failed to connect to a valid capture device "}},
        {"all fail, nothing saved", two, "NONE", {0, 1}, -1, false, false,
         "Please ensure a working webcam is attached to your computer",
         {P + "Trying default Cam A", P + "Warning: Failed to connect to Cam A", P + "Trying to connect to Cam B",
          P + "Error: Failed to connect to a valid capture device "}},
        {"no camera at all", {}, "Cam A", {}, -1, false, false,
         "Please ensure a working webcam is attached to your computer",
         {P + "Error: Failed to connect to a valid capture device "}},
        {"names compare as whole texts", {"USB Camera", "USB Camera #2"}, "USB Camera #2", {}, 1, false, false, "",
         {P + "Sreaching for requested device USB Camera #2", P + "Requested Device found USB Camera #2",
          P + "Connection successful"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder rec;
        std::vector<int> tried;
        const auto r = CaptureSelection::connectDevice(
            c.devices, c.requested,
            [&](int i) {
                tried.push_back(i);
                return c.failing.count(i) == 0;
            },
            rec.sink());
        EXPECT_EQ(c.index, r.index);
        EXPECT_EQ(c.fellBack, r.fellBack);
        EXPECT_EQ(c.saveNone, r.saveNoneAsDevice);
        EXPECT_EQ(c.boxText, r.boxText);
        EXPECT_EQ(c.log, rec.lines);
        EXPECT_EQ(std::set<int>(tried.begin(), tried.end()).size(), tried.size()) << "a device was tried twice";
    }
}

TEST(CaptureSelection, BoxCaptions) {
    const auto none = CaptureSelection::connectDevice({}, "NONE", [](int) { return true; }, LogSink());
    EXPECT_EQ("Warning! No WebCam Detected", none.boxCaption);
    const auto lost = CaptureSelection::connectDevice({"A"}, "A", [](int) { return false; }, LogSink());
    EXPECT_EQ("Unable to connect to webcam", lost.boxCaption);
    const auto fine = CaptureSelection::connectDevice({"A"}, "A", [](int) { return true; }, LogSink());
    EXPECT_EQ("", fine.boxCaption);
}

TEST(CaptureSelection, FormatChoice) {
    const std::vector<std::string> formats{"1280x720 30 16-bit", "640x480 30 24-bit", "320x240 15 16-bit"};
    struct Case {
        const char* what;
        std::vector<std::string> formats;
        int current;
        std::string requested;
        std::vector<std::string> preferred;
        int expected;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"requested found", formats, 0, "320x240 15 16-bit", {}, 2,
         {P + "Search for requested format 320x240 15 16-bit", P + "Requested format Found"}},
        {"requested missing", formats, 1, "800x600 30 16-bit", {"320x240 15 16-bit"}, 1,
         {P + "Search for requested format 800x600 30 16-bit",
          P + "Requested format not avaliable using default 640x480 30 24-bit"}},
        {"first available preferred wins", {"640x480 30 24-bit"}, 0, "NONE",
         {"1280x720 30 24-bit", "640x480 30 24-bit"}, 0,
         {P + "Search for prefered format", P + "Prefered format found 640x480 30 24-bit"}},
        {"preferred in file order", formats, 0, "NONE", {"320x240 15 16-bit", "640x480 30 24-bit"}, 2,
         {P + "Search for prefered format", P + "Prefered format found 320x240 15 16-bit"}},
        {"no preferred available", formats, 1, "NONE", {"1x1 1 8-bit"}, 1,
         {P + "Search for prefered format",
          P + "No prefered format avaliable using default 640x480 30 24-bit at index 1"}},
        {"device lists no formats", {}, 0, "640x480 30 24-bit", {}, 0,
         {P + "Search for requested format 640x480 30 24-bit", P + "Requested format not avaliable using default NONE"}},
        {"blank runs make a different name", formats, 0, "640x480  30 24-bit", {}, 0,
         {P + "Search for requested format 640x480  30 24-bit",
          P + "Requested format not avaliable using default 1280x720 30 16-bit"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder rec;
        EXPECT_EQ(c.expected, CaptureSelection::chooseFormat(c.formats, c.current, c.requested, c.preferred, rec.sink()));
        EXPECT_EQ(c.log, rec.lines);
    }
}

}  // namespace
}  // namespace media
}  // namespace vexa
