#include "CColourKey.h"

#include "CContentFiles.h"
#include "CMessageLog.h"

#include <osg/Program>
#include <osg/Uniform>

#include <cassert>
#include <fstream>
#include <sstream>

namespace
{
const char* const kVertexShader = "shaders/colourKey.vert";
const char* const kFragmentShader = "shaders/colourKey.frag";
const char* const kRectFragmentShader = "shaders/colourKeyRect.frag";

osg::Shader* shaderFromFile(osg::Shader::Type type, const std::string& file)
{
    std::ifstream in(CContentFiles::Find(file).c_str(), std::ios::binary);
    if (!in)
    {
        CMessageLog::Instance()->WriteToLog("CColourKey: Error: shader file " + file +
                                            " not found; the video is drawn without its key");
        return nullptr;
    }
    std::ostringstream text;
    text << in.rdbuf();
    osg::Shader* shader = new osg::Shader(type, text.str());
    shader->setName(file);
    return shader;
}
}

void CColourKey::Apply(osg::StateSet* state, const osg::Vec3f& keyColour, float tolerance, bool textureRectangle,
                       unsigned int unit)
{
    assert(state && "Apply: needs the state set of the picture");
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->setName("Colour key");
    if (osg::Shader* shader = shaderFromFile(osg::Shader::VERTEX, kVertexShader)) program->addShader(shader);
    if (osg::Shader* shader =
            shaderFromFile(osg::Shader::FRAGMENT, textureRectangle ? kRectFragmentShader : kFragmentShader))
        program->addShader(shader);
    if (program->getNumShaders() < 2) return;
    const auto mode = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    state->setAttributeAndModes(program.get(), mode);
    state->addUniform(new osg::Uniform("VideoMap", static_cast<int>(unit)));
    state->addUniform(new osg::Uniform("KeyColour", keyColour));
    state->addUniform(new osg::Uniform("KeyTolerance", tolerance));
}
