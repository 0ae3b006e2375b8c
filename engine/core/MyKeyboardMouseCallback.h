#pragma once
// Turns the window's keyboard and mouse input into scene-graph GUI events and
// keeps the per-frame list of pressed keys that the key commands read.

#include "CKeyboardMouseCallback.h"

#include <osg/Referenced>
#include <osg/ref_ptr>
#include <osgGA/EventQueue>

#include <cstdint>
#include <vector>

class MyKeyboardMouseCallback : public CKeyboardMouseCallback, public osg::Referenced
{
public:
    explicit MyKeyboardMouseCallback(osgGA::EventQueue* eventQueue);

    void mouseMotion(float x, float y) override;
    void buttonPress(float x, float y, unsigned int button) override;
    void buttonRelease(float x, float y, unsigned int button) override;
    void keyPress(int key) override;
    void keyRelease(int key) override;
    /// Escape (0xFF1B) additionally calls shutdown.
    void specialKeyPress(int key) override;
    void specialKeyRelease(int key) override;
    void shutdown() override {}

    float mouseX() const { return m_mouseX; }
    float mouseY() const { return m_mouseY; }
    /// Bit (button - 1) is set while that button is down; bit 0 is the left button.
    uint32_t buttonMask() const { return m_buttonMask; }
    /// Whether the left button went down since the last call (a click
    /// pressed and released between two frames still counts).
    bool TakeLeftPress();
    /// Keys pressed since the list was last cleared, in order.
    const std::vector<int>& pressedKeys() const { return m_pressedKeys; }
    bool IsKeyPressed(int key) const;
    void ClearPressedKeys() { m_pressedKeys.clear(); }

protected:
    ~MyKeyboardMouseCallback() override = default;

private:
    float m_mouseX = 0.f, m_mouseY = 0.f;  // -1..1, y up
    uint32_t m_buttonMask = 0;
    bool m_leftPressed = false;
    std::vector<int> m_pressedKeys;
    osg::ref_ptr<osgGA::EventQueue> m_eventQueue;
};
