// The engine's 3D GUI: the menu page, the object-edit page and its
// per-frame application, the regions the settings file adds (settings
// panel, static toolbar, screen saver) and the screen saver's timing.
#include "CVexaBox.h"

#include "CButtonRegion.h"
#include "CContentObject.h"
#include "CHudContentBridge.h"
#include "CHudRegionManager.h"
#include "CNumRegion.h"
#include "CSliderValueRegion.h"
#include "CTextRegion.h"
#include "CVXObjectMenu.h"
#include "CVXSettingsRegion.h"
#include "CVec3InputRegion.h"
#include "CVecSliderRegion.h"
#include "CVideoRegion.h"
#include "MyKeyboardMouseCallback.h"
#include "TransformFilterCallback.h"

#include <algorithm>
#include <cmath>

namespace
{
const char* const kMenuPage = "VEXA_MENU";
const char* const kSettingsPage = "SETTINGS";
const char* const kEditPage = "OBJECTEDIT";
const double kRadiansToDegrees = 57.29578;
}

void CVexaBox::FillHudSkin()
{
    m_hudSkin.button = "models/hud/buttonRegion.IVE";
    m_hudSkin.textBox = "models/hud/labelRegion.IVE";
    m_hudSkin.ok = "models/hud/okReg.IVE";
    m_hudSkin.cancel = "models/hud/cacelRegion.IVE";
    m_hudSkin.slider = "models/hud/sliderEnd.IVE";
    m_hudSkin.increase = "models/hud/sliderEnd.IVE";
    m_hudSkin.decrease = "models/hud/sliderEnd.IVE";
    m_hudSkin.bar = "models/hud/sliderBar.IVE";
    m_hudSkin.toggleBack = "models/hud/toggle.IVE";
    m_hudSkin.toggleIndi = "models/hud/indicator.IVE";
    m_hudSkin.upButton = "models/hud/upButtonRegion.IVE";
    m_hudSkin.downButton = "models/hud/downButtonRegion.IVE";
    m_hudSkin.rightPanel = "models/hud/qorts/panelRight/panelRight.ive";
    m_hudSkin.effectNode = "models/hud/qorts/effectNode/effectNode.ive";
}

void CVexaBox::BuildGUI(float width, float height)
{
    if (!m_useGui) return;
    CHudRegionManager* hud = CHudRegionManager::Instance();
    FillHudSkin();
    hud->AddPage(kMenuPage);
    hud->SelectPage(kMenuPage);
    hud->SetPageVisible(kMenuPage, false);

    if (!m_hudContent) m_hudContent = std::make_unique<CHudContentBridge>(&m_objectManager);
    m_mainMenu = std::make_unique<CVXObjectMenu>();
    m_mainMenu->InitRoot(static_cast<int>(hud->GetRegions().size()), width, height, m_hudContent.get(), m_hudSkin);
    m_mainMenu->LoadMenu("models/menu.hud", "models/menuLayout.hud");
    hud->AddRegion(m_mainMenu.get());

    const double low = m_mainMenu->GetFadeMin(), high = m_mainMenu->GetFadeMax(), rate = m_mainMenu->GetFadeRate();
    hud->RequestPageSwitch(kMenuPage, low, high, rate, true);
    hud->SetRepeatDefault(true);
    m_pageFade[0] = low;
    m_pageFade[1] = high;
    m_pageFade[2] = rate;

    hud->SelectPage(kSettingsPage);
    hud->SetPageVisible(kSettingsPage, false);
    hud->AddPage(kEditPage);
    hud->SelectPage(kEditPage);
    hud->SetPageVisible(kEditPage, false);
    BuildEditPage(width, height);
    hud->SetCurrentPageTransparent(true, 0.8);
    hud->GetRoot()->setNodeMask(~0u);
}

