#pragma once
// The text HUD: a short status message that hides itself two seconds after
// it was set, and an information panel (the key help) toggled by the user.
// Both are text panels under one orthographic camera over the screen.

#include <osg/Camera>
#include <osg/Geode>
#include <osg/Vec2f>
#include <osg/ref_ptr>
#include <osgText/Text>

#include <string>

class cHud
{
public:
    cHud();

    /// Builds both panels for a screen of width × height pixels and returns
    /// the camera that holds them (the caller adds it to its scene).
    osg::Camera* createHUD(int width, int height, bool);
    osg::Geode* CreateTextGeode(const osg::Vec2f& position, const osg::Vec2f& size, osgText::Text* text,
                                const std::string& initial);

    /// "text := 120.00"
    void ChangeString(const std::string& text, float number);
    void ChangeString(const std::string& text);
    /// "text := ON" / "text := OFF"
    void ChangeSwitchString(const std::string& text, bool on);
    /// Shows `text` as the status message for `seconds` instead of two.
    void ShowTimedMessage(const std::string& text, float seconds);
    void SetInfoString(const std::string& text);
    void ToggleDisplayInfo();
    /// Ages the status message by `dt` seconds; hides it after two seconds.
    void Update(float dt);

    std::string GetMessageText() const;
    std::string GetInfoText() const;
    bool IsMessageShown() const { return m_messageShown; }
    bool IsInfoHidden() const { return m_infoHidden; }

private:
    void ShowMessage(const std::string& text);

    osg::ref_ptr<osg::Geode> m_messageGeode;
    osg::ref_ptr<osgText::Text> m_messageText;
    osg::ref_ptr<osg::Geode> m_infoGeode;
    osg::ref_ptr<osgText::Text> m_infoText;
    int m_width = 1280, m_height = 1024;  // pixels
    bool m_messageShown = false;
    float m_messageAge = 0.f;             // seconds
    float m_messageDuration = 2.0f;       // seconds, of the message shown
    bool m_infoHidden = false;
};
