#pragma once
#include <string>

#include "vxt/Status.h"

namespace vxt {

// Builds a tag file in memory and writes it safely (temporary sibling file,
// then rename), so an existing file is never left half-written.
// Each line is indent x 4 blanks, then every token followed by one blank.
class TagWriter {
public:
    void indent() { ++level_; }
    void unindent() { if (level_ > 0) --level_; }

    // Starts a line with the tag.
    TagWriter& tag(const std::string& t);
    TagWriter& value(const std::string& v);
    TagWriter& value(long long v);
    // Default stream notation with `digits` significant digits (6 = C++ default).
    TagWriter& value(double v, int digits = 6);
    // Ends the current line.
    void end();

    const std::string& text() const { return text_; }
    Status save(const std::string& path) const;

private:
    std::string text_;
    int level_ = 0;
};

}  // namespace vxt
