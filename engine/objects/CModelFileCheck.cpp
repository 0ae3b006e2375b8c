#include "CModelFileCheck.h"

#include <osgDB/FileNameUtils>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace
{
// One index of a face corner: 1..count, or -count..-1 counted back from the last.
bool indexValid(const std::string& text, long count)
{
    if (text.empty()) return true;  // "v//vn" leaves the texture coordinate out
    char* end = nullptr;
    const long index = std::strtol(text.c_str(), &end, 10);
    if (!end || *end != '\0') return false;
    return (index >= 1 && index <= count) || (index <= -1 && -index <= count);
}

bool checkObj(const std::string& path, std::string* reason)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return true;  // the reader reports a missing file itself
    long counts[3] = {0, 0, 0};  // vertices, texture coordinates, normals
    const char* names[3] = {"vertex", "texture coordinate", "normal"};
    std::string line;
    for (long number = 1; std::getline(in, line); ++number)
    {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") ++counts[0];
        else if (kind == "vt") ++counts[1];
        else if (kind == "vn") ++counts[2];
        else if (kind == "f" || kind == "l" || kind == "p")
        {
            for (std::string corner; words >> corner;)
            {
                std::istringstream parts(corner);
                std::string part;
                for (int k = 0; k < 3 && std::getline(parts, part, '/'); ++k)
                {
                    if (indexValid(part, counts[k])) continue;
                    if (reason)
                        *reason = "face on line " + std::to_string(number) + " names " + names[k] + " " + part + " of " +
                                  std::to_string(counts[k]);
                    return false;
                }
            }
        }
    }
    return true;
}
}

bool CModelFileCheck::Readable(const std::string& path, std::string* reason)
{
    if (osgDB::getLowerCaseFileExtension(path) == "obj") return checkObj(path, reason);
    return true;
}
