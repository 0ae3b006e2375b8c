#pragma once
// A GLSL material effect: one osg state set carrying a shader program, its
// uniforms and its textures. Giving a model node that state set is all it
// takes to draw the model with the effect.
//
// Every effect also carries an ordered list of presets (named parameter sets,
// CEffectProps). Index 0 is the instance's own preset, made from its default
// preset when the effect is built; the others are shared with the effect
// library. NextPreset cycles through them and ApplyPreset writes a preset's
// values into the uniforms, which recolours every model using the state set
// at once. Cycling only sets uniform values: no program or texture is made.
//
// Ownership: effects are made and kept by CEffectLibrary for the whole
// process (deleted, if ever, through the virtual destructor). An effect owns
// the presets it made itself (AppendOwnPreset); presets added with AddPresets
// belong to the library effect that read them. Textures, uniforms and the
// state set are reference counted and shared with the scene graph.
//
// Messages: a texture image that cannot be read prints "Unable to load
// Texture image <file>, For channel <unit>" (the file forms) on standard
// output and leaves the unit empty; a shader file that cannot be found
// warns "File "<file>" not found." on the osg notification stream.
// Everything runs on the engine's thread.

#include "CEffectProps.h"

#include <osg/Program>
#include <osg/Shader>
#include <osg/StateSet>
#include <osg/Texture>
#include <osg/Texture2D>
#include <osg/Uniform>
#include <osg/ref_ptr>

#include <memory>
#include <string>
#include <vector>

class CEffect
{
public:
    CEffect();
    virtual ~CEffect();
    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;

    /// Writes preset `index` into the class's uniforms; nothing happens when
    /// the index is out of range or the preset is of another class.
    virtual void ApplyPreset(int index) = 0;

    /// One step forward or backward with wrap-around, then ApplyPreset.
    void NextPreset(bool forward);
    /// The preset at `index`; null for index 0 (the default preset) and for
    /// indices outside the list.
    CEffectProps* GetPreset(int index) const;
    /// The first preset of this name (exact, case-sensitive), or null.
    CEffectProps* FindPreset(const std::string& name) const;
    /// Appends each non-null preset of the list, in order; they stay owned by
    /// whoever made them.
    void AddPresets(const std::vector<CEffectProps*>& presets);

    /// Reads the image file, binds it as a 2D texture (linear filters, repeat
    /// wrapping) to `unit` with override and adds an int uniform `samplerName`
    /// holding the unit. False, with the message, when the image cannot be read.
    bool AddTexture(int unit, const std::string& fileName, const std::string& samplerName);
    /// Binds a texture made elsewhere to `unit` with override (no uniform);
    /// null binds nothing.
    void AddTexture(int unit, osg::Texture* texture);
    /// Binds the texture store's shared scene texture (the live camera
    /// picture) to `unit` with override, with an int uniform `samplerName`.
    void AddSharedTexture(int unit, const std::string& samplerName);
    /// Binds the texture store's 3D noise texture to `unit` with override.
    void AddNoiseTexture(int unit);
    /// Keeps the uniform and adds it to the state set.
    void AddUniform(osg::Uniform* uniform);
    /// Loads the shader's source from the file (data-file search); false,
    /// with the warning, when it is not found (the shader stays empty).
    bool LoadShaderSource(osg::Shader* shader, const std::string& fileName);
    /// Transparent drawing on (added blending, alpha blend function,
    /// transparent bin) or off.
    void SetBlending(bool on);
    /// The icon the menu's effect toggle shows; false, with the message, when
    /// the image cannot be read.
    bool SetIcon(const std::string& fileName);
    osg::Texture2D* GetIcon() const { return m_icon.get(); }
    const std::string& GetIconFile() const { return m_iconFile; }

