#pragma once
// GLSL shader files of the working folder ("shaders/..."), read for the
// programs the entities build themselves (bubbles, colour keying).

#include <osg/Shader>

#include <string>

class CShaderFile
{
public:
    /// The shader of `file` (found as content files are), named after it;
    /// null when the file cannot be read, with one log line:
    /// "<who>: Error: shader file <file> not found; <consequence>".
    static osg::Shader* Read(osg::Shader::Type type, const std::string& file, const std::string& who,
                             const std::string& consequence);
    /// The same without a message, for callers that say it their own way.
    static osg::Shader* ReadQuietly(osg::Shader::Type type, const std::string& file);
};
