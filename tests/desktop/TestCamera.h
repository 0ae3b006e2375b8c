#pragma once
// The test camera of the desktop tests: its controls (a brightness slider,
// an automatic white balance switch and a power line menu), and a test
// fixture whose cameras are test doubles and whose stable device links live
// in the test's own folder ("by-id").

#include "FakeVideoSystem.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

/// Brightness -64..64 (default 0, now 10), "White Balance, Automatic" on
/// (default on), "Power Line Frequency" Disabled / 50 Hz / 60 Hz (50 Hz).
std::vector<vexa::media::VideoControl> TestCameraControls();

class CameraFolderTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    TestFolder folder;
    ScopedCurrentFolder inFolder{folder.Path()};
    std::shared_ptr<vexa::media::testing::FakeVideoSystem> system =
        std::make_shared<vexa::media::testing::FakeVideoSystem>();
};
