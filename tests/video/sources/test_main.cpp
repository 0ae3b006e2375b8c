// Runs unattended (message boxes on standard error) with the message log in a
// folder of its own, so tests can read the lines their sources write.
#include "SourceTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("VEXAMARK_NONINTERACTIVE", "1", 1);
    if (!std::getenv("ALSOFT_DRIVERS")) setenv("ALSOFT_DRIVERS", "null", 1);
    sourcetest::LogPath();
    return RUN_ALL_TESTS();
}
