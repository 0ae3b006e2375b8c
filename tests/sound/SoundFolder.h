#pragma once
// A test's own working folder (with "Data", where the sound settings and the
// log go) made the current folder, a sound manager to start in it, and WAV
// files written with our sound tool's writer.

#include "CSoundManager.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class SoundFolder : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Starts the manager as the engine does: Init, then the listener at the
    /// origin looking along -z with +y up.
    void StartAsTheEngineDoes();
    /// A mono 16-bit WAV tone of `seconds` at `amplitude` (22050 Hz), relative to the folder.
    std::string WriteTone(const std::string& relative, double seconds, float amplitude = 0.5f, double hertz = 440.0);
    std::string Path(const std::string& relative) const { return folder / relative; }
    /// The texts of the log's numbered lines that start with `prefix`.
    std::vector<std::string> LogLines(const std::string& prefix) const;

    TestFolder folder;
    std::unique_ptr<ScopedCurrentFolder> here;
    CSoundManager manager;
};

/// Waits until `done` is true, at most `seconds`; its last answer.
template <typename Done>
bool WaitFor(double seconds, Done done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end)
    {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}
