#include "vxt/PatternImage.h"

#include <cstring>

#include "vxt/TagFile.h"
#include "vxt/TagWriter.h"

namespace vxt {

PatternImage::PatternImage() { std::memset(rgb_, 0, sizeof rgb_); }

Status PatternImage::parse(const std::string& text, const std::string& name) {
    TagFile tf;
    tf.parse(text);
    std::uint8_t cells[kBytes];
    bool inBlock = false, ended = false, haveSize = false;
    int rows = 0;
    auto fail = [&](int line, const std::string& what) {
        return Status::failure(name + ": line " + std::to_string(line) + ": " + what);
    };
    for (const TagFile::Line& line : tf.lines()) {
        if (line.tokens.empty() || ended) continue;
        const std::string& tag = line.tokens[0];
        if (!inBlock) {
            inBlock = tag == "<PATTERN>";
            continue;
        }
        if (tag == "</PATTERN>") {
            ended = true;
        } else if (tag == "<SIZE>") {
            long long v = 0;
            if (line.tokens.size() != 2 || !parseInt(line.tokens[1], 16, 16, v))
                return fail(line.number, "<SIZE> expects 16, found '" +
                                             (line.tokens.size() > 1 ? line.tokens[1] : std::string()) + "'");
            haveSize = true;
        } else if (tag == "<ROW>") {
            if (rows >= kSize) return fail(line.number, "more than 16 <ROW> lines");
            int found = static_cast<int>(line.tokens.size()) - 1;
            if (found != kSize * 3)
                return fail(line.number, "<ROW> expects 48 values, found " + std::to_string(found));
            for (int i = 0; i < kSize * 3; ++i) {
                long long v = 0;
                if (!parseInt(line.tokens[i + 1], 0, 255, v))
                    return fail(line.number, "<ROW> expects whole numbers 0..255, found '" +
                                                 line.tokens[i + 1] + "'");
                cells[rows * kSize * 3 + i] = static_cast<std::uint8_t>(v);
            }
            ++rows;
        }
    }
    if (!inBlock) return Status::failure(name + ": expected a <PATTERN> block, found none");
    if (!haveSize) return Status::failure(name + ": missing <SIZE>");
    if (rows != kSize)
        return Status::failure(name + ": expected 16 <ROW> lines, found " + std::to_string(rows));
    std::memcpy(rgb_, cells, sizeof rgb_);
    return Status::success();
}

Status PatternImage::load(const std::string& path) {
    std::string text;
    Status s = TagFile::readText(path, 1u << 20, text);
    if (!s) return s;
    return parse(text, "'" + path + "'");
}

Status PatternImage::save(const std::string& path) const {
    TagWriter w;
    w.tag("<PATTERN>").end();
    w.indent();
    w.tag("<VERSION>").value(1LL).end();
    w.tag("<SIZE>").value(static_cast<long long>(kSize)).end();
    for (int r = 0; r < kSize; ++r) {
        w.tag("<ROW>");
        for (int i = 0; i < kSize * 3; ++i) w.value(static_cast<long long>(rgb_[r * kSize * 3 + i]));
        w.end();
    }
    w.unindent();
    w.tag("</PATTERN>").end();
    return w.save(path);
}

}  // namespace vxt
