#pragma once
// One light record read from a <LIGHT> block of a model group file or of the
// light rig file. Every light read joins one process-wide list in load order;
// its index in that list is its OpenGL light number and the index of its
// shader uniforms "light[i].lightPos", "light[i].lightColor",
// "light[i].constant", "light[i].linear" and "light[i].quadratic".
// The list owns the records; they live until ClearAll (tests) or the process ends.

#include <osg/Light>
#include <osg/LightSource>
#include <osg/Referenced>
#include <osg/StateSet>
#include <osg/TexMat>
#include <osg/Texture2D>
#include <osg/Vec3>
#include <osg/Vec4>
#include <osg/ref_ptr>

#include <vector>

class COsgSettings;

class CLight : public osg::Referenced
{
public:
    /// OpenGL offers eight fixed-function lights; later lights are kept in
    /// the list but never switched on.
    static constexpr int kMaxLights = 8;

    /// Reads the block whose opening line `<LIGHT> id` the reader stands on,
    /// up to </LIGHT>, and appends the light to the list. Returns the light.
    static CLight* Read(COsgSettings& reader);
    /// Reads every <LIGHT> block of a loaded file; returns how many were read.
    static int ReadAll(COsgSettings& reader);

    static const std::vector<osg::ref_ptr<CLight>>& Loaded();
    /// Empties the list (for tests and for a second engine start).
    static void ClearAll();

    int Id() const { return m_id; }
    int Index() const { return m_index; }
    const osg::Vec4& Colour() const { return m_colour; }
    const osg::Vec4& Ambient() const { return m_ambient; }
    const osg::Vec4& Specular() const { return m_specular; }
    /// Position (w 1) or direction towards the light (w 0), in the frame of
    /// the content group the light rig lights.
    const osg::Vec4& Position() const { return m_position; }
    const osg::Vec3& Attenuation() const { return m_attenuation; }  // constant, linear, quadratic

    osg::Light* GetLight() { return m_light.get(); }
    osg::LightSource* GetLightSource() { return m_lightSource.get(); }
    /// Adds the five shader uniforms of this light to a state set.
    void AddUniforms(osg::StateSet* state) const;

    /// The shadow map made by the light rig's shadow pass; null without shadows.
    osg::Texture2D* GetDepthTexture() { return m_depthTexture.get(); }
    void SetDepthTexture(osg::Texture2D* texture) { m_depthTexture = texture; }
    osg::TexMat* GetTexMat() { return m_texMat.get(); }
    void SetTexMat(osg::TexMat* texMat) { m_texMat = texMat; }

protected:
    ~CLight() override = default;

private:
    CLight(int id, int index);
    void BuildLight();

    static std::vector<osg::ref_ptr<CLight>>& List();

    int m_id = 0;
    int m_index = 0;
    osg::Vec4 m_colour{1.f, 1.f, 1.f, 1.f};
    osg::Vec4 m_ambient{0.1f, 0.1f, 0.1f, 1.f};
    osg::Vec4 m_specular{1.f, 1.f, 1.f, 1.f};
    osg::Vec4 m_position{0.f, 0.f, 1.f, 0.f};  // from +z, far away
    osg::Vec3 m_attenuation{1.f, 0.f, 0.f};
    osg::ref_ptr<osg::Light> m_light;
    osg::ref_ptr<osg::LightSource> m_lightSource;
    osg::ref_ptr<osg::Texture2D> m_depthTexture;
    osg::ref_ptr<osg::TexMat> m_texMat;
};