    const std::string& GetTypeName() const { return m_typeName; }
    void SetTypeName(const std::string& typeName) { m_typeName = typeName; }
    const std::string& GetEffectName() const { return m_effectName; }
    const std::string& GetGroupName() const { return m_groupName; }
    void SetGroupName(const std::string& groupName) { m_groupName = groupName; }
    bool IsGroupEffect() const { return m_isGroupEffect; }
    void SetGroupEffect(bool isGroup) { m_isGroupEffect = isGroup; }
    /// What a model node receives.
    osg::StateSet* GetStateSet() const { return m_stateSet.get(); }
    osg::Program* GetProgram() const { return m_program.get(); }
    osg::Shader* GetVertexShader() const { return m_vertexShader.get(); }
    osg::Shader* GetFragmentShader() const { return m_fragmentShader.get(); }

    int GetCurrentPreset() const { return m_currentPreset; }
    int GetPresetCount() const { return static_cast<int>(m_presets.size()); }
    /// Every preset, index 0 included.
    const std::vector<CEffectProps*>& GetPresets() const { return m_presets; }
    /// True once a preset was applied (the uniforms then hold that preset's
    /// values rather than the start values of Init).
    bool PresetApplied() const { return m_presetApplied; }
    /// Makes `index` the current preset and applies it; false when out of range.
    bool SelectPreset(int index);

    const std::vector<osg::ref_ptr<osg::Texture>>& GetTextures() const { return m_textures; }
    const std::vector<osg::ref_ptr<osg::Texture>>& GetUnitTextures() const { return m_unitTextures; }
    const std::vector<osg::ref_ptr<osg::Uniform>>& GetUniforms() const { return m_uniforms; }
    /// The uniform of that name added to this effect, or null.
    osg::Uniform* FindUniform(const std::string& name) const;

    /// One line on standard output, flushed (the effect layer's console), also
    /// handed to the content findings (CContentFindings).
    static void Print(const std::string& line);
    /// The file the data-file search finds for `fileName` (backslashes and
    /// letter case mended first), or empty.
    static std::string FindDataFile(const std::string& fileName);

protected:
    CEffect(const std::string& typeName, const std::string& effectName);

    /// Appends a preset this effect made and owns.
    void AppendOwnPreset(CEffectProps* preset);
    /// Binds `texture` to `unit` without override, so a texture the model sets
    /// on the same unit further down wins: a stand-in for a model map that
    /// may be missing.
    void AddFallbackTexture(int unit, osg::Texture* texture);
    /// Binds the shared environment map `cacheName` to `unit` (loading it into
    /// the texture store on first use) and adds its sampler uniform. A map
    /// that cannot be read leaves the unit empty, with the message.
    void AddEnvironmentMap(int unit, const std::string& cacheName, const std::string& samplerName);
    /// Attaches both shaders, sets the program on the state set (overriding a
    /// program of the model's own) and loads the
    /// fragment, then the vertex source from "<stem>.frag" and "<stem>.vert".
    /// When a source is missing the program is taken off again, so the model
    /// still draws (with its own materials) instead of failing to link.
    void BuildProgram(const std::string& stem);
    /// Takes the program and the effect's own maps off the state set (a
    /// shader source is missing), so the model draws with its own look.
    void DropProgram();
    /// A white texel texture shared by every effect.
    static osg::Texture2D* WhiteTexture();
    static osg::Uniform* MakeUniform(const std::string& name, float value);

    std::string m_typeName = "GENERIC";
    std::string m_effectName = "BASICEFFECT";
    osg::ref_ptr<osg::StateSet> m_stateSet;
    osg::ref_ptr<osg::Program> m_program;
    osg::ref_ptr<osg::Shader> m_vertexShader;
    osg::ref_ptr<osg::Shader> m_fragmentShader;
    std::vector<osg::ref_ptr<osg::Texture>> m_textures;
    std::vector<osg::ref_ptr<osg::Texture>> m_unitTextures;
    std::vector<osg::ref_ptr<osg::Uniform>> m_uniforms;
    std::string m_groupName = "NONE";
    bool m_isGroupEffect = false;
    std::string m_iconFile;
    osg::ref_ptr<osg::Texture2D> m_icon;
    int m_currentPreset = 0;
    bool m_presetApplied = false;
    std::vector<CEffectProps*> m_presets;
    std::vector<std::unique_ptr<CEffectProps>> m_ownPresets;
};
