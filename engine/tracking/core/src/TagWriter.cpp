#include "vxt/TagWriter.h"

#include <cstdio>
#include <sstream>

namespace vxt {

TagWriter& TagWriter::tag(const std::string& t) {
    text_.append(static_cast<std::size_t>(level_) * 4, ' ');
    return value(t);
}

TagWriter& TagWriter::value(const std::string& v) {
    text_ += v;
    text_ += ' ';
    return *this;
}

TagWriter& TagWriter::value(long long v) { return value(std::to_string(v)); }

TagWriter& TagWriter::value(double v, int digits) {
    std::ostringstream s;
    s.precision(digits);
    s << v;
    return value(s.str());
}

void TagWriter::end() { text_ += '\n'; }

Status TagWriter::save(const std::string& path) const {
    if (path.empty()) return Status::failure("no file name given");
    std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return Status::failure("cannot write '" + tmp + "'");
    bool ok = std::fwrite(text_.data(), 1, text_.size(), f) == text_.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        std::remove(tmp.c_str());
        return Status::failure("cannot write '" + tmp + "'");
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return Status::failure("cannot replace '" + path + "'");
    }
    return Status::success();
}

}  // namespace vxt
