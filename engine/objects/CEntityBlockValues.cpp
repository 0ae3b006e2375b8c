#include "CEntityBlockValues.h"

#include <cstdlib>
#include <sstream>

namespace
{
std::string found(const std::vector<std::string>& line)
{
    return line.size() > 1 ? "\"" + line[1] + "\"" : "nothing";
}

std::string shown(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}
}

std::string CEntityBlockValues::Word(const std::vector<std::string>& line, const std::string& fallback)
{
    if (line.size() > 1) return line[1];
    CTagBlock::Print("Warning! " + line[0] + " expects a word, found nothing; using " + fallback);
    return fallback;
}

int CEntityBlockValues::Integer(const std::vector<std::string>& line, int fallback)
{
    if (line.size() > 1)
    {
        char* end = nullptr;
        const long value = std::strtol(line[1].c_str(), &end, 10);
        if (end != line[1].c_str() && *end == '\0') return int(value);
    }
    CTagBlock::Print("Warning! " + line[0] + " expects an integer, found " + found(line) + "; using " +
                     std::to_string(fallback));
    return fallback;
}

double CEntityBlockValues::Number(const std::vector<std::string>& line, double fallback)
{
    if (line.size() > 1)
    {
        char* end = nullptr;
        const double value = std::strtod(line[1].c_str(), &end);
        if (end != line[1].c_str() && *end == '\0') return value;
    }
    CTagBlock::Print("Warning! " + line[0] + " expects a number, found " + found(line) + "; using " + shown(fallback));
    return fallback;
}

osg::Vec3f CEntityBlockValues::Vec3(const std::vector<std::string>& line, const osg::Vec3f& fallback)
{
    osg::Vec3f value;
    bool good = line.size() >= 4;
    for (size_t i = 0; good && i < 3; ++i)
    {
        char* end = nullptr;
        value[int(i)] = std::strtof(line[i + 1].c_str(), &end);
        good = end != line[i + 1].c_str() && *end == '\0';
    }
    if (good) return value;
    std::string values;
    for (size_t i = 1; i < line.size(); ++i) values += (i > 1 ? " " : "") + line[i];
    CTagBlock::Print("Warning! " + line[0] + " expects 3 numbers, found \"" + values + "\"; using " +
                     shown(fallback.x()) + " " + shown(fallback.y()) + " " + shown(fallback.z()));
    return fallback;
}

std::vector<std::vector<std::string>> CEntityBlockValues::Body(const std::vector<CTagBlock::KeptLine>& block)
{
    std::vector<std::vector<std::string>> body;
    const size_t end = block.empty() ? 0 : block.size() - 1;  // the closing line
    for (size_t i = 1; i < end; ++i)
    {
        const std::vector<std::string>& tokens = block[i].tokens;
        if (tokens.empty()) continue;
        // A tag closed further down opens a nested block: its lines are its own.
        const size_t closing = ClosingLine(block, i, end);
        if (closing != 0)
        {
            i = closing;
            continue;
        }
        body.push_back(tokens);
    }
    return body;
}

size_t CEntityBlockValues::ClosingLine(const std::vector<CTagBlock::KeptLine>& block, size_t opening, size_t end)
{
    const std::string& tag = block[opening].tokens[0];
    if (tag.size() < 3 || tag[0] != '<' || tag[1] == '/') return 0;
    const std::string closing = CTagBlock::ClosingTag(tag);
    int nested = 0;
    for (size_t i = opening + 1; i < end; ++i)
    {
        if (block[i].tokens.empty()) continue;
        if (block[i].tokens[0] == tag) ++nested;
        else if (block[i].tokens[0] == closing && nested-- == 0) return i;
    }
    return 0;
}
