#include "COsgSettings.h"

#include "CContentFindings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <sstream>

namespace
{
// Says that `path` could not be read; false.
bool reportUnreadable(const std::string& path)
{
    std::printf("Error: Failed to load %s\n", path.c_str());
    std::fflush(stdout);
    CContentFindings::Report("Error: Failed to load " + path);
    return false;
}

// Lines are read in chunks of this many bytes (including the terminator), so a
// longer physical line is read as several lines, as it always has been.
const size_t kLineBuffer = 2048;
const size_t kTextCopyMin = 128;

std::string formatFloat(double value)
{
    std::ostringstream s;
    s << value;  // default notation, six significant digits
    return s.str();
}

// Loaded readers alive on this thread, the one whose cursor moved last at the back.
thread_local std::vector<const COsgSettings*> t_liveReaders;

void forget(const COsgSettings* reader)
{
    t_liveReaders.erase(std::remove(t_liveReaders.begin(), t_liveReaders.end(), reader), t_liveReaders.end());
}

void moveToBack(const COsgSettings* reader)
{
    if (!t_liveReaders.empty() && t_liveReaders.back() == reader) return;
    forget(reader);
    t_liveReaders.push_back(reader);
}
}

COsgSettings::COsgSettings() = default;

COsgSettings::~COsgSettings()
{
    if (m_writeOpen) Close();
    if (m_loaded) CContentFindings::ReaderDone(*this);
    forget(this);
}

const COsgSettings* COsgSettings::LastRead()
{
    return t_liveReaders.empty() ? nullptr : t_liveReaders.back();
}

int COsgSettings::FileLine(size_t line) const
{
    return line < m_fileLines.size() ? m_fileLines[line] : 0;
}

int COsgSettings::TokensRead(size_t line) const
{
    return line < m_tokensRead.size() ? m_tokensRead[line] : -1;
}

void COsgSettings::NoteRead(size_t line, int tokens) const
{
    if (!m_loaded || line >= m_tokensRead.size()) return;
    m_tokensRead[line] = std::max(m_tokensRead[line], tokens);
    moveToBack(this);
}

const std::vector<std::string>& COsgSettings::LineTokens(size_t line) const
{
    const std::vector<std::string>& tokens = m_lines.at(line);
    NoteRead(line, static_cast<int>(tokens.size()));
    return tokens;
}

std::vector<std::string> COsgSettings::Tokenise(const std::string& line)
{
    std::vector<std::string> tokens;
    std::string token;
    auto flush = [&]() {
        if (!token.empty()) tokens.push_back(token);
        token.clear();
    };
    for (char c : line)
    {
        if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f')
            flush();
        else
            token += c;
    }
    flush();
    for (size_t i = 0; i < tokens.size(); ++i)
    {
        if (tokens[i] == "#")
        {
            tokens.resize(i);
            break;
        }
    }
    return tokens;
}

bool COsgSettings::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return reportUnreadable(path);
    m_lines.clear();
    m_fileLines.clear();
    std::string physical;
    bool ended = false;
    for (int number = 1; !ended && std::getline(in, physical); ++number)
    {
        physical += '\n';
        // A physical line is read in pieces of at most kLineBuffer - 1 bytes,
        // each piece judged as a line of its own.
        for (size_t at = 0; at < physical.size() && !ended; at += kLineBuffer - 1)
        {
            std::string piece = physical.substr(at, kLineBuffer - 1);
            if (piece[0] == '$') ended = true;
            else if (piece[0] == '#' || piece[0] == '\n' || piece == "\r\n") continue;
            else
            {
                // Stray NUL bytes in a damaged file separate tokens like blanks.
                for (char& c : piece)
                    if (c == '\0') c = ' ';
                m_lines.push_back(Tokenise(piece));
                m_fileLines.push_back(number);
            }
        }
    }
    // A path that opens but cannot be read (a folder, a failing disk) is no
    // file of settings, not an empty one.
    if (in.bad()) return reportUnreadable(path);
    m_loaded = true;
    m_path = path;
    m_tokensRead.assign(m_lines.size(), -1);
    m_currentLine = 0;
    m_currentToken = 0;
    moveToBack(this);
    return true;
}

const std::vector<std::string>* COsgSettings::CurrentTokens() const
{
    if (m_currentLine < 0 || static_cast<size_t>(m_currentLine) >= m_lines.size()) return nullptr;
    return &m_lines[static_cast<size_t>(m_currentLine)];
}

bool COsgSettings::FindFirst(const std::string& tag)
{
    for (size_t i = 0; i < m_lines.size(); ++i)
    {
        if (!m_lines[i].empty() && m_lines[i][0] == tag)
        {
            m_currentLine = static_cast<int>(i);
            m_currentToken = 0;
            NoteRead(i, 0);
            return true;
        }
    }
    return false;
}

bool COsgSettings::FindNext(const std::string& tag)
{
    for (size_t i = static_cast<size_t>(m_currentLine) + 1; i < m_lines.size(); ++i)
    {
        if (!m_lines[i].empty() && m_lines[i][0] == tag)
        {
            m_currentLine = static_cast<int>(i);
            m_currentToken = 0;
            NoteRead(i, 0);
            return true;
        }
    }
    return false;
}

