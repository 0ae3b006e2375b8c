#include "CTagBlock.h"

#include "CContentFindings.h"
#include "COsgSettings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace
{
const std::vector<std::string> kNoTokens;

bool isNumber(const std::string& token, bool integer)
{
    if (token.empty()) return false;
    char* end = nullptr;
    if (integer)
        std::strtol(token.c_str(), &end, 10);
    else
        std::strtod(token.c_str(), &end);
    return end && *end == '\0' && end != token.c_str();
}

const std::vector<std::string>& lineAt(const COsgSettings& reader, size_t index)
{
    return index < reader.LineCount() ? reader.LineTokens(index) : kNoTokens;
}

std::string joined(const std::vector<std::string>& tokens, size_t from)
{
    std::string text;
    for (size_t i = from; i < tokens.size(); ++i) text += (text.empty() ? "" : " ") + tokens[i];
    return text;
}

// Reads `count` values of one kind and warns once when any is missing or bad.
std::vector<double> readValues(COsgSettings& reader, const std::string& tag, int count, bool integer)
{
    const std::vector<std::string>& tokens = CTagBlock::CurrentTokens(reader);
    const std::string found = joined(tokens, 1);
    std::vector<double> values;
    bool bad = false;
    for (int i = 0; i < count; ++i)
    {
        const std::string token = reader.NextString();
        if (!isNumber(token, integer)) bad = true;
        values.push_back(token.empty() ? 0.0 : (integer ? std::atoi(token.c_str()) : std::atof(token.c_str())));
    }
    if (bad)
    {
        CTagBlock::Print("Warning! " + tag + " expects " + std::to_string(count) + (integer ? " integer" : " number") +
                         (count == 1 ? "" : "s") + ", found \"" + found + "\"; missing or bad values read as 0");
    }
    return values;
}
}

const std::vector<std::string>& CTagBlock::CurrentTokens(const COsgSettings& reader)
{
    return lineAt(reader, static_cast<size_t>(std::max(0, reader.CurrentLine())));
}

CTagBlock::Step CTagBlock::Next(COsgSettings& reader, const std::string& closing, const std::vector<std::string>& stops)
{
    const size_t next = static_cast<size_t>(reader.CurrentLine()) + 1;
    if (next >= reader.LineCount()) return UNCLOSED;
    const std::vector<std::string>& tokens = reader.PeekTokens(next);  // a look: the line is not read yet
    if (!tokens.empty() && std::find(stops.begin(), stops.end(), tokens[0]) != stops.end()) return UNCLOSED;
    reader.NextLine();
    return (!tokens.empty() && tokens[0] == closing) ? CLOSED : LINE;
}

bool CTagBlock::Skip(COsgSettings& reader, const std::string& opening, const std::vector<std::string>& stops,
                     std::vector<KeptLine>* keep, int depth)
{
    const std::string closing = ClosingTag(opening);
    if (keep) keep->push_back({depth, CurrentTokens(reader)});
    int nested = 0;
    for (;;)
    {
        const Step step = Next(reader, closing, stops);
        if (step == UNCLOSED)
        {
            Print("Warning! " + opening + " block is not closed by " + closing + "; it ends here");
            return false;
        }
        const std::vector<std::string>& tokens = CurrentTokens(reader);
        if (step == CLOSED && nested == 0)
        {
            if (keep) keep->push_back({depth, tokens});
            return true;
        }
        if (step == CLOSED) --nested;
        int lineDepth = depth + 1 + nested;
        if (!tokens.empty() && tokens[0] == opening) ++nested;
        if (keep) keep->push_back({lineDepth, tokens});
    }
}

std::vector<double> CTagBlock::Numbers(COsgSettings& reader, const std::string& tag, int count)
{
    return readValues(reader, tag, count, false);
}

int CTagBlock::Integer(COsgSettings& reader, const std::string& tag)
{
    return static_cast<int>(readValues(reader, tag, 1, true)[0]);
}

std::string CTagBlock::ClosingTag(const std::string& opening)
{
    if (opening.size() > 1 && opening[0] == '<') return "</" + opening.substr(1);
    return "/" + opening;
}

void CTagBlock::Print(const std::string& line)
{
    CContentFindings::Report(line);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
