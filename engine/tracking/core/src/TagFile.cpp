#include "vxt/TagFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vxt {

namespace {

const std::size_t kLineBuffer = 2047;  // characters per logical line

void tokenise(const std::string& raw, int number, std::vector<TagFile::Line>& out) {
    TagFile::Line line;
    line.number = number;
    std::string tok;
    for (std::size_t i = 0; i <= raw.size(); ++i) {
        char c = i < raw.size() ? raw[i] : ' ';
        if (c == ',') c = ' ';
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') {
            if (!tok.empty()) {
                if (tok == "#") break;
                line.tokens.push_back(tok);
                tok.clear();
            }
        } else {
            tok += c;
        }
    }
    out.push_back(std::move(line));
}

}  // namespace

void TagFile::parse(const std::string& text) {
    lines_.clear();
    std::size_t pos = 0;
    int number = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::size_t end = nl == std::string::npos ? text.size() : nl;
        ++number;
        std::string physical = text.substr(pos, end - pos);
        pos = end + 1;
        if (!physical.empty() && physical.back() == '\r') physical.pop_back();
        std::size_t off = 0;
        do {
            std::string raw = physical.substr(off, kLineBuffer);
            off += kLineBuffer;
            if (!raw.empty() && raw[0] == '$') return;
            if (raw.empty() || raw[0] == '#') continue;
            tokenise(raw, number, lines_);
        } while (off < physical.size());
    }
}

Status TagFile::readText(const std::string& path, std::size_t maxBytes, std::string& text) {
    text.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return Status::failure("cannot open '" + path + "'");
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        text.append(buf, n);
        if (text.size() > maxBytes) {
            std::fclose(f);
            text.clear();
            return Status::failure("'" + path + "' is larger than " + std::to_string(maxBytes) +
                                   " bytes");
        }
    }
    bool err = std::ferror(f) != 0;
    std::fclose(f);
    if (err) return Status::failure("cannot read '" + path + "'");
    return Status::success();
}

Status TagFile::load(const std::string& path, std::size_t maxBytes) {
    lines_.clear();
    std::string text;
    Status s = readText(path, maxBytes, text);
    if (s) parse(text);
    return s;
}

bool parseDouble(const std::string& token, double& out) {
    if (token.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(token.c_str(), &end);
    if (end != token.c_str() + token.size() || errno == ERANGE || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool parseInt(const std::string& token, long long minValue, long long maxValue, long long& out) {
    if (token.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(token.c_str(), &end, 10);
    if (end != token.c_str() + token.size() || errno == ERANGE) return false;
    if (v < minValue || v > maxValue) return false;
    out = v;
    return true;
}

}  // namespace vxt
