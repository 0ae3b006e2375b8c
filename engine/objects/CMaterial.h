#pragma once
// One material record read from a <MATERIAL> block of a model group file.
// Every material read joins one process-wide list in load order; model group
// files address materials by the number in their block plus the number of
// materials loaded before the file. The list owns the records.
//
// A material is a state set that model nodes share. "STANDARD" materials are
// fixed-function (colours, a diffuse texture on unit 0, transparency, two
// sided lighting). "ADVANCED" materials add a GLSL program: the file's own
// <VERTEX_PROGRAM>/<FRAGMENT_PROGRAM>, or else "shaders/material.vert" and
// "shaders/material.frag". Texture units and sampler uniforms:
//   <DIFFUSE_TEX>            unit 0, sampler "diffuseMap"
//   <CHANNEL_TEX> c / <CHANNEL_CUBE> c   unit c, sampler "channel<c>"
//                            (the stock program reads channel 1 as a
//                            tangent-space normal map with <USE_TANGENT_SPACE>)
//   <REFLECTION_TEX>         unit 14, sampler "reflectionMap" (sphere map), "reflectionStrength"
//   <SPECULAR_FROM_FILES>/<SPECULAR_FROM_LIGHT>  unit 15, sampler "specularMap" (cube), "specularStrength"
//   shadow map of light i    unit <MAX_2DCHANNELS> + i, sampler "ShadowMap<i>" (and "ShadowMap" for light 0)
// Every program is compiled with a header of #defines telling it which of
// these are present (HAS_DIFFUSE_MAP, HAS_NORMAL_MAP, HAS_REFLECTION_MAP,
// HAS_SPECULAR_MAP, NUM_LIGHTS, NUM_SHADOWS, SHADOW_TEXGEN_<i>); with shadows
// the library shaders "shaders/shadows.vert" and "shaders/shadows.frag" are
// linked in and give shadowTexGen(ecPosition) and shadowOf(light).

#include <osg/Material>
#include <osg/Program>
#include <osg/Referenced>
#include <osg/StateSet>
#include <osg/Texture>
#include <osg/Uniform>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class CLight;
class COsgSettings;

class CMaterial : public osg::Referenced
{
public:
    enum Type { STANDARD, ADVANCED };

    static constexpr int kReflectionUnit = 14;
    static constexpr int kSpecularUnit = 15;
    static constexpr int kTangentAttribute = 6;
    static constexpr int kBinormalAttribute = 7;

    /// A <UNIFORM> line and its optional <MIN>/<MAX> bounds (for the edit panel).
    struct UniformInfo
    {
        osg::ref_ptr<osg::Uniform> uniform;
        bool hasMin = false, hasMax = false;
        std::vector<double> min, max;
    };

    /// Reads the block whose opening line `<MATERIAL> id` the reader stands
    /// on, up to </MATERIAL>, and appends the material to the list.
    static CMaterial* Read(COsgSettings& reader);
    /// Reads every <MATERIAL> block of a loaded file; returns how many.
    static int ReadAll(COsgSettings& reader);

    static const std::vector<osg::ref_ptr<CMaterial>>& Loaded();
    /// The material at a list index, or null.
    static CMaterial* At(int index);
    static void ClearAll();
    /// Rebuilds the programs of all ADVANCED materials (the light rig calls
    /// this once the lights of the whole content set are known).
    static void RebuildPrograms();

    int Id() const { return m_id; }
    Type GetType() const { return m_type; }
    bool UsesShadows() const { return m_useShadows; }
    bool UsesTangentSpace() const { return m_useTangentSpace; }
    int Max2DChannels() const;
    osg::StateSet* GetStateSet() { return m_stateSet.get(); }
    osg::Program* GetProgram() { return m_program.get(); }
    const std::vector<UniformInfo>& Uniforms() const { return m_uniforms; }

    /// Gives the node this material's state set; with <USE_TANGENT_SPACE>
    /// also tangent and binormal arrays on every geometry below it.
    void ApplyTo(osg::Node* node);

    /// Binds light `lightIndex`'s shadow map on texture unit `unit` and
    /// rebuilds the program with shadows. Caller: the light rig.
    void BindShadowMap(CLight* light, int lightIndex, int unit);

protected:
    ~CMaterial() override = default;

private:
    CMaterial(int id);
    void ReadLine(COsgSettings& reader, const std::string& tag);
    void ReadUniform(COsgSettings& reader);
    void SetTexture(int unit, osg::Texture* texture, const std::string& sampler);
    void ReadCubeChannel(COsgSettings& reader);
    void Finish();
    void BuildProgram();
    std::string DefineHeader() const;

    static std::vector<osg::ref_ptr<CMaterial>>& List();

    int m_id = 0;
    Type m_type = STANDARD;
    osg::ref_ptr<osg::StateSet> m_stateSet;
    osg::ref_ptr<osg::Material> m_material;
    osg::ref_ptr<osg::Program> m_program;
    std::string m_vertexFile, m_fragmentFile;
    int m_max2DChannels = -1;  // -1: one past the highest channel used
    int m_highestChannel = 0;
    bool m_hasDiffuse = false, m_hasNormalMap = false, m_hasReflection = false, m_hasSpecular = false;
    bool m_useTangentSpace = false, m_useShadows = false;
    float m_alpha = 1.f;
    std::vector<UniformInfo> m_uniforms;
    std::vector<int> m_shadowTexGens;  // light index of each bound shadow map, in binding order
};
