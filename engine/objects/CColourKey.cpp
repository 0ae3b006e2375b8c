#include "CColourKey.h"

#include "CShaderFile.h"

#include <osg/Program>
#include <osg/Uniform>

#include <cassert>

namespace
{
const char* const kVertexShader = "shaders/colourKey.vert";
const char* const kFragmentShader = "shaders/colourKey.frag";
const char* const kRectFragmentShader = "shaders/colourKeyRect.frag";
}

void CColourKey::Apply(osg::StateSet* state, const osg::Vec3f& keyColour, float tolerance, bool textureRectangle,
                       unsigned int unit)
{
    assert(state && "Apply: needs the state set of the picture");
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->setName("Colour key");
    const char* const note = "the video is drawn without its key";
    if (osg::Shader* shader = CShaderFile::Read(osg::Shader::VERTEX, kVertexShader, "CColourKey", note))
        program->addShader(shader);
    if (osg::Shader* shader = CShaderFile::Read(
            osg::Shader::FRAGMENT, textureRectangle ? kRectFragmentShader : kFragmentShader, "CColourKey", note))
        program->addShader(shader);
    if (program->getNumShaders() < 2) return;
    const auto mode = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    state->setAttributeAndModes(program.get(), mode);
    state->addUniform(new osg::Uniform("VideoMap", static_cast<int>(unit)));
    state->addUniform(new osg::Uniform("KeyColour", keyColour));
    state->addUniform(new osg::Uniform("KeyTolerance", tolerance));
}