std::vector<osg::Vec4f> CVexaBox::EditPageBoxes(float width, float height)
{
    // One widget row and the gap between widgets; never so small that the
    // labels cannot be read on a small screen.
    const float row = std::max(0.0390625f * height, 26.f);
    const float gap = std::max(0.0078125f * height, 4.f);
    const float margin = 0.00625f * width;
    const float labelWidth = 0.10938525f * width;
    const float widths[6] = {0.23441164f * width, 0.23441164f * width, 0.23441164f * width,
                             0.18751171f * width, 0.23441164f * width, 0.093755856f * width};
    const float rows[6] = {1.f, 1.f, 1.f, 3.f, 3.f, 1.f};
    const float x = margin + labelWidth + margin;     // the widgets' column
    float y = height - 0.029297162f * height * 4.f;   // below the top toolbar
    std::vector<osg::Vec4f> boxes;
    for (int i = 0; i < 6; ++i)
    {
        const float top = y - rows[i] * row;
        // The label is level with the widget's first row.
        boxes.emplace_back(margin, top + (rows[i] - 1.f) * row, labelWidth, row);
        boxes.emplace_back(x, top, widths[i], rows[i] * row);
        y = top - gap;
    }
    return boxes;
}

void CVexaBox::BuildEditPage(float width, float height)
{
    CHudRegionManager* hud = CHudRegionManager::Instance();
    const CHudSkin& skin = m_hudSkin;
    const std::vector<osg::Vec4f> boxes = EditPageBoxes(width, height);
    const char* const labels[6] = {"Rot S", "Trans S", "Min Conf", "Pos", "Rot", "Scale"};
    for (int i = 0; i < 6; ++i)
    {
        const osg::Vec4f& b = boxes[static_cast<size_t>(2 * i)];
        m_editLabels.emplace_back(hud->CreateTextRegion(b[0], b[1], b[2], b[3], labels[i], 0.f, skin.textBox));
        const osg::Vec4f& w = boxes[static_cast<size_t>(2 * i + 1)];
        switch (i)
        {
        case 0:
        case 1:
        case 2:
        {
            std::unique_ptr<CSliderValueRegion>& slider =
                i == 0 ? m_rotSmoothSlider : i == 1 ? m_transSmoothSlider : m_confSlider;
            slider = std::make_unique<CSliderValueRegion>();
            slider->Init(i, w[0], w[1], w[2], w[3], labels[i], skin.textBox, skin.slider, skin.bar, skin.decrease,
                         skin.increase, 0.f, 1.f);
            slider->SetName(std::string(i == 0 ? "rotSm" : "tranSm") + "_" + std::to_string(i));
            hud->AddRegion(slider.get());
            break;
        }
        case 3:
            m_posInput = std::make_unique<CVec3InputRegion>();
            m_posInput->Init(3, w[0], w[1], w[2], w[3], skin.textBox, skin.upButton, skin.downButton);
            m_posInput->SetSteps(osg::Vec3f(1.f, 1.f, 1.f));
            m_posInput->SetValues(osg::Vec3f(0.f, 0.f, 0.f));
            hud->AddRegion(m_posInput.get());
            break;
        case 4:
            m_rotSliders = std::make_unique<CVecSliderRegion>();
            m_rotSliders->Init(4, w[0], w[1], w[2], w[3], skin.textBox, skin.slider, skin.bar, skin.decrease,
                               skin.increase, 0.f, 360.f);
            m_rotSliders->SetName("Pos_4");
            hud->AddRegion(m_rotSliders.get());
            break;
        default:
            m_scaleInput = std::make_unique<CNumRegion>();
            m_scaleInput->Init(5, w[0], w[1], w[2], w[3], skin.textBox, skin.upButton, skin.downButton, false);
            m_scaleInput->SetStep(0.01f);
            m_scaleInput->SetRange(0, 1000);
            m_scaleInput->SetValue(1.f);
            hud->AddRegion(m_scaleInput.get());
        }
    }
    m_confSlider->SetValue(m_objectManager.GetTracker()->GetTol());
    m_confSlider->ConsumeClick();
}

