#pragma once
// A region of the 3D HUD: a rectangle in the HUD layer's pixel coordinates,
// either a flat coloured quad or a small model (button, knob, panel, icon),
// arranged in a tree of regions. Regions do not read the mouse: the region
// manager hands them GUI events naming the node that was picked, and each
// region compares that name with its own and its children's.
//
// Ownership: a region owns its scene nodes and its animation controller
// (both reference counted). It does not own its children: a parent only links
// them into its transform and its child list; whoever created a region
// deletes it (the engine keeps HUD regions until the process ends).
//
// Names: a region's name is the name its picked geometry reports, so it is
// given to the region's geode and everything the geode draws, and to every
// node of a loaded model. Names of pickable regions must be unique;
// SetIndex names a region "<base name>_<index>" (BUTTON_3).

#include "CAnimationController.h"
#include "CGUIEvent.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Material>
#include <osg/MatrixTransform>
#include <osg/StateSet>
#include <osg/TexEnvCombine>
#include <osg/Texture>
#include <osg/Texture2D>
#include <osg/Vec2f>
#include <osg/Vec4f>
#include <osg/ref_ptr>
#include <osgText/Text>

#include <memory>
#include <string>
#include <vector>

class CHudRegion
{
public:
    enum Kind
    {
        QuadRegion = 0,
        ModelRegion = 1
    };
    /// What HandleEvent answers.
    enum EventResult
    {
        NotMine = 0,
        TookIt = 1,        // the event's target is this region
        ChildTookIt = 2    // one of its children took it
    };

    CHudRegion();
    /// Releases the nodes and the child list; children are not deleted.
    virtual ~CHudRegion();
    CHudRegion(const CHudRegion&) = delete;
    CHudRegion& operator=(const CHudRegion&) = delete;

    /// Builds a quad region of width × height with its lower left corner at
    /// (x, y), grey (0.7) and named by `index`; returns its transform.
    virtual osg::MatrixTransform* Create(int index, float x, float y, float width, float height);
    /// Gives up what the region holds outside the scene graph (a video
    /// region stops its stream); the base releases its children.
    virtual void Release();
    /// Names the region "<base name>_<index>".
    virtual void SetIndex(int index);
    /// Names the geode, what it draws and every node of the model.
    virtual void SetName(const std::string& name);
    virtual std::string GetName() const;
    /// 1 when the event's target is this region; otherwise the event is
    /// offered to every child in order and the answer is 2 when any of them
    /// took it, else 0.
    virtual int HandleEvent(const std::string& message, const CGUIEvent& event);

    /// A model region: named by `index`, the model scaled to width × height
    /// and placed at (x, y). A model that cannot be read leaves a region
    /// without a model that can still be named, placed and hit by name.
    osg::MatrixTransform* CreateFromModel(int index, float x, float y, float width, float height,
                                          const std::string& modelFile);
    /// A model region that shows no model of its own (a container of parts,
    /// or a label without a box), named by `index` and placed at (x, y).
    osg::MatrixTransform* CreateWithoutModel(int index, float x, float y);
    /// Reads the model (prints "Couldn't load region file <file>" when it
    /// cannot) under a transform scaled by (width, height, 1), and gives it
    /// the texture "<model folder>\images\<model name>.png" when that exists.
    bool LoadModel(const std::string& modelFile, float width, float height);
    /// An image file (found by the path resolver's rules) as a texture for
    /// SetTexture; null when it cannot be read.
    static osg::Texture2D* ReadTexture(const std::string& imageFile);

    /// Links `child` under this region (the child is not owned).
    void AddChild(CHudRegion* child);
    /// Unlinks `child` (not deleted); nothing when it is not a child.
    void RemoveChild(CHudRegion* child);
    const std::vector<CHudRegion*>& GetChildren() const { return m_children; }
    CHudRegion* GetParent() const { return m_parent; }
    /// True when a region below this one (at any depth, not this one) has
    /// the name.
    bool HasDescendantNamed(const std::string& name) const;

