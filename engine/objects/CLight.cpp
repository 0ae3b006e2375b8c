#include "CLight.h"

#include "COsgSettings.h"
#include "CTagBlock.h"

#include <osg/Uniform>

#include <cstdio>

namespace
{
const char* kOpen = "<LIGHT>";
const char* kClose = "</LIGHT>";
const std::vector<std::string> kStops = {"<LIGHT>", "<MATERIAL>", "<MODEL>"};

osg::Vec4 vec4(const std::vector<double>& v)
{
    return osg::Vec4(float(v[0]), float(v[1]), float(v[2]), float(v[3]));
}

std::string uniformName(int index, const char* member)
{
    char name[64];
    std::snprintf(name, sizeof(name), "light[%d].%s", index, member);
    return name;
}
}

std::vector<osg::ref_ptr<CLight>>& CLight::List()
{
    static std::vector<osg::ref_ptr<CLight>> lights;
    return lights;
}

const std::vector<osg::ref_ptr<CLight>>& CLight::Loaded()
{
    return List();
}

void CLight::ClearAll()
{
    List().clear();
}

CLight::CLight(int id, int index) : m_id(id), m_index(index)
{
}

CLight* CLight::Read(COsgSettings& reader)
{
    reader.NextString();  // <LIGHT>
    const int id = CTagBlock::Integer(reader, kOpen);
    osg::ref_ptr<CLight> light = new CLight(id, static_cast<int>(List().size()));
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, kClose, kStops);
        if (step == CTagBlock::CLOSED) break;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print(std::string("Warning! <LIGHT> block is not closed by ") + kClose + "; it ends here");
            break;
        }
        const std::string tag = reader.NextString();
        if (tag == "<COLOUR>") light->m_colour = vec4(CTagBlock::Numbers(reader, tag, 4));
        else if (tag == "<AMBIENT>") light->m_ambient = vec4(CTagBlock::Numbers(reader, tag, 4));
        else if (tag == "<SPECULAR>") light->m_specular = vec4(CTagBlock::Numbers(reader, tag, 4));
        else if (tag == "<POSITION>") light->m_position = vec4(CTagBlock::Numbers(reader, tag, 4));
        else if (tag == "<ATTENUATION>")
        {
            const std::vector<double> a = CTagBlock::Numbers(reader, tag, 3);
            light->m_attenuation.set(float(a[0]), float(a[1]), float(a[2]));
        }
    }
    light->BuildLight();
    List().push_back(light);
    return light.get();
}

int CLight::ReadAll(COsgSettings& reader)
{
    return CTagBlock::ForEachBlock(reader, kOpen, [](COsgSettings& r) { Read(r); });
}

void CLight::BuildLight()
{
    m_light = new osg::Light(static_cast<unsigned>(m_index < kMaxLights ? m_index : kMaxLights - 1));
    m_light->setDiffuse(m_colour);
    m_light->setAmbient(m_ambient);
    m_light->setSpecular(m_specular);
    m_light->setPosition(m_position);
    m_light->setConstantAttenuation(m_attenuation.x());
    m_light->setLinearAttenuation(m_attenuation.y());
    m_light->setQuadraticAttenuation(m_attenuation.z());
    m_lightSource = new osg::LightSource;
    m_lightSource->setLight(m_light.get());
    m_lightSource->setName("Light " + std::to_string(m_id));
}

void CLight::AddUniforms(osg::StateSet* state) const
{
    state->addUniform(new osg::Uniform(uniformName(m_index, "lightPos").c_str(), m_position));
    state->addUniform(new osg::Uniform(uniformName(m_index, "lightColor").c_str(), m_colour));
    state->addUniform(new osg::Uniform(uniformName(m_index, "constant").c_str(), m_attenuation.x()));
    state->addUniform(new osg::Uniform(uniformName(m_index, "linear").c_str(), m_attenuation.y()));
    state->addUniform(new osg::Uniform(uniformName(m_index, "quadratic").c_str(), m_attenuation.z()));
}