void CVexaBox::CheckGUI()
{
    if (!m_posInput) return;
    if (m_posInput->ConsumeClick()) m_objectManager.TranslateObject(m_posInput->GetValues());
    if (m_rotSliders->ConsumeClick())
    {
        m_rotSliders->ConsumeChanged();
        const osg::Vec3f r = m_rotSliders->GetValues();
        m_objectManager.SetObjectRotation(r.x(), r.y(), r.z());
    }
    if (m_scaleInput->ConsumeClick()) m_objectManager.SetObjectScale(m_scaleInput->GetValue());
    CTrackedMarker* marker = m_objectManager.GetSelectedMarker();
    if (m_rotSmoothSlider->ConsumeClick() && marker) marker->SetRotationSmoothing(m_rotSmoothSlider->GetValue());
    if (m_transSmoothSlider->ConsumeClick() && marker)
        marker->SetTranslationSmoothing(m_transSmoothSlider->GetValue());
    if (m_confSlider->ConsumeClick()) m_objectManager.GetTracker()->SetTol(m_confSlider->GetValue());
    if (m_settingsRegion && m_settingsRegion->GetButton("SCAN")->ConsumeClick()) AutoScan();
}

void CVexaBox::SetObjEditToCurrent()
{
    if (!m_useGui || !m_posInput) return;
    CTrackedMarker* marker = m_objectManager.GetSelectedMarker();
    CContentObject* object = marker ? marker->GetObject() : nullptr;
    if (!object) return;
    m_posInput->SetValues(osg::Vec3f(object->GetTranslation()));
    // The sliders run from 0 to 360 degrees.
    osg::Vec3f degrees;
    for (int axis = 0; axis < 3; ++axis)
    {
        const double d = std::fmod(object->GetRotation()[axis] * kRadiansToDegrees, 360.0);
        degrees[axis] = static_cast<float>(d < 0.0 ? d + 360.0 : d);
    }
    m_rotSliders->SetValues(degrees);
    m_scaleInput->SetValue(static_cast<float>(object->GetScale()));
    if (const TransformFilterCallback* filter = marker->GetFilter())
    {
        m_rotSmoothSlider->SetValue(filter->GetRotationSmoothing());
        m_transSmoothSlider->SetValue(filter->GetTranslationSmoothing());
    }
    // What the panel shows is no change to apply.
    for (CHudRegion* widget : std::initializer_list<CHudRegion*>{m_posInput.get(), m_rotSliders.get(),
                                                                 m_scaleInput.get(), m_rotSmoothSlider.get(),
                                                                 m_transSmoothSlider.get()})
        widget->ConsumeClick();
    m_rotSliders->ConsumeChanged();
}

void CVexaBox::ToggleEditPage()
{
    CHudRegionManager* hud = CHudRegionManager::Instance();
    m_editPageOpen = !m_editPageOpen;
    if (m_editPageOpen)
    {
        hud->SelectPage(kEditPage);
        hud->ShowOnlyPage(kEditPage);
        hud->FadeCurrentPage(m_pageFade[0], m_pageFade[1], m_pageFade[2]);
        SetObjEditToCurrent();
    }
    else
    {
        hud->FadeCurrentPage(m_pageFade[1], m_pageFade[0], m_pageFade[2]);
        if (m_mainMenu)
            hud->RequestPageSwitch(kMenuPage, m_mainMenu->GetFadeMin(), m_mainMenu->GetFadeMax(),
                                   m_mainMenu->GetFadeRate(), true);
    }
    if (m_renderSurface.valid()) m_renderSurface->useCursor(m_editPageOpen);
}

void CVexaBox::RegisterTopLevel(CHudRegion* region)
{
    CHudRegionManager* hud = CHudRegionManager::Instance();
    if (!hud->GetHudLayer()) return;  // settings read before the window exists: nothing to show them on
    hud->SelectPage("MAIN");  // no page has this name: the region goes under the root
    hud->AddRegion(region);
}

void CVexaBox::CreateScreenSaver()
{
    if (m_saverVideo) return;  // one saver; a second line only changes the file written back
    const float w = static_cast<float>(m_screenWidth), h = static_cast<float>(m_screenHeight);
    const float s = m_rotateSettings ? h : w;
    const float x = (w - 1.06f * s) * 0.5f;
    m_saverVideo = std::make_unique<CVideoRegion>();
    m_saverVideo->Init(nullptr, x, 0.f, s, 1.06f * s, m_screenSaverVideo, "models/hud/basePlane/basePlane.ive",
                       "models/hud/baseFrame/baseFrame.ive", 15, 1);
    m_saverVideo->SetName("VID_SAVER");
    if (m_rotateSettings)
        m_saverVideo->GetTransform()->setMatrix(m_saverVideo->GetTransform()->getMatrix() *
                                                osg::Matrix::rotate(osg::PI_2, osg::Vec3(0.f, 0.f, 1.f)));
    m_saverBackground = std::make_unique<CHudRegion>();
    m_saverBackground->CreateFromModel(0, 0.f, 0.f, w, h, "models/hud/basePlane/backgroundBlack.ive");
    m_saverBackground->SetName("VID_SAVER_BACK");
    m_saverBackground->SetDepth(-5.f);
    for (CHudRegion* region : {m_saverBackground.get(), static_cast<CHudRegion*>(m_saverVideo.get())})
    {
        region->SetVisible(false);
        region->SetTransparent(true, 0.8);
        RegisterTopLevel(region);
    }
}

