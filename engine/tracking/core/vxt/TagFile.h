#pragma once
#include <string>
#include <vector>

#include "vxt/Status.h"

namespace vxt {

// A tag file read into lines of tokens.
// Rules: a line starting with "$" ends the file; lines starting with "#" or
// empty are skipped; commas become blanks; tokens are split on white space;
// a token that is exactly "#" drops the rest of its line. The first token of
// a line is its tag. Physical lines longer than 2047 characters are read as
// several lines.
class TagFile {
public:
    struct Line {
        int number = 0;  // 1-based physical line number, for messages
        std::vector<std::string> tokens;
    };

    // Reads and tokenises a file; files larger than `maxBytes` are refused.
    Status load(const std::string& path, std::size_t maxBytes = 4u << 20);
    // Tokenises text already in memory.
    void parse(const std::string& text);

    const std::vector<Line>& lines() const { return lines_; }

    // Reads a whole file into `out`; refuses files larger than `maxBytes`.
    static Status readText(const std::string& path, std::size_t maxBytes, std::string& out);

private:
    std::vector<Line> lines_;
};

// Strict number parsing of one token: the whole token must be a finite
// number (or an integer within range). Returns false otherwise.
bool parseDouble(const std::string& token, double& out);
bool parseInt(const std::string& token, long long minValue, long long maxValue, long long& out);

}  // namespace vxt
