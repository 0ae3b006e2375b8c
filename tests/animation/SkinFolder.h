#pragma once
// A test folder holding the bundled demo character's files (as the build
// made them into the working folder), made the current folder, with helpers
// to write skin configurations and damaged copies of the Cal3D files.

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class SkinFolder : public ::testing::Test
{
protected:
    static constexpr const char* kWalker = "models/characters/walker";

    void SetUp() override;
    /// A skin configuration naming the walker's files, with `extra` lines
    /// inside the block and the lines naming `without` left out.
    std::string Config(const std::string& without = "", const std::string& extra = "") const;
    void Write(const std::string& relative, const std::string& text) const;
    std::string Read(const std::string& relative) const;
    /// Runs `action` with standard output captured and returns the output.
    template <typename Action>
    static std::string Captured(Action action)
    {
        ::testing::internal::CaptureStdout();
        action();
        return ::testing::internal::GetCapturedStdout();
    }

    TestFolder folder;
    std::unique_ptr<ScopedCurrentFolder> here;
};
