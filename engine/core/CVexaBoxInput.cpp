// The key commands, run once per frame from the keys pressed since the last
// frame, in the fixed order of the command table (not the order pressed).
#include "CVexaBox.h"

#include "CContentObject.h"
#include "CSaveFileDialog.h"
#include "MyKeyboardMouseCallback.h"

namespace
{
enum Key
{
    kLeft = 0xFF51, kUp = 0xFF52, kRight = 0xFF53, kDown = 0xFF54, kPageUp = 0xFF55, kPageDown = 0xFF56,
    kHome = 0xFF50, kEnd = 0xFF57, kF5 = 0xFFC2, kF6 = 0xFFC3, kF7 = 0xFFC4, kF8 = 0xFFC5, kF9 = 0xFFC6,
    kF10 = 0xFFC7, kF11 = 0xFFC8
};
}

void CVexaBox::CheckButtons()
{
    if (!m_keyboardMouseCallback.valid()) return;
    const MyKeyboardMouseCallback& keys = *m_keyboardMouseCallback;
    auto pressed = [&keys](int key) { return keys.IsKeyPressed(key); };
    if (!keys.pressedKeys().empty())
    {
        RunAlwaysActiveKeys(pressed);
        if (m_enableKeyCommands)
        {
            RunEditKeys(pressed);
            RunTrackerKeys(pressed);
            m_objectManager.Trigger(keys.pressedKeys());
        }
    }
    m_keyboardMouseCallback->ClearPressedKeys();
}

void CVexaBox::RunAlwaysActiveKeys(const std::function<bool(int)>& pressed)
{
    if (pressed(kLeft) && !m_windowHandle) m_objectManager.ChangeCurrentObject(false);
    if (pressed(kRight) && !m_windowHandle) m_objectManager.ChangeCurrentObject(true);
    if (pressed(kUp))
    {
        m_objectManager.IncreaseThreshold();
        m_hud.ChangeString("Threshold ", static_cast<float>(m_objectManager.GetTracker()->getUserThreshold()));
    }
    if (pressed(kDown))
    {
        m_objectManager.DecreaseThreshold();
        m_hud.ChangeString("Threshold ", static_cast<float>(m_objectManager.GetTracker()->getUserThreshold()));
    }
    if (pressed(kF6)) m_videoManager.ToggleUseThreshold();
    if (pressed(kF9)) AutoScan();
    if (pressed('m'))
    {
        m_showMouse = !m_showMouse;
        m_renderSurface->useCursor(m_showMouse);
    }
    // Continuous capture, as the key help announces.
    if (pressed(kF7)) m_hud.ChangeSwitchString("Capturing", ToggleCapture());
}

void CVexaBox::RunEditKeys(const std::function<bool(int)>& pressed)
{
    if (pressed('8')) m_objectManager.ScaleObject(true);
    if (pressed('2')) m_objectManager.ScaleObject(false);
    if (pressed('6')) m_objectManager.RotateObject(true, 2);
    if (pressed('4')) m_objectManager.RotateObject(false, 2);
    if (pressed(kPageUp)) m_objectManager.RotateObject(true, 0);
    if (pressed(kPageDown)) m_objectManager.RotateObject(false, 0);
    if (pressed(kHome)) m_objectManager.RotateObject(true, 1);
    if (pressed(kEnd)) m_objectManager.RotateObject(false, 1);
    const struct
    {
        int key;
        int axis;
        double delta;
    } moves[] = {{'7', 1, -1.0}, {'9', 1, 1.0}, {'1', 0, -1.0}, {'3', 0, 1.0}, {'0', 2, -1.0}, {'5', 2, 1.0}};
    for (const auto& move : moves)
    {
        CContentObject* object = m_objectManager.GetSelectedObject();
        if (!pressed(move.key) || !object) continue;
        osg::Vec3d t = object->GetTranslation();
        t[move.axis] += move.delta;
        object->SetTranslation(t.x(), t.y(), t.z());
    }
    if (pressed(','))
    {
        m_objectManager.ChangeCurrentObject(false);
        SetObjEditToCurrent();
    }
    if (pressed('.'))
    {
        m_objectManager.ChangeCurrentObject(true);
        SetObjEditToCurrent();
    }
    if (pressed(kF5)) m_videoManager.ToggleVisible();
    if (pressed(kF8)) SaveSelectedObject();
}

void CVexaBox::RunTrackerKeys(const std::function<bool(int)>& pressed)
{
    SquareTracker* tracker = m_objectManager.GetTracker();
    if (pressed(kF11)) tracker->SaveTargetPatt();
    if (pressed(kF10)) tracker->ToggleDebugView();
    if (pressed('i'))
    {
        tracker->setUseAuto(!tracker->getUseAuto());
        m_hud.ChangeString("Use Auto", tracker->getUseAuto() ? 1.f : 0.f);
    }
    const struct
    {
        int key;
        int delta;
        bool steps;
    } autoKeys[] = {{'o', -1, false}, {'p', 1, false}, {'k', -1, true}, {'l', 1, true}};
    for (const auto& k : autoKeys)
    {
        if (!pressed(k.key)) continue;
        if (k.steps)
        {
            tracker->setMaxAutoSteps(tracker->getMaxAutoSteps() + k.delta);
            m_hud.ChangeString("MaxAutoSteps", static_cast<float>(tracker->getMaxAutoSteps()));
        }
        else
        {
            tracker->setAutoStepSize(tracker->getAutoStepSize() + k.delta);
            m_hud.ChangeString("AutoStepSize", static_cast<float>(tracker->getAutoStepSize()));
        }
    }
    if (pressed('e') && m_useGui) ToggleEditPage();
    if (pressed('s'))
    {
        WriteSettings();
        m_hud.ChangeString("Settings Saved");
    }
    CTrackedMarker* marker = m_objectManager.GetSelectedMarker();
    if (!marker) return;
    if (pressed('v')) marker->SetHiderScale(marker->GetHiderScale() - marker->GetHiderScale() * 0.1f);
    if (pressed('b')) marker->SetHiderScale(marker->GetHiderScale() + marker->GetHiderScale() * 0.1f);
    if (pressed('n')) marker->SetFinScale(marker->GetFinScale() - marker->GetFinScale() * 0.1f);
    if (pressed('m')) marker->SetFinScale(marker->GetFinScale() + marker->GetFinScale() * 0.1f);
}

void CVexaBox::SaveSelectedObject()
{
    CContentObject* object = m_objectManager.GetSelectedObject();
    if (object)
    {
        // New files may be chosen; an existing one is replaced only when the
        // user agrees.
        CSaveFileDialog::Request request;
        request.title = "Save Object";
        request.filters = {{"Model Data", "*.dat"}, {"All Files (*.*)", "*.*"}};
        request.defaultExtension = "zep";
        request.askBeforeOverwrite = true;
        std::string path;
        if (CSaveFileDialog::Run(request, path)) object->SaveSettings(path);
    }
    m_hud.ChangeString("Saved current object to dat file");
}
