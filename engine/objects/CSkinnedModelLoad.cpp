// Loading a skinned character's Cal3D files and checking what they hold, so
// that a damaged file is reported instead of crashing the skinning.
#include "CSkinnedModel.h"

#include "CContentFiles.h"
#include "CTagBlock.h"

#include <cal3d/cal3d.h>
#include <cal3d/coretrack.h>

#include <osgDB/FileNameUtils>

namespace
{
std::string calReason()
{
    std::string reason = CalError::getLastErrorDescription();
    const std::string& text = CalError::getLastErrorText();
    if (!text.empty()) reason += " (" + text + ")";
    return reason;
}
}

CSkinnedModel::CSkinnedModel(const std::string& configFile) : m_configFile(configFile) {}

CSkinnedModel::~CSkinnedModel()
{
    DetachNode();  // the scene graph may keep the node
    m_model.reset();  // the instance refers to the core model
    m_core.reset();
}

osg::ref_ptr<CSkinnedModel> CSkinnedModel::Load(const std::string& configFile)
{
    osg::ref_ptr<CSkinnedModel> model = new CSkinnedModel(configFile);
    model->m_core.reset(new CalCoreModel("dummy"));
    if (!model->m_core)
    {
        CTagBlock::Print("Cal 3D Core init failed!");
        return nullptr;
    }
    Config config;
    if (!ReadConfig(configFile, config) || !model->LoadCore(config) || !model->Instance()) return nullptr;
    model->BuildGeometry(config.texDir);
    return model;
}

void CSkinnedModel::Report(const std::string& what) const
{
    CTagBlock::Print("Skin config file '" + m_configFile + "': " + what);
}

std::string CSkinnedModel::Resolve(const std::string& file) const
{
    if (CContentFiles::Exists(file)) return CContentFiles::Find(file);
    const std::string folder = osgDB::getFilePath(CContentFiles::Find(m_configFile));
    const std::string beside = folder.empty() ? file : folder + "/" + file;
    return CContentFiles::Exists(beside) ? CContentFiles::Find(beside) : CContentFiles::Find(file);
}

bool CSkinnedModel::LoadCore(const Config& config)
{
    if (!LoadSkeleton(config.skeleton) || !LoadMesh(config.mesh)) return false;
    LoadAnimations(config.animations);
    LoadMaterials(config.materials);
    return true;
}

bool CSkinnedModel::LoadSkeleton(const std::string& file)
{
    if (m_core->loadCoreSkeleton(Resolve(file))) return true;
    Report("the skeleton " + file + " could not be loaded: " + calReason());
    return false;
}

bool CSkinnedModel::LoadMesh(const std::string& file)
{
    m_meshId = m_core->loadCoreMesh(Resolve(file));
    if (m_meshId < 0)
    {
        Report("the mesh " + file + " could not be loaded: " + calReason());
        return false;
    }
    return CheckMesh(m_meshId, file);
}

bool CSkinnedModel::CheckMesh(int meshId, const std::string& file)
{
    const int bones = GetBoneCount();
    for (CalCoreSubmesh* submesh : m_core->getCoreMesh(meshId)->getVectorCoreSubmesh())
    {
        const std::vector<CalCoreSubmesh::Vertex>& vertices = submesh->getVectorVertex();
        for (const CalCoreSubmesh::Vertex& vertex : vertices)
            for (const CalCoreSubmesh::Influence& influence : vertex.vectorInfluence)
                if (influence.boneId < 0 || influence.boneId >= bones)
                {
                    Report("the mesh " + file + " is damaged: expected bone numbers below " + std::to_string(bones) +
                           ", found " + std::to_string(influence.boneId));
                    return false;
                }
        for (const CalCoreSubmesh::Face& face : submesh->getVectorFace())
            for (int corner = 0; corner < 3; ++corner)
                if (int(face.vertexId[corner]) < 0 || int(face.vertexId[corner]) >= int(vertices.size()))
                {
                    Report("the mesh " + file + " is damaged: expected vertex numbers below " +
                           std::to_string(vertices.size()) + ", found " + std::to_string(face.vertexId[corner]));
                    return false;
                }
        for (const auto& coordinates : submesh->getVectorVectorTextureCoordinate())
            if (coordinates.size() != vertices.size())
            {
                Report("the mesh " + file + " is damaged: expected a texture coordinate for each of its " +
                       std::to_string(vertices.size()) + " vertices, found " + std::to_string(coordinates.size()));
                return false;
            }
    }
    return true;
}

void CSkinnedModel::LoadAnimations(const std::vector<CSkinnedAnimation>& animations)
{
    for (CSkinnedAnimation animation : animations)
    {
        if (animation.file == "NULL")
        {
            Report("the <ANIMATION> " + animation.name + " names no <FILE>; it is left out");
            continue;
        }
        animation.coreId = m_core->loadCoreAnimation(Resolve(animation.file));
        if (animation.coreId < 0)
        {
            Report("the animation " + animation.file + " could not be loaded: " + calReason() + "; it is left out");
            continue;
        }
        if (!CheckAnimation(animation.coreId, animation.file)) continue;
        m_core->addAnimationName(animation.name, animation.coreId);
        m_animations.push_back(animation);
    }
}

bool CSkinnedModel::CheckAnimation(int animationId, const std::string& file)
{
    const int bones = GetBoneCount();
    for (CalCoreTrack* track : m_core->getCoreAnimation(animationId)->getListCoreTrack())
        if (track->getCoreBoneId() < 0 || track->getCoreBoneId() >= bones)
        {
            Report("the animation " + file + " is damaged: expected bone numbers below " + std::to_string(bones) +
                   ", found " + std::to_string(track->getCoreBoneId()) + "; it is left out");
            m_core->unloadCoreAnimation(animationId);
            return false;
        }
    return true;
}

void CSkinnedModel::LoadMaterials(const std::vector<std::string>& files)
{
    for (const std::string& file : files)
    {
        const int id = m_core->loadCoreMaterial(Resolve(file));
        if (id < 0)
        {
            Report("the material " + file + " could not be loaded: " + calReason() + "; it is left out");
            continue;
        }
        // Material thread n (the mesh's n-th material) takes the n-th loaded material.
        m_core->createCoreMaterialThread(m_materialCount);
        m_core->setCoreMaterialId(m_materialCount, 0, id);
        ++m_materialCount;
    }
}

bool CSkinnedModel::Instance()
{
    m_model.reset(new CalModel(m_core.get()));
    if (!m_model->attachMesh(m_meshId))
    {
        Report("the mesh could not be attached: " + calReason());
        m_model.reset();
        return false;
    }
    m_model->setMaterialSet(0);
    m_model->disableInternalData();  // the skinned pose is written straight into the drawn arrays
    for (const CSkinnedAnimation& animation : m_animations)
        if (animation.IsCycle()) m_model->getMixer()->blendCycle(animation.coreId, 1.f, 0.f);
    m_model->update(0.f);
    return true;
}

int CSkinnedModel::GetBoneCount() const
{
    CalCoreSkeleton* skeleton = m_core ? m_core->getCoreSkeleton() : nullptr;
    return skeleton ? int(skeleton->getVectorCoreBone().size()) : 0;
}
