#include "CShaderFile.h"

#include "CContentFiles.h"
#include "CMessageLog.h"

#include <fstream>
#include <sstream>

osg::Shader* CShaderFile::Read(osg::Shader::Type type, const std::string& file, const std::string& who,
                               const std::string& consequence)
{
    std::ifstream in(CContentFiles::Find(file).c_str(), std::ios::binary);
    if (!in)
    {
        CMessageLog::Instance()->WriteToLog(who + ": Error: shader file " + file + " not found; " + consequence);
        return nullptr;
    }
    std::ostringstream text;
    text << in.rdbuf();
    osg::Shader* shader = new osg::Shader(type, text.str());
    shader->setName(file);
    return shader;
}
