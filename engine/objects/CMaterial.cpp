#include "CMaterial.h"

#include "CContentFiles.h"
#include "CLight.h"
#include "COsgSettings.h"
#include "CTagBlock.h"
#include "CTextureStore.h"

#include <osg/BlendFunc>
#include <osg/CullFace>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/LightModel>
#include <osg/NodeVisitor>
#include <osg/TexEnv>
#include <osg/TexGen>
#include <osg/TextureCubeMap>
#include <osgDB/FileUtils>
#include <osgDB/ReadFile>
#include <osgDB/Registry>
#include <osgUtil/HighlightMapGenerator>
#include <osgUtil/TangentSpaceGenerator>

#include <fstream>
#include <sstream>

namespace
{
const char* kOpen = "<MATERIAL>";
const char* kClose = "</MATERIAL>";
const std::vector<std::string> kStops = {"<LIGHT>", "<MATERIAL>", "<MODEL>"};
const char* kStockVertex = "shaders/material.vert";
const char* kStockFragment = "shaders/material.frag";
const char* kShadowVertex = "shaders/shadows.vert";
const char* kShadowFragment = "shaders/shadows.frag";
const int kFixedFunctionUnits = 8;  // texture coordinate sets of fixed-function OpenGL

osg::Vec4 vec4(const std::vector<double>& v, size_t at)
{
    return osg::Vec4(float(v[at]), float(v[at + 1]), float(v[at + 2]), float(v[at + 3]));
}

osg::Image* readImage(const std::string& file)
{
    osg::ref_ptr<osg::Image> image =
        osgDB::readImageFile(CContentFiles::Find(file), osgDB::Registry::instance()->getOptions());
    return (image.valid() && image->data()) ? image.release() : nullptr;
}

osg::Texture2D* loadTexture(const std::string& file)
{
    const std::string path = CContentFiles::Find(file);
    osg::Texture2D* texture = CTextureStore::Instance()->GetTexture(path, path);
    if (!texture) CTagBlock::Print("Error could not load image file " + file);
    return texture;
}

void setCubeFilters(osg::TextureCubeMap* cube)
{
    cube->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    cube->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    cube->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
    cube->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
    cube->setWrap(osg::Texture::WRAP_R, osg::Texture::CLAMP_TO_EDGE);
}

// Six files in the order +x, -x, +y, -y, +z, -z; null when one is missing.
osg::TextureCubeMap* cubeFromFiles(const std::vector<std::string>& files)
{
    osg::ref_ptr<osg::TextureCubeMap> cube = new osg::TextureCubeMap;
    for (unsigned face = 0; face < 6; ++face)
    {
        osg::Image* image = readImage(files[face]);
        if (!image)
        {
            CTagBlock::Print("Error could not load image file " + files[face]);
            return nullptr;
        }
        cube->setImage(face, image);
    }
    setCubeFilters(cube.get());
    return cube.release();
}

osg::Image* subImage(const osg::Image* cross, int col, int row, int faceSize, bool flip)
{
    osg::Image* face = new osg::Image;
    face->allocateImage(faceSize, faceSize, 1, cross->getPixelFormat(), cross->getDataType());
    const unsigned pixelBytes = cross->getPixelSizeInBits() / 8;
    for (int y = 0; y < faceSize; ++y)
    {
        const int sy = flip ? faceSize - 1 - y : y;
        for (int x = 0; x < faceSize; ++x)
        {
            const int sx = flip ? faceSize - 1 - x : x;
            const unsigned char* from = cross->data(col * faceSize + sx, row * faceSize + sy);
            std::copy(from, from + pixelBytes, face->data(x, y));
        }
    }
    return face;
}

// A cube cross in one image: horizontal (4 x 3 faces) or vertical (3 x 4).
// Image rows run upwards, so the top row of the picture is row 2 (or 3).
osg::TextureCubeMap* cubeFromCross(const std::string& file)
{
    osg::ref_ptr<osg::Image> cross = readImage(file);
    const bool horizontal = cross.valid() && cross->s() * 3 == cross->t() * 4;
    const bool vertical = cross.valid() && cross->s() * 4 == cross->t() * 3;
    if (!horizontal && !vertical)
    {
        CTagBlock::Print("Error could not load cube cross image file " + file);
        return nullptr;
    }
    const int size = cross->s() / (horizontal ? 4 : 3);
    const int top = horizontal ? 2 : 3, middle = top - 1, bottom = top - 2;
    osg::ref_ptr<osg::TextureCubeMap> cube = new osg::TextureCubeMap;
    cube->setImage(osg::TextureCubeMap::POSITIVE_X, subImage(cross.get(), 2, middle, size, false));
    cube->setImage(osg::TextureCubeMap::NEGATIVE_X, subImage(cross.get(), 0, middle, size, false));
    cube->setImage(osg::TextureCubeMap::POSITIVE_Y, subImage(cross.get(), 1, top, size, false));
    cube->setImage(osg::TextureCubeMap::NEGATIVE_Y, subImage(cross.get(), 1, bottom, size, false));
    cube->setImage(osg::TextureCubeMap::POSITIVE_Z, subImage(cross.get(), 1, middle, size, false));
    cube->setImage(osg::TextureCubeMap::NEGATIVE_Z, horizontal ? subImage(cross.get(), 3, middle, size, false)
                                                               : subImage(cross.get(), 1, 0, size, true));
    setCubeFilters(cube.get());
    return cube.release();
}

std::string readSource(const std::string& file)
{
    const std::string path = CContentFiles::Find(file);
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in)
    {
        osg::notify(osg::WARN) << "File \"" << file << "\" not found." << std::endl;
        return std::string();
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The source with the header placed after its "#version" directive line
// (comments may come before it), or at the start when it has none.
std::string withHeader(const std::string& source, const std::string& header)
{
    size_t lineStart = 0;
    while (lineStart < source.size())
    {
        const size_t first = source.find_first_not_of(" \t", lineStart);
        const size_t lineEnd = source.find('\n', lineStart);
        if (first != std::string::npos && source.compare(first, 8, "#version") == 0)
        {
            if (lineEnd == std::string::npos) return source + "\n" + header;
            return source.substr(0, lineEnd + 1) + header + source.substr(lineEnd + 1);
        }
        if (lineEnd == std::string::npos) break;
        lineStart = lineEnd + 1;
    }
    return header + source;
}

osg::Shader* makeShader(osg::Shader::Type type, const std::string& file, const std::string& header)
{
    const std::string source = readSource(file);
    if (source.empty()) return nullptr;
    osg::Shader* shader = new osg::Shader(type, withHeader(source, header));
    shader->setName(file);
    return shader;
}

class TangentSpaceVisitor : public osg::NodeVisitor
{
public:
    TangentSpaceVisitor() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
    void apply(osg::Geometry& geometry) override
    {
        if (!geometry.getTexCoordArray(0) || !geometry.getNormalArray()) return;
        osg::ref_ptr<osgUtil::TangentSpaceGenerator> generator = new osgUtil::TangentSpaceGenerator;
        generator->generate(&geometry, 0);
        if (!generator->getTangentArray() || generator->getTangentArray()->empty()) return;
        geometry.setVertexAttribArray(CMaterial::kTangentAttribute, generator->getTangentArray(),
                                      osg::Array::BIND_PER_VERTEX);
        geometry.setVertexAttribArray(CMaterial::kBinormalAttribute, generator->getBinormalArray(),
                                      osg::Array::BIND_PER_VERTEX);
    }
};
}

std::vector<osg::ref_ptr<CMaterial>>& CMaterial::List()
{
    static std::vector<osg::ref_ptr<CMaterial>> materials;
    return materials;
}

const std::vector<osg::ref_ptr<CMaterial>>& CMaterial::Loaded()
{
    return List();
}

CMaterial* CMaterial::At(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= List().size()) return nullptr;
    return List()[static_cast<size_t>(index)].get();
}

