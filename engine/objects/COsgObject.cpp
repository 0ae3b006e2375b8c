#include "COsgObject.h"

#include "CContentFiles.h"
#include "CMaterial.h"
#include "CModelFileCheck.h"
#include "CTagBlock.h"

#include <osg/FrameStamp>
#include <osg/NodeVisitor>
#include <osgDB/ReadFile>
#include <osgDB/Registry>
#include <osgFX/AnisotropicLighting>
#include <osgFX/Cartoon>
#include <osgFX/Scribe>

namespace
{
const double kAnimationStep = 0.003;  // each value grows by this times its rate per update

class FindByName : public osg::NodeVisitor
{
public:
    explicit FindByName(const std::string& name) : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN), m_name(name) {}
    void apply(osg::Node& node) override
    {
        if (found) return;
        if (node.getName() == m_name)
        {
            found = &node;
            return;
        }
        traverse(node);
    }
    osg::Node* found = nullptr;

private:
    std::string m_name;
};
}

COsgObject::COsgObject()
{
    m_root = new osg::Group;
    m_root->setName("Object Root");
    m_worldTransform = new osg::MatrixTransform;
    m_worldTransform->setName("Object World Trans");
    m_worldTransform->setUpdateCallback(this);
    m_root->addChild(m_worldTransform.get());
}

osg::Node* COsgObject::LoadMesh(const std::string& file, float size)
{
    const std::string path = CContentFiles::Find(file);
    std::string reason;
    osg::ref_ptr<osg::Node> mesh;
    if (CModelFileCheck::Readable(path, &reason))
        mesh = osgDB::readNodeFile(path, osgDB::Registry::instance()->getOptions());
    else
        CTagBlock::Print("Warning! " + file + " is not a readable model: " + reason);
    if (!mesh.valid() || !mesh->getBound().valid())  // no file, or nothing in it
    {
        CTagBlock::Print("Error! Unable to load model " + file + " defaulting to box");
        return nullptr;
    }
    m_fileName = file;
    m_model = mesh;
    m_model->setName("Object Model");
    if (m_localTransform.valid()) m_worldTransform->removeChild(m_localTransform.get());
    m_localTransform = new osg::MatrixTransform;
    m_localTransform->setName("Object local trans");
    m_radius = m_model->getBound().radius();
    if (size != 0.f && m_radius > 0.0)
    {
        m_localTransform->setMatrix(osg::Matrixd::scale(osg::Vec3d(1, 1, 1) * (size / m_radius)));
        m_size = size;
    }
    else
    {
        m_size = static_cast<float>(m_radius);
    }
    m_localTransform->addChild(m_model.get());
    m_worldTransform->addChild(m_localTransform.get());
    return m_model.get();
}

void COsgObject::SetTranslation(double x, double y, double z)
{
    m_translation[0] = x, m_translation[1] = y, m_translation[2] = z;
    m_dirty = true;
}

void COsgObject::SetRotation(double x, double y, double z)
{
    m_rotation[0] = x, m_rotation[1] = y, m_rotation[2] = z;
    m_dirty = true;
}

void COsgObject::SetScale(double x, double y, double z)
{
    m_scale[0] = x, m_scale[1] = y, m_scale[2] = z;
    m_dirty = true;
}

void COsgObject::ApplyMaterial(CMaterial* material)
{
    if (!material || !m_model.valid()) return;
    m_material = material;
    material->ApplyTo(m_model.get());
}

bool COsgObject::ApplySubMaterial(const std::string& name, CMaterial* material)
{
    if (!material || !m_model.valid()) return false;
    FindByName finder(name);
    m_model->accept(finder);
    if (!finder.found) return false;
    material->ApplyTo(finder.found);
    return true;
}

void COsgObject::InsertEffect(osg::Group* effect)
{
    if (!m_model.valid() || !m_localTransform.valid()) return;
    osg::ref_ptr<osg::Group> keep = effect;
    osg::Group* parent = m_localTransform.get();
    // An effect already in place stays; the new one goes between it and the mesh.
    while (parent->getNumChildren() == 1 && parent->getChild(0) != m_model.get() && parent->getChild(0)->asGroup())
        parent = parent->getChild(0)->asGroup();
    parent->replaceChild(m_model.get(), effect);
    effect->addChild(m_model.get());
}

void COsgObject::ApplyScribe()
{
    InsertEffect(new osgFX::Scribe);
}

void COsgObject::ApplyCartoon(float outlineWidth)
{
    osgFX::Cartoon* cartoon = new osgFX::Cartoon;
    cartoon->setOutlineLineWidth(outlineWidth);
    InsertEffect(cartoon);
}

void COsgObject::ApplyAnisotropic(const std::string& lightingMap)
{
    osgFX::AnisotropicLighting* effect = new osgFX::AnisotropicLighting;
    osg::ref_ptr<osg::Image> map =
        osgDB::readImageFile(CContentFiles::Find(lightingMap), osgDB::Registry::instance()->getOptions());
    if (map.valid()) effect->setLightingMap(map.get());
    InsertEffect(effect);
}

CAnimationController* COsgObject::GetAnimationController()
{
    if (!m_segments.valid() && m_model.valid())
    {
        m_segments = new CAnimationController;
        m_segments->Collect(m_model.get());
    }
    return m_segments.get();
}

void COsgObject::SetSimpleAnimation(double rateX, double rateY, double rateZ)
{
    m_simpleAnimation = true;
    m_rates[0] = float(rateX), m_rates[1] = float(rateY), m_rates[2] = float(rateZ);
}

void COsgObject::StepAnimation()
{
    for (int i = 0; i < 3; ++i)
    {
        m_rotation[i] += kAnimationStep * m_rates[i];
        m_translation[i] += kAnimationStep * m_rates[3 + i];
        m_scale[i] += kAnimationStep * m_rates[6 + i];
    }
    m_dirty = true;
}

void COsgObject::UpdateMatrix()
{
    const osg::Matrixd scale = osg::Matrixd::scale(m_scale[0], m_scale[1], m_scale[2]);
    const osg::Matrixd rotation = osg::Matrixd::rotate(m_rotation[0], osg::X_AXIS) *
                                  osg::Matrixd::rotate(m_rotation[1], osg::Y_AXIS) *
                                  osg::Matrixd::rotate(m_rotation[2], osg::Z_AXIS);
    m_worldTransform->setMatrix(scale * rotation * osg::Matrixd::translate(m_translation[0], m_translation[1],
                                                                            m_translation[2]));
    m_dirty = false;
}

void COsgObject::operator()(osg::Node* node, osg::NodeVisitor* visitor)
{
    // A model shown on two markers is visited twice a frame; it moves once.
    const osg::FrameStamp* stamp = visitor ? visitor->getFrameStamp() : nullptr;
    const unsigned frame = stamp ? stamp->getFrameNumber() : ~0u;
    if (m_simpleAnimation && (frame == ~0u || frame != m_lastFrame)) StepAnimation();
    m_lastFrame = frame;
    if (m_dirty) UpdateMatrix();
    traverse(node, visitor);
}

void COsgObject::Detach()
{
    if (m_worldTransform.valid() && m_worldTransform->getUpdateCallback() == this)
        m_worldTransform->setUpdateCallback(nullptr);
}
