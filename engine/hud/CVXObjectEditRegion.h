#pragma once
// The object-edit panel of the object menu's toolbar ("VXOBJBUTTON_<index>",
// toolbar type EDIT_PANEL): an edit button ("_EDIT") in its toolbar slot
// opens a panel at the right of the screen with a backdrop ("BACKDROP"), a
// select button showing the current object's icon ("_SELBUT"), an info
// button ("_INFO") playing and pausing a video panel ("VIDINFO"), and one
// effect toggle per effect of the shown object ("_<n>_FXTOG").
//
// While the panel opens or closes it raises a hide-menu or show-menu
// request, which the menu reads (and clears) to fade its page out or in.
//
// The parts are owned by the panel. The content interface belongs to the
// menu's creator; shown objects and their effects belong to the content
// manager and the effect library.

#include "CHudRegion.h"
#include "CHudSkin.h"

#include <osg/ref_ptr>

#include <memory>
#include <string>
#include <vector>

class CButtonRegion;
class CContentObject;
class CHudContent;
class CVXEffectToggle;
class CVideoRegion;
class MenuFadeCallback;

class CVXObjectEditRegion : public CHudRegion
{
public:
    /// The models the panel is made of (the toolbar's EDIT_PANEL names them).
    struct Models
    {
        std::string editIcon = "models/hud/qorts/editIcon/editIcon.ive";
        std::string infoIcon = "models/hud/qorts/infoIcon/infoIcon.ive";
        std::string toggleBackDrop = "models/hud/qorts/toggleBackDrop/toggleBackDrop.ive";
        std::string effectNode = "models/hud/qorts/effectNode/effectNode.ive";
        std::string panelRight = "models/hud/qorts/panelRight/panelRight.ive";
        std::string menuButton = "models/hud/qorts/menuButton/menuButton.ive";
        std::string videoFrame = "models/hud/qorts/videoFrame/videoFrame.ive";
        std::string videoPlane = "models/hud/qorts/videoPlane/videoPlane.ive";
        std::string effectIndicator = "models/hud/qorts/effectIndi/effectIndi.ive";
        std::string defaultPicture = "Videos/tarvellaDefault.bmp";
    };

    CVXObjectEditRegion();
    ~CVXObjectEditRegion() override;

    /// The edit button (side `buttonSide`) at (x, y); the panel in the right
    /// part of a screen of `screenWidth` × `screenHeight`, closed.
    osg::MatrixTransform* Init(int index, float x, float y, float buttonSide, float screenWidth, float screenHeight,
                               const Models& models, const CHudSkin& skin, CHudContent* content);
    int HandleEvent(const std::string& message, const CGUIEvent& event) override;

    /// Effect toggles for the object's model and group effects, and its icon
    /// on the select button; null shows an empty panel.
    void ShowObject(CContentObject* object);
    void Open();
    void Close();
    bool IsOpen() const { return m_open; }
    /// The requests, cleared by reading them.
    bool ConsumeShowMenuRequest();
    bool ConsumeHideMenuRequest();

    CContentObject* GetShownObject() const { return m_object; }
    const std::vector<std::unique_ptr<CVXEffectToggle>>& GetToggles() const { return m_toggles; }
    CButtonRegion* GetEditButton() const { return m_edit.get(); }
    CButtonRegion* GetSelectButton() const { return m_select.get(); }
    CButtonRegion* GetInfoButton() const { return m_info.get(); }
    CHudRegion* GetBackdrop() const { return m_backdrop.get(); }
    CVideoRegion* GetVideo() const { return m_video.get(); }
    MenuFadeCallback* GetFade() const { return m_fade.get(); }

protected:
    void OnNamed() override;

private:
    void Toggle();
    std::vector<CHudRegion*> PanelParts() const;
    void ClearToggles();

    CHudContent* m_content = nullptr;
    CHudSkin m_skin;
    Models m_models;
    std::unique_ptr<CButtonRegion> m_edit, m_select, m_info;
    std::unique_ptr<CHudRegion> m_backdrop;
    std::unique_ptr<CVideoRegion> m_video;
    std::vector<std::unique_ptr<CVXEffectToggle>> m_toggles;
    osg::ref_ptr<MenuFadeCallback> m_fade;
    CContentObject* m_object = nullptr;
    float m_panelX = 0.f, m_panelY = 0.f, m_panelWidth = 0.f, m_panelHeight = 0.f;
    bool m_open = false;
    bool m_showMenuRequest = false, m_hideMenuRequest = false;
};
