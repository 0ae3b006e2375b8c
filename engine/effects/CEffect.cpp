#include "CEffect.h"

#include "CContentFindings.h"
#include "CPathResolver.h"

#include <osg/Notify>
#include <osgDB/FileUtils>

#include <cassert>
#include <iostream>

CEffect::CEffect() : CEffect("GENERIC", "BASICEFFECT") {}

CEffect::CEffect(const std::string& typeName, const std::string& effectName)
    : m_typeName(typeName),
      m_effectName(effectName),
      m_stateSet(new osg::StateSet),
      m_program(new osg::Program),
      m_vertexShader(new osg::Shader(osg::Shader::VERTEX)),
      m_fragmentShader(new osg::Shader(osg::Shader::FRAGMENT))
{
}

CEffect::~CEffect() = default;

void CEffect::Print(const std::string& line)
{
    CContentFindings::Report(line);
    std::cout << line << std::endl;
}

std::string CEffect::FindDataFile(const std::string& fileName)
{
    if (fileName.empty()) return std::string();
    return osgDB::findDataFile(CPathResolver::Resolve(fileName));
}

void CEffect::NextPreset(bool forward)
{
    const int count = GetPresetCount();
    if (count == 0) return;
    if (forward)
    {
        if (m_currentPreset >= count - 1) m_currentPreset = -1;
        ++m_currentPreset;
    }
    else
    {
        if (m_currentPreset <= 0) m_currentPreset = count;
        --m_currentPreset;
    }
    ApplyPreset(m_currentPreset);
}

bool CEffect::SelectPreset(int index)
{
    if (index < 0 || index >= GetPresetCount()) return false;
    m_currentPreset = index;
    ApplyPreset(index);
    return true;
}

CEffectProps* CEffect::GetPreset(int index) const
{
    if (index <= 0 || index >= GetPresetCount()) return nullptr;
    return m_presets[static_cast<size_t>(index)];
}

CEffectProps* CEffect::FindPreset(const std::string& name) const
{
    for (CEffectProps* preset : m_presets)
        if (preset->name == name) return preset;
    return nullptr;
}

void CEffect::AddPresets(const std::vector<CEffectProps*>& presets)
{
    for (CEffectProps* preset : presets)
        if (preset) m_presets.push_back(preset);
}

void CEffect::AppendOwnPreset(CEffectProps* preset)
{
    assert(preset && "AppendOwnPreset: needs a preset");
    m_ownPresets.emplace_back(preset);
    m_presets.push_back(preset);
}

void CEffect::AddUniform(osg::Uniform* uniform)
{
    assert(uniform && "AddUniform: needs a uniform");
    m_uniforms.push_back(uniform);
    m_stateSet->addUniform(uniform, osg::StateAttribute::ON);
}

osg::Uniform* CEffect::FindUniform(const std::string& name) const
{
    for (const osg::ref_ptr<osg::Uniform>& uniform : m_uniforms)
        if (uniform->getName() == name) return uniform.get();
    return nullptr;
}

osg::Uniform* CEffect::MakeUniform(const std::string& name, float value)
{
    return new osg::Uniform(name.c_str(), value);
}

bool CEffect::LoadShaderSource(osg::Shader* shader, const std::string& fileName)
{
    assert(shader && "LoadShaderSource: needs a shader");
    const std::string found = FindDataFile(fileName);
    if (found.empty() || !shader->loadShaderSourceFromFile(found))
    {
        osg::notify(osg::WARN) << "File \"" << fileName << "\" not found." << std::endl;
        return false;
    }
    shader->setName(fileName);
    return true;
}

void CEffect::BuildProgram(const std::string& stem)
{
    m_program->setName(m_effectName);
    m_program->addShader(m_vertexShader.get());
    m_program->addShader(m_fragmentShader.get());
    // Override: a model that brings a shader material of its own is still
    // drawn with the effect it was given.
    m_stateSet->setAttributeAndModes(m_program.get(), osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);
    const bool fragment = LoadShaderSource(m_fragmentShader.get(), stem + ".frag");
    const bool vertex = LoadShaderSource(m_vertexShader.get(), stem + ".vert");
    if (!fragment || !vertex) DropProgram();
}

void CEffect::DropProgram()
{
    // A program with an empty shader cannot link. Without it, and without the
    // maps that only the shaders make sense of, the model still draws with
    // its own materials and textures.
    m_stateSet->removeAttribute(m_program.get());
    for (unsigned unit = 0; unit < m_stateSet->getTextureAttributeList().size(); ++unit)
    {
        const osg::StateSet::RefAttributePair* texture =
            m_stateSet->getTextureAttributePair(unit, osg::StateAttribute::TEXTURE);
        if (!texture || !(texture->second & osg::StateAttribute::OVERRIDE)) continue;
        m_stateSet->removeTextureAttribute(unit, osg::StateAttribute::TEXTURE);
        for (GLenum mode : {GL_TEXTURE_2D, GL_TEXTURE_3D}) m_stateSet->removeTextureMode(unit, mode);
    }
}
