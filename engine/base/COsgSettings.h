#pragma once
// Reader and writer of tag files, the plain-text format of every settings,
// content and layout file: a line starts with a tag such as <THRESHOLD> and
// the tag's values follow on the same line.
//
// Reading: the whole file is tokenised by Load; a cursor then walks lines and
// tokens. A line starting with "$" ends the file, lines starting with "#" and
// empty lines are skipped, commas separate like blanks, and a token that is a
// lone "#" drops the rest of its line.
//
// Each reader knows its file and the file line of every kept line, and notes
// which lines its cursor stood on and how many of their tokens were read, so
// that a content checker can say where a message belongs and which lines the
// engine passed over. The loaded reader whose cursor moved last (on this
// thread) is the one a message raised while reading belongs to (LastRead).
//
// Writing: each line is the indentation (four blanks per level), then every
// token followed by one blank, then the line end; every line end flushes.
// By default a file is written to a sibling temporary file that replaces the
// original only when Close succeeds, so a failed write never loses the old file.

#include "CAtomicFileWriter.h"

#include <osg/Vec3f>
#include <osg/Vec4f>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class COsgSettings
{
public:
    COsgSettings();
    ~COsgSettings();
    COsgSettings(const COsgSettings&) = delete;
    COsgSettings& operator=(const COsgSettings&) = delete;

    // ---- reading ----
    /// Reads and tokenises the file; prints "Error: Failed to load <path>" to
    /// standard output and returns false when it cannot be opened.
    bool Load(const std::string& path);
    bool IsLoaded() const { return m_loaded; }

    bool FindFirst(const std::string& tag);
    bool FindNext(const std::string& tag);
    bool NextUnless(const std::string& closingTag);
    /// NextUnless for a block inside another: at the end of the file the
    /// cursor stays on the last line instead of going back to the first, so
    /// the loops of the enclosing blocks end there too rather than reading
    /// the file again (for ever, when a block is cut short).
    bool NextInBlock(const std::string& closingTag);
    bool NextLine();

    std::string NextString();
    int NextInt();
    double NextFloat();
    /// Copy of the current token in a buffer owned by the caller (delete[]);
    /// at least 128 bytes and always large enough for the whole token.
    /// Null when the line has no more tokens.
    char* NextTextCopy();
    std::string RestOfLine();

    /// The path given to the last successful Load ("" before one).
    const std::string& Path() const { return m_path; }
    /// Line number in the file (from 1) of kept line `line`; 0 when there is none.
    int FileLine(size_t line) const;
    /// Tokens of kept line `line` read so far: -1 when the cursor never stood
    /// on it, else how many (LineTokens counts as reading all of them).
    int TokensRead(size_t line) const;
    /// The loaded reader whose cursor moved last on this thread, or null when
    /// no loaded reader is alive. Valid until that reader is destroyed.
    static const COsgSettings* LastRead();

    /// Number of lines kept (skipped lines not counted) and the cursor.
    size_t LineCount() const { return m_lines.size(); }
    int CurrentLine() const { return m_currentLine; }
    /// Puts the cursor on `line` (token 0); false when there is no such line.
    bool GoToLine(size_t line);
    /// Indices of the lines whose first token is `tag`, in file order.
    std::vector<size_t> LinesStartingWith(const std::string& tag) const;
    const std::vector<std::string>& LineTokens(size_t line) const;
    /// The same without counting the line as read: for a look at the next
    /// line to see whether a block goes on.
    const std::vector<std::string>& PeekTokens(size_t line) const { return m_lines.at(line); }

    // ---- writing ----
    /// Opens the path for writing. With `replaceOnClose` the text goes to a
    /// temporary sibling that replaces the file at Close; without it the file
    /// itself is truncated and written line by line (the log does this).
    bool Open(const std::string& path, bool replaceOnClose = true);
    bool IsOpen() const { return m_writeOpen; }
    void Indent();
    void Unindent();
    void WriteIndent();
    void WriteTag(const std::string& tag);
    void WriteLine(const std::string& text);
    void WriteInt(int value);
    void WriteFloat(double value);
    void WriteString(const std::string& value);
    void WriteVec3(const osg::Vec3f& v, bool endLine = true);
    void WriteVec4(const osg::Vec4f& v, bool endLine = true);
    /// True when every write reached the file (and, with replaceOnClose, the
    /// file was replaced); false otherwise, leaving any old file untouched.
    bool Close();
    /// Why the last replacing write failed, in one line (empty when it did not).
    const std::string& WriteError() const { return m_atomic.Error(); }

    /// Splits one physical line into tokens by the rules above.
    static std::vector<std::string> Tokenise(const std::string& line);

private:
    void EndLine();
    void FlushLine();
    const std::vector<std::string>* CurrentTokens() const;
    /// Notes that the cursor stands on `line` having read `tokens` of it.
    void NoteRead(size_t line, int tokens) const;

    std::string m_path;
    std::vector<int> m_fileLines;          // file line of each kept line
    mutable std::vector<int> m_tokensRead;  // per kept line, see TokensRead

    std::vector<std::vector<std::string>> m_lines;
    bool m_loaded = false;
    int m_currentLine = 0;
    int m_currentToken = 0;

    bool m_writeOpen = false;
    int m_indentLevel = 0;
    bool m_replaceOnClose = true;
    std::ostringstream m_line;   // the line being written
    CAtomicFileWriter m_atomic;  // replacing writes
    std::ofstream m_direct;      // line-by-line writes (the log)
};
