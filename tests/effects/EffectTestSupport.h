#pragma once
// Shared by the effect tests: a copy of the prepared working folder (shaders,
// environment maps, presets file) as the current folder, an empty effect
// library, captured standard output and osg warnings, a lit UV sphere, and
// off-screen drawing of a scene into a picture under the test's X display.

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <osg/Geode>
#include <osg/Image>
#include <osg/Node>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CEffect;

class EffectFolder : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void Write(const std::string& relative, const std::string& text);
    std::string Path(const std::string& relative) const { return m_folder / relative; }
    /// Loads a presets file of this text; returns what was printed.
    std::string LoadPresets(const std::string& text, const std::string& name = "test.mfx");
    /// Runs `action` and returns what it printed on standard output and the
    /// osg notification stream (warnings and above), in order.
    std::string Captured(const std::function<void()>& action);

    TestFolder m_folder;
    std::unique_ptr<ScopedCurrentFolder> m_here;
};

/// A UV sphere of radius 1 about the origin with normals, texture
/// coordinates and a light grey material.
osg::Geode* MakeSphere();
/// A picture of `size` x `size` with vertical colour stripes, for the camera picture.
osg::Image* MakeStripes(int size);

/// Draws `scene` seen from (0, 0, 4) looking at the origin into a picture of
/// `size` x `size` (rows bottom-up, RGB); null without a display. `inspect`
/// runs in the drawing thread after the last frame, with the GL state.
osg::ref_ptr<osg::Image> Draw(osg::Node* scene, int size,
                              const std::function<void(osg::State&)>& inspect = nullptr);

/// Lines of `text` that contain `part`.
int CountLines(const std::string& text, const std::string& part);
/// The presets file of the bundled content.
std::string BundledPresets();