    /// The size the region was built with (its parts' extent for composite
    /// widgets).
    osg::Vec2f GetSize() const { return m_size; }
    void SetPosition(float x, float y);
    osg::Vec2f GetPosition() const { return osg::Vec2f(m_x, m_y); }
    void SetDepth(float z);
    float GetDepth() const { return m_depth; }
    /// Position in the HUD: this region's plus all its ancestors'.
    osg::Vec2f GetAbsolutePosition() const;
    /// A HUD position relative to this region's corner.
    osg::Vec2f ToLocal(float x, float y) const;
    /// The HUD position of an event's pointer (which runs from -1 to 1 across
    /// the window), by the HUD size the region was registered with.
    osg::Vec2f PointerToHud(const CGUIEvent& event) const;
    /// The HUD extent, recorded for this region and its descendants when
    /// the region manager adds it.
    void SetHudSize(float width, float height);
    osg::Vec2f GetHudSize() const { return osg::Vec2f(m_hudWidth, m_hudHeight); }

    void SetVisible(bool on);
    bool IsVisible() const { return m_visible; }
    /// Colour of the quad or tint of the model; the alpha stays the
    /// transparency last set.
    void SetColour(float red, float green, float blue);
    osg::Vec4f GetColour() const { return m_colour; }
    /// Texture unit 0 of the model, or of the quad (which then becomes
    /// transparent at alpha 1).
    void SetTexture(osg::Texture* texture);
    /// Blending on at `alpha` (or off), for this region and all below it.
    void SetTransparent(bool on, double alpha);
    double GetTransparency() const { return m_transparency; }
    bool IsTransparent() const { return m_blending; }

    /// The clicked flag, cleared by reading it.
    bool ConsumeClick();
    bool IsHighlighted() const { return m_highlighted; }
    void SetHighlighted(bool on) { m_highlighted = on; }

    /// Model regions only: an event animation controller on the model's
    /// animated nodes, their paths cut into `segments` equal segments, for
    /// PlayAnimation. False when the region has no model or the model is
    /// not animated.
    bool EnableAnimation(int segments);
    /// Plays segment `segment` once from its start (select the segment, play
    /// mode 2, start); nothing without an animation. Nodes without that
    /// segment keep still.
    void PlayAnimation(int segment);
    CAnimationController* GetAnimation() const { return m_animation.get(); }

    int GetKind() const { return m_kind; }
    osg::MatrixTransform* GetTransform() const { return m_transform.get(); }
    osg::Node* GetModel() const { return m_model.get(); }
    /// The model's scale transform: its state set is the model's state set.
    osg::MatrixTransform* GetModelTransform() const { return m_modelTransform.get(); }
    osg::Geode* GetGeode() const { return m_geode.get(); }
    const std::string& GetBaseName() const { return m_baseName; }

protected:
    /// Called by SetName after the region took its new name, so composite
    /// regions can rename their parts.
    virtual void OnNamed() {}
    /// Adds a text drawable to the region's geode, named and faded with it.
    void AttachLabel(osgText::Text* label);
    osgText::Text* GetLabel() const { return m_label.get(); }
    void SetClicked() { m_clicked = true; }
    void SetSize(float width, float height) { m_size.set(width, height); }

    std::string m_baseName = "REGION";

private:
    void ApplyTranslation();
    void ApplyMaterial(bool trackVertexColour, double alpha);
    void ApplyLookToNodes();
    osg::StateSet* LookStateSet();

    osg::ref_ptr<osg::MatrixTransform> m_transform;
    osg::ref_ptr<osg::Geode> m_geode;
    osg::ref_ptr<osg::Node> m_model;
    osg::ref_ptr<osg::MatrixTransform> m_modelTransform;
    osg::ref_ptr<osg::StateSet> m_stateSet;
    osg::ref_ptr<osg::Material> m_material;
    osg::ref_ptr<osg::Vec4Array> m_colourArray;
    osg::ref_ptr<osg::Geometry> m_geometry;
    osg::ref_ptr<osg::TexEnvCombine> m_tint;  // colour and alpha of a textured model
    osg::ref_ptr<osgText::Text> m_label;
    osg::ref_ptr<CAnimationController> m_animation;
    int m_kind = QuadRegion;
    float m_x = 0.f, m_y = 0.f, m_depth = 0.f;
    osg::Vec2f m_size;
    float m_hudWidth = 0.f, m_hudHeight = 0.f;
    bool m_visible = true;
    bool m_clicked = false;
    bool m_highlighted = false;
    bool m_blending = false;
    CHudRegion* m_parent = nullptr;
    std::vector<CHudRegion*> m_children;
    osg::Vec4f m_colour = osg::Vec4f(1.f, 1.f, 1.f, 1.f);
    osg::Vec4f m_quadColour = osg::Vec4f(0.7f, 0.7f, 0.7f, 0.99f);
    double m_transparency = 1.0;
};
