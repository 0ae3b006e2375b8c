#include "CShaderFile.h"

#include "CContentFiles.h"
#include "CMessageLog.h"

#include <fstream>
#include <sstream>

osg::Shader* CShaderFile::Read(osg::Shader::Type type, const std::string& file, const std::string& who,
                               const std::string& consequence)
{
    osg::Shader* shader = ReadQuietly(type, file);
    if (!shader) CMessageLog::Instance()->WriteToLog(who + ": Error: shader file " + file + " not found; " + consequence);
    return shader;
}

osg::Shader* CShaderFile::ReadQuietly(osg::Shader::Type type, const std::string& file)
{
    std::ifstream in(CContentFiles::Find(file).c_str(), std::ios::binary);
    if (!in) return nullptr;
    std::ostringstream text;
    text << in.rdbuf();
    osg::Shader* shader = new osg::Shader(type, text.str());
    shader->setName(file);
    return shader;
}
