#pragma once
// Walking blocks of a tag file safely: the block readers of content objects,
// model group files and light files all step through their lines with Next,
// which never moves the reader past the end of the file (the reader would jump
// back to line 0, and a caller searching for the next block would then read
// the same blocks again for ever) and which ends a block that is never closed
// where the next top-level block begins.
//
// Also reads a tag's numbers with one clear warning line when values are
// missing or are not numbers (they then read as 0, as the tag-file reader does).

#include "COsgSettings.h"

#include <string>
#include <vector>

class CTagBlock
{
public:
    enum Step
    {
        LINE,      // the reader stands on the next line of the block
        CLOSED,    // the reader stands on the closing line
        UNCLOSED   // no closing line before a stop tag or the end; the reader stays on the block's last line
    };

    /// One line kept verbatim so it can be written back: its nesting depth
    /// below the block it was kept in, and its tokens.
    struct KeptLine
    {
        int depth = 0;
        std::vector<std::string> tokens;
    };

    /// Calls `read(reader)` with the reader on each line whose first token is
    /// `opening`, in file order; returns how many there were.
    template <typename ReadBlock>
    static int ForEachBlock(COsgSettings& reader, const std::string& opening, ReadBlock read)
    {
        int count = 0;
        if (!reader.FindFirst(opening)) return 0;
        do
        {
            read(reader);
            ++count;
        } while (reader.FindNext(opening));
        return count;
    }

    /// Advances to the next line of the block closed by `closing`. A line
    /// whose first token is one of `stops` (or the end of the file) ends the
    /// block as not closed; that line is not consumed.
    static Step Next(COsgSettings& reader, const std::string& closing, const std::vector<std::string>& stops);

    /// The reader stands on the opening line `opening` (for example "<SOUND>");
    /// skips to its closing line "</SOUND>", counting nested blocks of the same
    /// name. When `keep` is given, the opening line, the body and the closing
    /// line are appended to it at depths from `depth` on. Prints a warning and
    /// returns false when the block is not closed before a stop tag.
    static bool Skip(COsgSettings& reader, const std::string& opening, const std::vector<std::string>& stops,
                     std::vector<KeptLine>* keep, int depth = 0);

    /// The tokens of the reader's current line.
    static const std::vector<std::string>& CurrentTokens(const COsgSettings& reader);

    /// Reads `count` numbers from the current line. When a value is missing or
    /// is not a number, prints one line naming the tag, what was expected and
    /// what was found; such values read as 0 (or their leading numeric part).
    static std::vector<double> Numbers(COsgSettings& reader, const std::string& tag, int count);
    /// One integer with the same checking.
    static int Integer(COsgSettings& reader, const std::string& tag);

    /// The closing tag of an opening tag: "<SOUND>" gives "</SOUND>".
    static std::string ClosingTag(const std::string& opening);

    /// Prints one line to standard output and flushes it, so messages keep
    /// their order with other output and reach a redirected stream at once;
    /// the line is also handed to the content findings (CContentFindings).
    static void Print(const std::string& line);
};
