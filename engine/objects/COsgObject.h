#pragma once
// One model of a model group file: its mesh, sized and placed, with an
// optional outline, toon or anisotropic-lighting effect, a simple spinning
// animation and a material.
//
// Node structure: "Object Root" -> "Object World Trans" -> "Object local trans"
// -> [effect ->] "Object Model". The local transform scales the mesh to the
// requested size; the world transform places it (scale x rotation x
// translation, row vectors: scaled first, then rotated about x, y and z, then
// moved). The object is the world transform's update callback: it rebuilds
// the world matrix when a setter marked it dirty and runs the simple animation.
// Reference counted; the scene graph and the model group hold it.

#include "CAnimationController.h"

#include <osg/Group>
#include <osg/MatrixTransform>
#include <osg/NodeCallback>
#include <osg/ref_ptr>

#include <string>

class CMaterial;

class COsgObject : public osg::NodeCallback
{
public:
    COsgObject();

    /// Reads the mesh and sizes it: size is the bounding radius it is scaled
    /// to, 0 keeps its own. Returns the mesh, or null after printing
    /// "Error! Unable to load model <file> defaulting to box".
    osg::Node* LoadMesh(const std::string& file, float size);

    void SetTranslation(double x, double y, double z);
    void SetRotation(double x, double y, double z);  // radians
    void SetScale(double x, double y, double z);

    /// The mesh takes the material's state set (null does nothing).
    void ApplyMaterial(CMaterial* material);
    /// The first node named `name` below the mesh takes the material's state
    /// set; false when no node has that name.
    bool ApplySubMaterial(const std::string& name, CMaterial* material);

    /// Effects put between the mesh and its parent (the local transform).
    void ApplyScribe();
    void ApplyCartoon(float outlineWidth);
    /// `lightingMap` is the lighting map file; when it cannot be read the
    /// effect keeps its own built-in map.
    void ApplyAnisotropic(const std::string& lightingMap);

    /// Switches the simple animation on with per-update rates for the three
    /// rotation angles (radians per 1/0.003 updates).
    void SetSimpleAnimation(double rateX, double rateY, double rateZ);
    bool SimpleAnimationOn() const { return m_simpleAnimation; }
    /// One update of the simple animation (what each update traversal does).
    void StepAnimation();

    /// The mesh's keyframed animation, played in segments (<SPLIT_ANIMATION>,
    /// <USE_SPLIT_ANI>, <ANIMATION_RATE>); made on first use by collecting the
    /// mesh's animation path callbacks. Null before a mesh is loaded.
    CAnimationController* GetAnimationController();

    /// Rebuilds the world matrix if dirty, then traverses.
    void operator()(osg::Node* node, osg::NodeVisitor* visitor) override;
    void UpdateMatrix();
    /// Stops being the world transform's callback, which breaks the reference
    /// cycle between the two (the model group calls this when it is dropped).
    void Detach();

    osg::Group* GetRoot() { return m_root.get(); }
    osg::MatrixTransform* GetWorldTransform() { return m_worldTransform.get(); }
    osg::MatrixTransform* GetLocalTransform() { return m_localTransform.get(); }
    osg::Node* GetModel() { return m_model.get(); }
    const std::string& FileName() const { return m_fileName; }
    float Size() const { return m_size; }
    double Radius() const { return m_radius; }
    const double* Rotation() const { return m_rotation; }
    const double* Translation() const { return m_translation; }
    const double* ScaleFactors() const { return m_scale; }

protected:
    ~COsgObject() override = default;

private:
    void InsertEffect(osg::Group* effect);

    std::string m_fileName;
    osg::ref_ptr<osg::Node> m_model;
    CMaterial* m_material = nullptr;
    osg::ref_ptr<osg::MatrixTransform> m_localTransform;
    osg::ref_ptr<osg::MatrixTransform> m_worldTransform;
    osg::ref_ptr<osg::Group> m_root;
    double m_scale[3] = {1.0, 1.0, 1.0};
    double m_rotation[3] = {0.0, 0.0, 0.0};
    double m_translation[3] = {0.0, 0.0, 0.0};
    bool m_dirty = true;
    float m_size = 0.f;
    double m_radius = 0.0;
    bool m_simpleAnimation = false;
    float m_rates[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};  // rotation xyz, translation xyz, scale xyz
    unsigned m_lastFrame = ~0u;                     // frame of the last animation step
    osg::ref_ptr<CAnimationController> m_segments;  // the keyframed animation, made on first use
};
