// How the bubbles are drawn: their sphere, program, textures and uniforms.
#include "CBubbleEntity.h"

#include "CMessageLog.h"
#include "CShaderFile.h"
#include "CTextureStore.h"

#include <osg/BlendFunc>
#include <osg/CullFace>
#include <osg/Depth>
#include <osg/Geometry>
#include <osg/Program>

#include <cmath>
#include <utility>

namespace
{
const char* const kVertexShader = "shaders/bubble.vert";
const char* const kFragmentShader = "shaders/bubble.frag";
const char* const kRainbow = "shaders/textures/rainbow.jpg";
const char* const kEnvironment = "SPEC_STD_ENVMAP";
const int kRainbowUnit = 0, kPictureUnit = 1, kEnvironmentUnit = 2;

// Neighbours within this distance of a bubble's surface pull it towards them...
const float kRadiusOfInfluence = 10.f;
// ...by at most this much (millimetres).
const float kBailOut = 3.f;
const osg::Vec3f kBaseColour(0.92f, 0.97f, 1.f);
const float kMixRatio = 0.45f;
const osg::Vec3f kLightPosition(300.f, 600.f, 0.f);  // above and to the right of the camera

void log(const std::string& text)
{
    CMessageLog::Instance()->WriteToLog(text);
}

// A sphere of `radius` round the origin with normals and texture coordinates.
osg::Geometry* sphere(float radius, int slices, int stacks)
{
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec2Array> coords = new osg::Vec2Array;
    const float pi = 3.14159265f;
    for (int j = 0; j <= stacks; ++j)
        for (int i = 0; i <= slices; ++i)
        {
            const float a = 2.f * pi * float(i) / float(slices), b = pi * float(j) / float(stacks) - pi / 2.f;
            const osg::Vec3f n(std::cos(b) * std::cos(a), std::sin(b), std::cos(b) * std::sin(a));
            vertices->push_back(n * radius);
            normals->push_back(n);
            coords->push_back(osg::Vec2f(float(i) / float(slices), float(j) / float(stacks)));
        }
    osg::ref_ptr<osg::DrawElementsUShort> triangles = new osg::DrawElementsUShort(GL_TRIANGLES);
    for (int j = 0; j < stacks; ++j)
        for (int i = 0; i < slices; ++i)
        {
            const unsigned short a = static_cast<unsigned short>(j * (slices + 1) + i), b = a + 1,
                                 c = static_cast<unsigned short>(a + slices + 1), d = c + 1;
            for (unsigned short v : {a, c, b, b, c, d}) triangles->push_back(v);
        }
    osg::Geometry* geometry = new osg::Geometry;
    geometry->setVertexArray(vertices.get());
    geometry->setNormalArray(normals.get(), osg::Array::BIND_PER_VERTEX);
    geometry->setTexCoordArray(0, coords.get());
    geometry->addPrimitiveSet(triangles.get());
    return geometry;
}
}

void CBubbleEntity::BuildShading()
{
    m_bubble = new osg::Geode;
    m_bubble->addDrawable(sphere(kRadius, 24, 16));

    osg::StateSet* state = m_node->getOrCreateStateSet();
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->setName("Bubble");
    for (const auto& file : {std::make_pair(osg::Shader::VERTEX, kVertexShader),
                             std::make_pair(osg::Shader::FRAGMENT, kFragmentShader)})
        if (osg::Shader* shader = CShaderFile::Read(file.first, file.second, "CBubbleEntity", "the bubbles are drawn plain"))
            program->addShader(shader);
    if (program->getNumShaders() == 2) state->setAttributeAndModes(program.get(), osg::StateAttribute::ON);

    CTextureStore* store = CTextureStore::Instance();
    if (osg::Texture2D* rainbow = store->GetTexture("RAINBOW", kRainbow))
        state->setTextureAttributeAndModes(kRainbowUnit, rainbow, osg::StateAttribute::ON);
    else
        log("CBubbleEntity: Error: could not load " + std::string(kRainbow) + "; the bubbles have no colours");
    m_picture = store->GetSceneTexture();
    state->setTextureAttributeAndModes(kPictureUnit, m_picture.get(), osg::StateAttribute::ON);
    if (osg::Texture2D* environment = store->GetTexture(kEnvironment, CTextureStore::EnvironmentMapFile(kEnvironment)))
        state->setTextureAttributeAndModes(kEnvironmentUnit, environment, osg::StateAttribute::ON);

    m_blobbyPos = new osg::Uniform(osg::Uniform::FLOAT_VEC4, "BlobbyPos[0]", kBlobCount);
    for (int i = 0; i < kBlobCount; ++i) m_blobbyPos->setElement(static_cast<unsigned>(i), osg::Vec4f());
    m_frameWidth = new osg::Uniform("FrameWidth", 640.f);
    m_frameHeight = new osg::Uniform("FrameHeight", 480.f);
    state->addUniform(new osg::Uniform("BlobbyCount", kBlobCount));
    state->addUniform(m_blobbyPos.get());
    state->addUniform(new osg::Uniform("BailOut", kBailOut));
    state->addUniform(new osg::Uniform("RadiusOfInfluence", kRadiusOfInfluence));
    state->addUniform(new osg::Uniform("RainbowMap", kRainbowUnit));
    state->addUniform(new osg::Uniform("RefractionMap", kPictureUnit));
    state->addUniform(new osg::Uniform("EnvMap", kEnvironmentUnit));
    state->addUniform(new osg::Uniform("BaseColor", kBaseColour));
    state->addUniform(new osg::Uniform("MixRatio", kMixRatio));
    state->addUniform(m_frameWidth.get());
    state->addUniform(m_frameHeight.get());
    state->addUniform(new osg::Uniform("LightPos", kLightPosition));

    // A film over what lies behind: blended, front faces only, hiding nothing.
    state->setAttributeAndModes(new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), osg::StateAttribute::ON);
    state->setAttributeAndModes(new osg::CullFace(osg::CullFace::BACK), osg::StateAttribute::ON);
    state->setAttributeAndModes(new osg::Depth(osg::Depth::LESS, 0.0, 1.0, false), osg::StateAttribute::ON);
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    state->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
}