void CVexaBox::CreateSettingsMenu()
{
    if (!m_hudContent) m_hudContent = std::make_unique<CHudContentBridge>(&m_objectManager);
    const float w = static_cast<float>(m_screenWidth), h = static_cast<float>(m_screenHeight);
    const CVXSettingsRegion::Icons icons;  // the HUD's own icons
    const float size = 0.06f * w;
    // The panel's row lies along the top edge, inside the screen.
    const float y = std::min(h - 0.05f * w, h - size);
    m_settingsRegion = std::make_unique<CVXSettingsRegion>();
    m_settingsRegion->Init(static_cast<int>(CHudRegionManager::Instance()->GetRegions().size()), icons,
                           "models/hud/buttonRegion.ive", size, m_rotateSettings ? 1.f : 0.f,
                           m_rotateSettings ? 1.f : y, m_hudSkin, m_hudContent.get(), &m_videoManager,
                           m_rotateSettings);
    RegisterTopLevel(m_settingsRegion.get());
}

void CVexaBox::CreateStaticToolbar()
{
    if (!m_hudContent) m_hudContent = std::make_unique<CHudContentBridge>(&m_objectManager);
    m_staticToolbar = std::make_unique<CVXObjectMenu>();
    m_staticToolbar->InitRoot(static_cast<int>(CHudRegionManager::Instance()->GetRegions().size()),
                              static_cast<float>(m_screenWidth), static_cast<float>(m_screenHeight),
                              m_hudContent.get(), m_hudSkin);
    m_staticToolbar->LoadMenu(m_staticToolbarName, "models/menuLayout.hud");
    RegisterTopLevel(m_staticToolbar.get());
}

void CVexaBox::WakeFromScreenSaver()
{
    m_idleTime = 0.f;
    if (!m_saverVideo || !m_saverVideo->IsPlaying()) return;
    m_saverVideo->Pause();
    m_saverVideo->SetVisible(false);
    m_saverBackground->SetVisible(false);
    if (m_staticToolbar) m_staticToolbar->SetVisible(true);
}

void CVexaBox::UpdateScreenSaver(float timeStep)
{
    if (!m_useScreenSaver || !m_useGui || !m_saverVideo) return;
    const bool markerSeen = m_objectManager.GetNumFoundMarkers() > 0;
    if (!markerSeen) m_idleTime += timeStep;
    const bool leftPressed = m_keyboardMouseCallback.valid() &&
                             (m_keyboardMouseCallback->TakeLeftPress() || m_keyboardMouseCallback->buttonMask() == 1u);
    if (leftPressed || markerSeen) WakeFromScreenSaver();
    if (m_idleTime < m_screenSaverTimeout || m_saverVideo->IsPlaying()) return;
    if (CVideoStream* stream = m_saverVideo->GetStream()) stream->rewind();
    m_saverVideo->Play();
    m_saverVideo->SetVisible(true);
    m_saverBackground->SetVisible(true);
    CHudRegionManager* hud = CHudRegionManager::Instance();
    if (hud->GetCurrentPageName() == kMenuPage && hud->IsCurrentPageVisible())
    {
        hud->FadeCurrentPage(m_pageFade[1], m_pageFade[0], m_pageFade[2]);
        hud->RequestPageSwitch(kMenuPage, m_pageFade[0], m_pageFade[1], m_pageFade[2], true);
    }
    if (m_staticToolbar) m_staticToolbar->SetVisible(false);
}
