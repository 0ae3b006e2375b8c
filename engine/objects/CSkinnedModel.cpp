#include "CSkinnedModel.h"

#include "CContentFiles.h"
#include "CTagBlock.h"

#include <cal3d/cal3d.h>

#include <osg/FrameStamp>
#include <osg/Material>
#include <osg/NodeVisitor>
#include <osg/Texture2D>
#include <osgDB/ReadFile>
#include <osgDB/Registry>

#include <algorithm>
#include <cfloat>

// Runs the character once per frame in the update traversal, by the frame's
// reference time. Holds its character weakly: the character owns the node.
class CSkinnedModelUpdate : public osg::NodeCallback
{
public:
    explicit CSkinnedModelUpdate(CSkinnedModel* model) : m_model(model) {}
    void operator()(osg::Node* node, osg::NodeVisitor* visitor) override
    {
        const osg::FrameStamp* stamp = visitor ? visitor->getFrameStamp() : nullptr;
        if (stamp && m_model && stamp->getFrameNumber() != m_frame)
        {
            const double now = stamp->getReferenceTime();
            const double seconds = m_time == DBL_MAX ? 0.0 : now - m_time;
            m_model->Update(float(seconds > 0.0 ? seconds : 0.0));
            m_time = now;
            m_frame = stamp->getFrameNumber();
        }
        traverse(node, visitor);
    }
    void Forget() { m_model = nullptr; }

private:
    CSkinnedModel* m_model;
    double m_time = DBL_MAX;
    unsigned m_frame = ~0u;
};

namespace
{
osg::Vec4 colour(const CalCoreMaterial::Color& c)
{
    return osg::Vec4(c.red / 255.f, c.green / 255.f, c.blue / 255.f, c.alpha / 255.f);
}
}

osg::StateSet* CSkinnedModel::MaterialState(int materialThread, const std::string& texDir)
{
    osg::StateSet* state = new osg::StateSet;
    const int id = materialThread >= 0 && materialThread < m_materialCount
                       ? m_core->getCoreMaterialId(materialThread, 0)
                       : -1;
    CalCoreMaterial* material = id >= 0 ? m_core->getCoreMaterial(id) : nullptr;
    if (!material) return state;
    osg::Material* lighting = new osg::Material;
    lighting->setAmbient(osg::Material::FRONT_AND_BACK, colour(material->getAmbientColor()));
    lighting->setDiffuse(osg::Material::FRONT_AND_BACK, colour(material->getDiffuseColor()));
    lighting->setSpecular(osg::Material::FRONT_AND_BACK, colour(material->getSpecularColor()));
    lighting->setShininess(osg::Material::FRONT_AND_BACK, std::min(128.f, std::max(0.f, material->getShininess())));
    state->setAttributeAndModes(lighting);
    if (material->getMapCount() < 1) return state;
    const std::string map = material->getMapFilename(0);
    const std::string path = CContentFiles::Find(texDir + "/" + map);
    osg::ref_ptr<osg::Image> image =
        CContentFiles::Exists(path) ? osgDB::readImageFile(path, osgDB::Registry::instance()->getOptions()) : nullptr;
    if (!image.valid())
    {
        Report("the texture " + map + " was not found in <TEX_DIR> " + texDir + "; the character is drawn without it");
        return state;
    }
    osg::Texture2D* texture = new osg::Texture2D(image.get());
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
    state->setTextureAttributeAndModes(0, texture);
    return state;
}

void CSkinnedModel::DetachNode()
{
    if (!m_geode.valid()) return;
    if (CSkinnedModelUpdate* update = dynamic_cast<CSkinnedModelUpdate*>(m_geode->getUpdateCallback()))
        update->Forget();
    m_geode->setUpdateCallback(nullptr);
}

