#include "CLightRig.h"

#include "CLight.h"
#include "CMaterial.h"
#include "COsgSettings.h"
#include "CTagBlock.h"
#include "UpdateCameraAndTexGenCallback.h"

#include <osg/CullFace>
#include <osg/PolygonOffset>
#include <osg/Program>
#include <osg/TexGenNode>
#include <osg/Texture2D>

#include <algorithm>

namespace
{
const int kMinResolution = 16;     // texels
const int kMaxResolution = 8192;   // texels
const int kDepthPassUnits = 8;     // fixed-function texture units switched off while rendering depth

osg::Texture2D* makeDepthTexture(int resolution)
{
    osg::Texture2D* texture = new osg::Texture2D;
    texture->setTextureSize(resolution, resolution);
    texture->setInternalFormat(GL_DEPTH_COMPONENT);
    texture->setSourceFormat(GL_DEPTH_COMPONENT);
    texture->setSourceType(GL_FLOAT);
    texture->setShadowComparison(true);
    texture->setShadowCompareFunc(osg::Texture::LEQUAL);
    texture->setShadowTextureMode(osg::Texture::LUMINANCE);
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    // Points outside the map are lit: the border is at the far plane.
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_BORDER);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_BORDER);
    texture->setBorderColor(osg::Vec4d(1, 1, 1, 1));
    return texture;
}

osg::Camera* makeDepthCamera(osg::Texture2D* depth, int resolution, osg::Node* caster)
{
    osg::Camera* camera = new osg::Camera;
    camera->setName("Shadow depth camera");
    camera->setClearMask(GL_DEPTH_BUFFER_BIT);
    camera->setClearColor(osg::Vec4(1.f, 1.f, 1.f, 1.f));
    camera->setComputeNearFarMode(osg::Camera::DO_NOT_COMPUTE_NEAR_FAR);
    camera->setReferenceFrame(osg::Camera::ABSOLUTE_RF);
    camera->setViewport(0, 0, resolution, resolution);
    camera->setRenderOrder(osg::Camera::PRE_RENDER);
    camera->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    camera->attach(osg::Camera::DEPTH_BUFFER, depth);
    const osg::StateAttribute::GLModeValue forced = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    osg::StateSet* state = camera->getOrCreateStateSet();
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
    state->setAttributeAndModes(new osg::PolygonOffset(0.1f, 1.0f), forced);
    state->setAttributeAndModes(new osg::CullFace(osg::CullFace::FRONT), forced);
    // Depth only: no material program and no textures, so no shadow map is
    // read while it is being written.
    state->setAttributeAndModes(new osg::Program, forced);
    for (unsigned unit = 0; unit < kDepthPassUnits; ++unit)
        state->setTextureMode(unit, GL_TEXTURE_2D, osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
    camera->addChild(caster);
    return camera;
}
}

void CLightRig::LoadLights(COsgSettings& file)
{
    CLight::ReadAll(file);
}

osg::Group* CLightRig::MakeShadowPass(CLight* light, osg::Node* caster, osg::Node* shadowed, int index,
                                      int resolution)
{
    osg::Group* pass = new osg::Group;
    pass->setName("Shadow pass " + std::to_string(index));
    osg::Texture2D* depth = makeDepthTexture(resolution);
    light->SetDepthTexture(depth);
    osg::Camera* camera = makeDepthCamera(depth, resolution, caster);
    pass->addChild(camera);
    osg::TexGenNode* texGen = new osg::TexGenNode;
    texGen->setTextureUnit(static_cast<unsigned>(index));
    texGen->getTexGen()->setMode(osg::TexGen::EYE_LINEAR);
    texGen->setCullingActive(false);
    pass->addChild(texGen);
    light->SetTexMat(new osg::TexMat);
    pass->setUpdateCallback(new UpdateCameraAndTexGenCallback(light->Position(), camera, texGen, light->GetTexMat()));
    pass->addChild(shadowed);
    return pass;
}

osg::Node* CLightRig::Build(osg::Group* content, bool useShadows, int shadowMapResolution)
{
    const std::vector<osg::ref_ptr<CLight>>& lights = CLight::Loaded();
    if (!content) return nullptr;
    if (lights.empty()) return content;
    osg::ref_ptr<osg::Group> current = content;
    const int usable = std::min<int>(CLight::kMaxLights, static_cast<int>(lights.size()));
    if (useShadows)
    {
        const int resolution = std::max(kMinResolution, std::min(kMaxResolution, shadowMapResolution));
        for (int i = 0; i < usable; ++i)
            current = MakeShadowPass(lights[static_cast<size_t>(i)].get(), content, current.get(), i, resolution);
        for (auto& material : CMaterial::Loaded())
        {
            if (material->GetType() != CMaterial::ADVANCED || !material->UsesShadows()) continue;
            for (int i = 0; i < usable; ++i)
                material->BindShadowMap(lights[static_cast<size_t>(i)].get(), i, material->Max2DChannels() + i);
        }
        osg::StateSet* state = current->getOrCreateStateSet();
        state->setTextureAttribute(kCompensationUnit, lights[0]->GetDepthTexture(), osg::StateAttribute::ON);
        state->addUniform(new osg::Uniform("ShadowMap", kCompensationUnit));
        state->addUniform(new osg::Uniform("shadowTexelSize", 1.f / float(resolution)));
    }
    CMaterial::RebuildPrograms();
    osg::StateSet* state = current->getOrCreateStateSet();
    state->setMode(GL_LIGHTING, osg::StateAttribute::ON);  // lights need lighting, whatever the content says
    for (size_t i = 0; i < lights.size(); ++i)
    {
        if (static_cast<int>(i) >= usable)
        {
            CTagBlock::Print("Warning! Only " + std::to_string(CLight::kMaxLights) + " lights can shine; light " +
                             std::to_string(lights[i]->Id()) + " is left off");
            continue;
        }
        lights[i]->GetLightSource()->setStateSetModes(*state, osg::StateAttribute::ON);
        lights[i]->AddUniforms(state);
        current->addChild(lights[i]->GetLightSource());
    }
    return current.release();
}
