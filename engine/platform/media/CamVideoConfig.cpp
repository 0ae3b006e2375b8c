#include "CamVideoConfig.h"

#include "ContentPath.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace vexa {
namespace media {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Splits on blanks; "double quoted" tokens keep their blanks. False on an open quote.
bool tokenize(const std::string& text, std::vector<std::string>& out) {
    size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) { ++i; continue; }
        std::string token;
        if (text[i] == '"') {
            const size_t close = text.find('"', i + 1);
            if (close == std::string::npos) return false;
            token = text.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) token += text[i++];
        }
        out.push_back(token);
    }
    return true;
}

bool parseSize(const std::string& token, int& w, int& h) {
    const size_t x = lower(token).find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= token.size()) return false;
    char* end = nullptr;
    const long width = std::strtol(token.c_str(), &end, 10);
    if (end != token.c_str() + x) return false;
    const long height = std::strtol(token.c_str() + x + 1, &end, 10);
    if (*end != '\0' || width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    w = static_cast<int>(width);
    h = static_cast<int>(height);
    return true;
}

bool isNumber(const std::string& s) {
    if (s.empty() || s.size() > 4) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

const char* const kGrammar = "expected 'v4l2 [DEVICE] [WxH]' or 'file PATH [loop|noloop] [locked|realtime]'";

}  // namespace

bool CamVideoConfig::parse(const std::string& text, CamVideoConfig& out, std::string& error) {
    out = CamVideoConfig();
    std::vector<std::string> tokens;
    if (!tokenize(text, tokens)) {
        error = "camera configuration '" + text + "' has an unclosed quote";
        return false;
    }
    if (tokens.empty()) return true;
    const std::string kind = lower(tokens[0]);
    if (kind == "v4l2" || kind == "camera") {
        out.source = Source::FirstCamera;
        for (size_t i = 1; i < tokens.size(); ++i) {
            const std::string& t = tokens[i];
            if (!t.empty() && t[0] == '/' && out.path.empty()) {
                out.path = t;
            } else if (isNumber(t) && out.path.empty()) {
                out.path = "/dev/video" + t;
            } else if (!parseSize(t, out.width, out.height)) {
                error = "camera configuration: '" + t + "' is neither a device nor a size WxH; " + kGrammar;
                return false;
            }
        }
        if (!out.path.empty()) out.source = Source::Camera;
        return true;
    }
    if (kind == "file") {
        if (tokens.size() < 2) {
            error = "camera configuration: 'file' needs a file name; " + std::string(kGrammar);
            return false;
        }
        out.source = Source::File;
        out.path = normalizeSeparators(tokens[1]);
        for (size_t i = 2; i < tokens.size(); ++i) {
            const std::string option = lower(tokens[i]);
            if (option == "loop") out.loop = true;
            else if (option == "noloop" || option == "once") out.loop = false;
            else if (option == "locked") out.frameLocked = true;
            else if (option == "realtime") out.frameLocked = false;
            else {
                error = "camera configuration: unknown file option '" + tokens[i] + "'; " + kGrammar;
                return false;
            }
        }
        return true;
    }
    error = "camera configuration: unknown source '" + tokens[0] + "'; " + kGrammar;
    return false;
}

}  // namespace media
}  // namespace vexa
