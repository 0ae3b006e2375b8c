#pragma once
// Shared by the content-object tests: a fresh working folder per test with the
// shaders copied in, small meshes written with osgDB, and the process-wide
// light, material and model-group lists emptied before and after.

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <osg/Node>

#include <memory>
#include <string>

class ContentFolder : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// A line mesh from (-r, 0, 0) to (r, 0, 0): bounding radius exactly r.
    std::string WriteLineMesh(const std::string& relative, float radius);
    /// A closed box mesh with normals and texture coordinates: a group "Crate"
    /// holding a geode "Box".
    std::string WriteBoxMesh(const std::string& relative, float half);
    void Write(const std::string& relative, const std::string& text);
    std::string Path(const std::string& relative) const { return m_folder / relative; }

    /// Runs `action` with standard output captured and returns the output.
    template <typename Action>
    std::string Captured(Action action)
    {
        ::testing::internal::CaptureStdout();
        action();
        return ::testing::internal::GetCapturedStdout();
    }

    TestFolder m_folder;
    std::unique_ptr<ScopedCurrentFolder> m_here;
};

/// Number of lines of `text` that contain `part`.
int CountLines(const std::string& text, const std::string& part);
/// The first node named `name` below `root`, or null.
osg::Node* FindNamed(osg::Node* root, const std::string& name);