void CSkinnedModel::BuildGeometry(const std::string& texDir)
{
    m_geode = new osg::Geode;
    m_geode->setName("Skinned character");
    m_geode->getOrCreateStateSet()->setMode(GL_NORMALIZE, osg::StateAttribute::ON);  // scaled by the entity
    CalMesh* mesh = m_model->getMesh(m_meshId);
    for (int s = 0; s < mesh->getSubmeshCount(); ++s)
    {
        CalCoreSubmesh* core = mesh->getSubmesh(s)->getCoreSubmesh();
        Submesh submesh;
        submesh.mesh = m_meshId, submesh.submesh = s;
        const unsigned count = unsigned(core->getVertexCount());
        submesh.vertices = new osg::Vec3Array(count);
        submesh.normals = new osg::Vec3Array(count);
        osg::Geometry* geometry = new osg::Geometry;
        geometry->setDataVariance(osg::Object::DYNAMIC);
        geometry->setUseDisplayList(false);
        geometry->setUseVertexBufferObjects(true);
        geometry->setVertexArray(submesh.vertices.get());
        geometry->setNormalArray(submesh.normals.get(), osg::Array::BIND_PER_VERTEX);
        const auto& coordinates = core->getVectorVectorTextureCoordinate();
        if (!coordinates.empty())
        {
            osg::Vec2Array* uv = new osg::Vec2Array(count);
            for (unsigned v = 0; v < count; ++v) (*uv)[v].set(coordinates[0][v].u, coordinates[0][v].v);
            geometry->setTexCoordArray(0, uv, osg::Array::BIND_PER_VERTEX);
        }
        osg::DrawElementsUInt* faces = new osg::DrawElementsUInt(GL_TRIANGLES);
        for (const CalCoreSubmesh::Face& face : core->getVectorFace())
            for (int corner = 0; corner < 3; ++corner) faces->push_back(face.vertexId[corner]);
        geometry->addPrimitiveSet(faces);
        geometry->setStateSet(MaterialState(core->getCoreMaterialThreadId(), texDir));
        submesh.geometry = geometry;
        m_geode->addDrawable(geometry);
        m_submeshes.push_back(submesh);
    }
    m_geode->setUpdateCallback(new CSkinnedModelUpdate(this));
    Skin();
}

void CSkinnedModel::Skin()
{
    CalPhysique* physique = m_model->getPhysique();
    for (Submesh& submesh : m_submeshes)
    {
        CalSubmesh* calSubmesh = m_model->getMesh(submesh.mesh)->getSubmesh(submesh.submesh);
        physique->calculateVertices(calSubmesh, &(*submesh.vertices)[0].x());
        physique->calculateNormals(calSubmesh, &(*submesh.normals)[0].x());
        submesh.vertices->dirty();
        submesh.normals->dirty();
        submesh.geometry->dirtyBound();
    }
}

void CSkinnedModel::Update(float seconds)
{
    if (!m_model) return;
    CalMixer* mixer = m_model->getMixer();
    if (!m_paused) mixer->updateAnimation(seconds);
    mixer->updateSkeleton();
    Skin();
}

int CSkinnedModel::FindAnimation(const std::string& name) const
{
    for (size_t i = 0; i < m_animations.size(); ++i)
        if (m_animations[i].name == name) return int(i);
    return -1;
}

bool CSkinnedModel::StartAction(int index, float fadeIn, float fadeOut)
{
    if (index < 0 || index >= GetAnimationCount() || !m_model) return false;
    CalMixer* mixer = m_model->getMixer();
    mixer->removeAction(m_animations[size_t(index)].coreId);
    return mixer->executeAction(m_animations[size_t(index)].coreId, fadeIn, fadeOut);
}

bool CSkinnedModel::StartAction(const std::string& name, float fadeIn, float fadeOut)
{
    return StartAction(FindAnimation(name), fadeIn, fadeOut);
}

bool CSkinnedModel::StopAction(const std::string& name)
{
    const int index = FindAnimation(name);
    if (index < 0 || !m_model) return false;
    return m_model->getMixer()->removeAction(m_animations[size_t(index)].coreId);
}

bool CSkinnedModel::BlendCycle(const std::string& name, float weight, float delay)
{
    const int index = FindAnimation(name);
    if (index < 0 || !m_model) return false;
    CalMixer* mixer = m_model->getMixer();
    const int id = m_animations[size_t(index)].coreId;
    return weight > 0.f ? mixer->blendCycle(id, weight, delay) : mixer->clearCycle(id, delay);
}

int CSkinnedModel::GetActiveAnimationCount() const
{
    if (!m_model) return 0;
    CalMixer* mixer = m_model->getMixer();
    return int(mixer->getAnimationActionList().size() + mixer->getAnimationCycle().size());
}