bool COsgSettings::NextUnless(const std::string& closingTag)
{
    const size_t next = static_cast<size_t>(m_currentLine) + 1;
    if (next >= m_lines.size())
    {
        m_currentLine = 0;
        m_currentToken = 0;
        return false;
    }
    if (!m_lines[next].empty() && m_lines[next][0] == closingTag)
    {
        NoteRead(next, 1);  // the closing line was read to end the block
        return false;
    }
    m_currentLine = static_cast<int>(next);
    m_currentToken = 0;
    NoteRead(next, 0);
    return true;
}

bool COsgSettings::NextInBlock(const std::string& closingTag)
{
    if (static_cast<size_t>(m_currentLine) + 1 >= m_lines.size()) return false;
    return NextUnless(closingTag);
}

bool COsgSettings::GoToLine(size_t line)
{
    if (line >= m_lines.size()) return false;
    m_currentLine = static_cast<int>(line);
    m_currentToken = 0;
    NoteRead(line, 0);
    return true;
}

std::vector<size_t> COsgSettings::LinesStartingWith(const std::string& tag) const
{
    std::vector<size_t> found;
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (!m_lines[i].empty() && m_lines[i][0] == tag) found.push_back(i);
    return found;
}

bool COsgSettings::NextLine()
{
    const size_t next = static_cast<size_t>(m_currentLine) + 1;
    m_currentToken = 0;
    if (next >= m_lines.size())
    {
        m_currentLine = 0;
        return false;
    }
    m_currentLine = static_cast<int>(next);
    NoteRead(next, 0);
    return true;
}

std::string COsgSettings::NextString()
{
    const std::vector<std::string>* tokens = CurrentTokens();
    if (!tokens || static_cast<size_t>(m_currentToken) >= tokens->size()) return std::string();
    NoteRead(static_cast<size_t>(m_currentLine), m_currentToken + 1);
    return (*tokens)[static_cast<size_t>(m_currentToken++)];
}

int COsgSettings::NextInt()
{
    const std::string token = NextString();
    return token.empty() ? 0 : std::atoi(token.c_str());
}

double COsgSettings::NextFloat()
{
    const std::string token = NextString();
    return token.empty() ? 0.0 : std::atof(token.c_str());
}

char* COsgSettings::NextTextCopy()
{
    const std::vector<std::string>* tokens = CurrentTokens();
    if (!tokens || static_cast<size_t>(m_currentToken) >= tokens->size()) return nullptr;
    const std::string token = NextString();
    char* copy = new char[std::max(kTextCopyMin, token.size() + 1)];
    std::memcpy(copy, token.c_str(), token.size() + 1);
    return copy;
}

std::string COsgSettings::RestOfLine()
{
    std::string rest;
    for (std::string token = NextString(); !token.empty(); token = NextString())
    {
        if (!rest.empty()) rest += ' ';
        rest += token;
    }
    return rest;
}

bool COsgSettings::Open(const std::string& path, bool replaceOnClose)
{
    if (m_writeOpen) Close();
    m_replaceOnClose = replaceOnClose;
    m_line.str(std::string());
    m_line.clear();
    m_indentLevel = 0;
    if (replaceOnClose)
        m_writeOpen = m_atomic.Begin(path);
    else
    {
        m_direct.clear();
        m_direct.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
        m_writeOpen = m_direct.is_open();
    }
    return m_writeOpen;
}

void COsgSettings::Indent()
{
    ++m_indentLevel;
}

void COsgSettings::Unindent()
{
    if (m_indentLevel > 0) --m_indentLevel;
}

void COsgSettings::WriteIndent()
{
    for (int i = 0; i < m_indentLevel; ++i) m_line << "    ";
}

void COsgSettings::EndLine()
{
    m_line << '\n';
    FlushLine();
}

void COsgSettings::FlushLine()
{
    const std::string line = m_line.str();
    m_line.str(std::string());
    if (!m_writeOpen || line.empty()) return;
    if (m_replaceOnClose)
        m_atomic.Append(line);
    else
    {
        m_direct << line;
        m_direct.flush();
    }
}

void COsgSettings::WriteTag(const std::string& tag)
{
    m_line << tag << ' ';
}

void COsgSettings::WriteLine(const std::string& text)
{
    m_line << text << ' ';
    EndLine();
}

void COsgSettings::WriteInt(int value)
{
    m_line << value << ' ';
    EndLine();
}

void COsgSettings::WriteFloat(double value)
{
    m_line << formatFloat(value) << ' ';
    EndLine();
}

void COsgSettings::WriteString(const std::string& value)
{
    m_line << value << ' ';
    EndLine();
}

void COsgSettings::WriteVec3(const osg::Vec3f& v, bool endLine)
{
    for (int i = 0; i < 3; ++i) m_line << formatFloat(v[i]) << ' ';
    if (endLine) EndLine();
}

void COsgSettings::WriteVec4(const osg::Vec4f& v, bool endLine)
{
    for (int i = 0; i < 4; ++i) m_line << formatFloat(v[i]) << ' ';
    if (endLine) EndLine();
}

bool COsgSettings::Close()
{
    if (!m_writeOpen) return false;
    FlushLine();  // tokens written after the last line end
    m_writeOpen = false;
    if (m_replaceOnClose) return m_atomic.Commit();
    m_direct.flush();
    bool ok = !m_direct.fail();
    m_direct.close();
    return ok && !m_direct.fail();
}
