#include "CContentFindings.h"

#include "COsgSettings.h"

#include <vector>

namespace
{
CContentFindings::Sink* g_sink = nullptr;

bool startsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// Most log lines name their class first ("CSoundEntity: ..."); the words
// that judge a message come after that name.
std::string withoutSource(const std::string& message)
{
    const size_t colon = message.find(": ");
    if (colon == std::string::npos || contains(message.substr(0, colon), " ")) return message;
    return withoutSource(message.substr(colon + 2));
}
}

void CContentFindings::SetSink(Sink* sink)
{
    g_sink = sink;
}

bool CContentFindings::Collecting()
{
    return g_sink != nullptr;
}

CContentFindings::Kind CContentFindings::Classify(const std::string& message)
{
    const std::string text = withoutSource(message);
    for (const char* word : {"Error", "ERROR", "Unable to", "Failed", "Could not", "Cal 3D Core init failed"})
        if (startsWith(text, word)) return ERROR;
    if (contains(text, ": Error:") || contains(text, "Failed to ")) return ERROR;
    for (const char* word : {"Warning", "WARNING", "INFOMATION", "Unrecognised", "Effect group name"})
        if (startsWith(text, word)) return WARNING;
    if (contains(text, "Warning") || contains(text, "does not contain")) return WARNING;
    return NONE;
}

void CContentFindings::Report(const std::string& message)
{
    if (!g_sink) return;
    const Kind kind = Classify(message);
    if (kind != NONE) Report(kind, message);
}

void CContentFindings::Report(Kind kind, const std::string& text)
{
    if (!g_sink || kind == NONE) return;
    Finding finding;
    finding.kind = kind;
    finding.text = text;
    // The kind is said apart from the text; the text keeps the rest of the words.
    for (const char* said : {"Warning! ", "Warning: ", "Error! ", "Error: ", "ERROR: "})
        if (startsWith(text, said)) finding.text = text.substr(std::char_traits<char>::length(said));
    if (const COsgSettings* reader = COsgSettings::LastRead())
    {
        finding.file = reader->Path();
        finding.line = reader->FileLine(static_cast<size_t>(reader->CurrentLine()));
    }
    g_sink->Found(finding);
}

void CContentFindings::Report(const Finding& finding)
{
    if (g_sink) g_sink->Found(finding);
}

void CContentFindings::FileNamed(const std::string& asked, const std::string& opened)
{
    if (g_sink) g_sink->FileNamed(asked, opened);
}

void CContentFindings::ReaderDone(const COsgSettings& reader)
{
    if (g_sink) g_sink->ReaderDone(reader);
}

std::string CContentFindings::Format(const Finding& finding)
{
    std::string place;
    if (!finding.file.empty()) place = finding.file + (finding.line > 0 ? ":" + std::to_string(finding.line) : "") + ": ";
    return place + (finding.kind == ERROR ? "error: " : "warning: ") + finding.text;
}