void CMaterial::ClearAll()
{
    List().clear();
}

void CMaterial::RebuildPrograms()
{
    for (auto& material : List())
        if (material->m_type == ADVANCED) material->BuildProgram();
}

CMaterial::CMaterial(int id) : m_id(id)
{
    m_stateSet = new osg::StateSet;
    m_stateSet->setName("Material " + std::to_string(id));
    m_material = new osg::Material;
    m_stateSet->setAttributeAndModes(m_material.get(), osg::StateAttribute::ON);
}

CMaterial* CMaterial::Read(COsgSettings& reader)
{
    reader.NextString();  // <MATERIAL>
    osg::ref_ptr<CMaterial> material = new CMaterial(CTagBlock::Integer(reader, kOpen));
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, kClose, kStops);
        if (step == CTagBlock::CLOSED) break;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print(std::string("Warning! <MATERIAL> block is not closed by ") + kClose + "; it ends here");
            break;
        }
        const std::string tag = reader.NextString();
        material->ReadLine(reader, tag);
    }
    material->Finish();
    List().push_back(material);
    return material.get();
}

int CMaterial::ReadAll(COsgSettings& reader)
{
    return CTagBlock::ForEachBlock(reader, kOpen, [](COsgSettings& r) { Read(r); });
}

void CMaterial::ReadLine(COsgSettings& reader, const std::string& tag)
{
    if (tag == "<LIGHTING_ATTS>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 13);
        m_material->setAmbient(osg::Material::FRONT_AND_BACK, vec4(v, 0));
        m_material->setDiffuse(osg::Material::FRONT_AND_BACK, vec4(v, 4));
        m_material->setSpecular(osg::Material::FRONT_AND_BACK, vec4(v, 8));
        m_material->setShininess(osg::Material::FRONT_AND_BACK, std::min(128.f, std::max(0.f, float(v[12]))));
    }
    else if (tag == "<TYPE>")
    {
        const std::string type = reader.NextString();
        if (type == "ADVANCED") m_type = ADVANCED;
        else if (type == "STANDARD") m_type = STANDARD;
        else CTagBlock::Print("Warning! <TYPE> expects STANDARD or ADVANCED, found \"" + type + "\"");
    }
    else if (tag == "<DIFFUSE_TEX>")
    {
        if (osg::Texture2D* texture = loadTexture(reader.NextString()))
        {
            SetTexture(0, texture, "diffuseMap");
            m_hasDiffuse = true;
            m_highestChannel = std::max(m_highestChannel, 1);  // unit 0 is taken
        }
    }
    else if (tag == "<CHANNEL_TEX>")
    {
        const int channel = CTagBlock::Integer(reader, tag);
        const std::string file = reader.NextString();
        if (channel < 0 || channel >= kReflectionUnit)
            CTagBlock::Print("Warning! <CHANNEL_TEX> channel must be 0 to 13, found " + std::to_string(channel));
        else if (osg::Texture2D* texture = loadTexture(file))
        {
            SetTexture(channel, texture, "channel" + std::to_string(channel));
            m_highestChannel = std::max(m_highestChannel, channel + 1);
            if (channel == 0) m_hasDiffuse = true;
            if (channel == 1) m_hasNormalMap = true;
        }
    }
    else if (tag == "<CHANNEL_CUBE>") ReadCubeChannel(reader);
    else if (tag == "<REFLECTION_TEX>")
    {
        const std::string file = reader.NextString();
        const float strength = float(CTagBlock::Numbers(reader, tag, 1)[0]);
        if (osg::Texture2D* texture = loadTexture(file))
        {
            SetTexture(kReflectionUnit, texture, "reflectionMap");
            m_stateSet->addUniform(new osg::Uniform("reflectionStrength", strength));
            m_hasReflection = true;
        }
    }
    else if (tag == "<SPECULAR_FROM_FILES>")
    {
        std::vector<std::string> files;
        for (int i = 0; i < 6; ++i) files.push_back(reader.NextString());
        const float strength = float(CTagBlock::Numbers(reader, tag, 1)[0]);
        if (osg::TextureCubeMap* cube = cubeFromFiles(files))
        {
            SetTexture(kSpecularUnit, cube, "specularMap");
            m_stateSet->addUniform(new osg::Uniform("specularStrength", strength));
            m_hasSpecular = true;
        }
    }
    else if (tag == "<SPECULAR_FROM_LIGHT>")
    {
        // direction x y z, colour r g b a, exponent, strength
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 9);
        osg::Vec3 direction{float(v[0]), float(v[1]), float(v[2])};
        if (direction.length2() == 0.f) direction.set(0.f, 0.f, 1.f);
        direction.normalize();
        osg::ref_ptr<osgUtil::HighlightMapGenerator> generator = new osgUtil::HighlightMapGenerator(
            direction, vec4(v, 3), std::max(1.f, float(v[7])), 64);
        generator->generateMap(false);
        osg::ref_ptr<osg::TextureCubeMap> cube = new osg::TextureCubeMap;
        for (unsigned face = 0; face < 6; ++face)
            cube->setImage(face, generator->getImage(static_cast<osg::TextureCubeMap::Face>(face)));
        setCubeFilters(cube.get());
        SetTexture(kSpecularUnit, cube.get(), "specularMap");
        m_stateSet->addUniform(new osg::Uniform("specularStrength", float(v[8])));
        m_hasSpecular = true;
    }
    else if (tag == "<ALPHA>")
    {
        m_alpha = std::min(1.f, std::max(0.f, float(CTagBlock::Numbers(reader, tag, 1)[0])));
        m_material->setAlpha(osg::Material::FRONT_AND_BACK, m_alpha);
        m_stateSet->setAttributeAndModes(new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
        m_stateSet->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
    }
    else if (tag == "<TWO_SIDED>")
    {
        m_stateSet->setAttributeAndModes(new osg::LightModel, osg::StateAttribute::ON);
        static_cast<osg::LightModel*>(m_stateSet->getAttribute(osg::StateAttribute::LIGHTMODEL))->setTwoSided(true);
        m_stateSet->setMode(GL_CULL_FACE, osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
    }
    else if (tag == "<VERTEX_PROGRAM>") m_vertexFile = reader.NextString();
    else if (tag == "<FRAGMENT_PROGRAM>") m_fragmentFile = reader.NextString();
    else if (tag == "<MAX_2DCHANNELS>") m_max2DChannels = std::max(0, CTagBlock::Integer(reader, tag));
    else if (tag == "<UNIFORM>") ReadUniform(reader);
    else if ((tag == "<MIN>" || tag == "<MAX>") && !m_uniforms.empty())
    {
        UniformInfo& info = m_uniforms.back();
        const int count = static_cast<int>(info.uniform->getNumElements() *
                                           osg::Uniform::getTypeNumComponents(info.uniform->getType()));
        (tag == "<MIN>" ? info.min : info.max) = CTagBlock::Numbers(reader, tag, count);
        (tag == "<MIN>" ? info.hasMin : info.hasMax) = true;
    }
    else if (tag == "<USE_TANGENT_SPACE>") m_useTangentSpace = true;
    else if (tag == "<USE_SHADOWS>") m_useShadows = true;
}

void CMaterial::ReadUniform(COsgSettings& reader)
{
    const std::string type = reader.NextString();
    const std::string name = reader.NextString();
    const std::string tag = "<UNIFORM> " + type + " " + name;
    osg::ref_ptr<osg::Uniform> uniform;
    if (type == "<INT>") uniform = new osg::Uniform(name.c_str(), CTagBlock::Integer(reader, tag));
    else if (type == "<FLOAT>") uniform = new osg::Uniform(name.c_str(), float(CTagBlock::Numbers(reader, tag, 1)[0]));
    else if (type == "<VEC2>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 2);
        uniform = new osg::Uniform(name.c_str(), osg::Vec2(float(v[0]), float(v[1])));
    }
    else if (type == "<VEC3>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 3);
        uniform = new osg::Uniform(name.c_str(), osg::Vec3(float(v[0]), float(v[1]), float(v[2])));
    }
    else if (type == "<VEC4>") uniform = new osg::Uniform(name.c_str(), vec4(CTagBlock::Numbers(reader, tag, 4), 0));
    if (!uniform.valid() || name.empty())
    {
        CTagBlock::Print("Warning! <UNIFORM> expects a type (<INT>, <FLOAT>, <VEC2>, <VEC3>, <VEC4>) and a name, found \"" +
                         type + " " + name + "\"");
        return;
    }
    m_stateSet->addUniform(uniform.get());
    UniformInfo info;
    info.uniform = uniform;
    m_uniforms.push_back(info);
}

void CMaterial::ReadCubeChannel(COsgSettings& reader)
{
    const int channel = CTagBlock::Integer(reader, "<CHANNEL_CUBE>");
    std::vector<std::string> files;
    for (std::string file = reader.NextString(); !file.empty(); file = reader.NextString()) files.push_back(file);
    if (channel < 0 || channel >= kReflectionUnit)
    {
        CTagBlock::Print("Warning! <CHANNEL_CUBE> channel must be 0 to 13, found " + std::to_string(channel));
        return;
    }
    osg::TextureCubeMap* cube = nullptr;
    if (files.size() == 1) cube = cubeFromCross(files[0]);
    else if (files.size() >= 6) cube = cubeFromFiles(files);
    else CTagBlock::Print("Warning! <CHANNEL_CUBE> expects a channel and six files (or one cube cross)");
    if (!cube) return;
    SetTexture(channel, cube, "channel" + std::to_string(channel));
    m_highestChannel = std::max(m_highestChannel, channel + 1);
}

void CMaterial::SetTexture(int unit, osg::Texture* texture, const std::string& sampler)
{
    // Units past the fixed-function ones are for shaders only: no mode there.
    if (unit < kFixedFunctionUnits && (m_type == STANDARD || unit == 0))
        m_stateSet->setTextureAttributeAndModes(static_cast<unsigned>(unit), texture, osg::StateAttribute::ON);
    else
        m_stateSet->setTextureAttribute(static_cast<unsigned>(unit), texture, osg::StateAttribute::ON);
    m_stateSet->addUniform(new osg::Uniform(sampler.c_str(), unit));
}

int CMaterial::Max2DChannels() const
{
    return m_max2DChannels >= 0 ? m_max2DChannels : m_highestChannel;
}

void CMaterial::Finish()
{
    m_stateSet->addUniform(new osg::Uniform("alpha", m_alpha));
    if (m_type == ADVANCED) BuildProgram();
}

std::string CMaterial::DefineHeader() const
{
    std::ostringstream h;
    const int lights = std::min<int>(CLight::kMaxLights, static_cast<int>(CLight::Loaded().size()));
    h << "#define NUM_LIGHTS " << std::max(1, lights) << "\n";
    h << "#define NUM_SHADOWS " << m_shadowTexGens.size() << "\n";
    for (size_t i = 0; i < m_shadowTexGens.size(); ++i) h << "#define SHADOW_TEXGEN_" << i << " " << m_shadowTexGens[i] << "\n";
    if (m_hasDiffuse) h << "#define HAS_DIFFUSE_MAP 1\n";
    if (m_hasNormalMap && m_useTangentSpace) h << "#define HAS_NORMAL_MAP 1\n";
    if (m_hasReflection) h << "#define HAS_REFLECTION_MAP 1\n";
    if (m_hasSpecular) h << "#define HAS_SPECULAR_MAP 1\n";
    if (m_useTangentSpace) h << "#define USE_TANGENT_SPACE 1\n";
    return h.str();
}

void CMaterial::BuildProgram()
{
    const std::string header = DefineHeader();
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->setName("Material " + std::to_string(m_id));
    const std::string vertex = m_vertexFile.empty() ? kStockVertex : m_vertexFile;
    const std::string fragment = m_fragmentFile.empty() ? kStockFragment : m_fragmentFile;
    if (osg::Shader* shader = makeShader(osg::Shader::VERTEX, vertex, header)) program->addShader(shader);
    if (osg::Shader* shader = makeShader(osg::Shader::FRAGMENT, fragment, header)) program->addShader(shader);
    if (!m_shadowTexGens.empty())
    {
        if (osg::Shader* shader = makeShader(osg::Shader::VERTEX, kShadowVertex, header)) program->addShader(shader);
        if (osg::Shader* shader = makeShader(osg::Shader::FRAGMENT, kShadowFragment, header)) program->addShader(shader);
    }
    if (program->getNumShaders() == 0) return;  // nothing found: stay fixed-function
    if (m_useTangentSpace)
    {
        program->addBindAttribLocation("tangent", kTangentAttribute);
        program->addBindAttribLocation("binormal", kBinormalAttribute);
    }
    if (m_program.valid()) m_stateSet->removeAttribute(m_program.get());
    m_program = program;
    m_stateSet->setAttributeAndModes(m_program.get(), osg::StateAttribute::ON);
}

void CMaterial::ApplyTo(osg::Node* node)
{
    if (!node) return;
    node->setStateSet(m_stateSet.get());
    if (m_useTangentSpace)
    {
        TangentSpaceVisitor visitor;
        node->accept(visitor);
    }
}

void CMaterial::BindShadowMap(CLight* light, int lightIndex, int unit)
{
    if (!light || !light->GetDepthTexture()) return;
    const unsigned u = static_cast<unsigned>(unit);
    if (unit < kFixedFunctionUnits)
    {
        m_stateSet->setTextureAttributeAndModes(u, light->GetDepthTexture(), osg::StateAttribute::ON);
        m_stateSet->setTextureMode(u, GL_TEXTURE_GEN_S, osg::StateAttribute::ON);
        m_stateSet->setTextureMode(u, GL_TEXTURE_GEN_T, osg::StateAttribute::ON);
        m_stateSet->setTextureMode(u, GL_TEXTURE_GEN_R, osg::StateAttribute::ON);
        m_stateSet->setTextureMode(u, GL_TEXTURE_GEN_Q, osg::StateAttribute::ON);
        osg::TexEnv* env = new osg::TexEnv(osg::TexEnv::MODULATE);
        env->setColor(osg::Vec4(0.f, 0.f, 0.f, 0.5f));
        m_stateSet->setTextureAttributeAndModes(u, env, osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);
    }
    else
    {
        m_stateSet->setTextureAttribute(u, light->GetDepthTexture(), osg::StateAttribute::ON);
    }
    m_stateSet->addUniform(new osg::Uniform(("ShadowMap" + std::to_string(m_shadowTexGens.size())).c_str(), unit));
    if (m_shadowTexGens.empty()) m_stateSet->addUniform(new osg::Uniform("ShadowMap", unit));
    m_shadowTexGens.push_back(lightIndex);
    BuildProgram();
}
