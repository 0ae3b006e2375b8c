#pragma once
// What the HUD tests share: a fresh HUD layer per test, run in the prepared
// working folder (where the HUD's models are), and events as the picking
// side makes them.

#include "CGUIEvent.h"
#include "CHudRegionManager.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class HudTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = std::make_unique<ScopedCurrentFolder>(VEXAMARK_TEST_WORKDIR);
        hud = CHudRegionManager::Instance();
        hud->CreateHudLayer("SETTINGS", 640, 480);
    }
    void TearDown() override { folder.reset(); }

    // An event of `type` naming `target`, with the pointer at HUD pixel (x, y).
    static CGUIEvent Event(int type, const std::string& target, float x = 0.f, float y = 0.f)
    {
        CGUIEvent event;
        event.type = type;
        event.targetName = target;
        event.x = x / 320.f - 1.f;  // the pointer runs from -1 to 1 across the 640 x 480 HUD
        event.y = y / 240.f - 1.f;
        return event;
    }

    CHudRegionManager* hud = nullptr;
    std::unique_ptr<ScopedCurrentFolder> folder;
};
