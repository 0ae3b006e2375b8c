#include "MyKeyboardMouseCallback.h"

#include <algorithm>

namespace
{
const int kEscape = 0xFF1B;

uint32_t buttonBit(unsigned int button)
{
    return (button >= 1 && button <= 32) ? (1u << (button - 1)) : 0u;
}
}

MyKeyboardMouseCallback::MyKeyboardMouseCallback(osgGA::EventQueue* eventQueue) : m_eventQueue(eventQueue)
{
    m_pressedKeys.reserve(16);
}

void MyKeyboardMouseCallback::mouseMotion(float x, float y)
{
    m_mouseX = x;
    m_mouseY = y;
    if (m_eventQueue.valid()) m_eventQueue->mouseMotion(x, y);
}

void MyKeyboardMouseCallback::buttonPress(float x, float y, unsigned int button)
{
    m_mouseX = x;
    m_mouseY = y;
    m_buttonMask |= buttonBit(button);
    if (button == 1) m_leftPressed = true;
    if (m_eventQueue.valid()) m_eventQueue->mouseButtonPress(x, y, button);
}

bool MyKeyboardMouseCallback::TakeLeftPress()
{
    const bool pressed = m_leftPressed;
    m_leftPressed = false;
    return pressed;
}

void MyKeyboardMouseCallback::buttonRelease(float x, float y, unsigned int button)
{
    m_mouseX = x;
    m_mouseY = y;
    m_buttonMask &= ~buttonBit(button);
    if (m_eventQueue.valid()) m_eventQueue->mouseButtonRelease(x, y, button);
}

void MyKeyboardMouseCallback::keyPress(int key)
{
    m_pressedKeys.push_back(key);
    if (m_eventQueue.valid()) m_eventQueue->keyPress(key);
}

void MyKeyboardMouseCallback::keyRelease(int key)
{
    if (m_eventQueue.valid()) m_eventQueue->keyRelease(key);
}

void MyKeyboardMouseCallback::specialKeyPress(int key)
{
    keyPress(key);
    if (key == kEscape) shutdown();
}

void MyKeyboardMouseCallback::specialKeyRelease(int key)
{
    keyRelease(key);
}

bool MyKeyboardMouseCallback::IsKeyPressed(int key) const
{
    return std::find(m_pressedKeys.begin(), m_pressedKeys.end(), key) != m_pressedKeys.end();
}
