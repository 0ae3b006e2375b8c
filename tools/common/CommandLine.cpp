#include "CommandLine.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace vxtools {

bool CommandLine::parse(const std::vector<std::string>& args, const std::map<std::string, int>& arity,
                        std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
            positional_.push_back(a);
            continue;
        }
        const auto it = arity.find(a);
        if (it == arity.end()) {
            error = "unknown option '" + a + "'";
            return false;
        }
        if (i + it->second >= args.size()) {
            error = "option '" + a + "' expects " + std::to_string(it->second) + " value" +
                    (it->second > 1 ? "s" : "");
            return false;
        }
        std::vector<std::string> vals(args.begin() + i + 1, args.begin() + i + 1 + it->second);
        values_[a].push_back(vals);
        i += it->second;
    }
    return true;
}

const std::vector<std::vector<std::string>>& CommandLine::all(const std::string& option) const {
    static const std::vector<std::vector<std::string>> none;
    const auto it = values_.find(option);
    return it == values_.end() ? none : it->second;
}

std::string CommandLine::value(const std::string& option, size_t i) const {
    const auto& occ = all(option);
    if (occ.empty() || i >= occ.back().size()) return "";
    return occ.back()[i];
}

bool CommandLine::toInt(const std::string& text, int& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

bool CommandLine::toDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

namespace {

template <typename T>
std::string rangeText(T lo, T hi) {
    std::ostringstream s;
    s << lo << ".." << hi;
    return s.str();
}

}  // namespace

bool CommandLine::intValue(const std::string& option, int& out, int lo, int hi, std::string& error,
                           size_t i) const {
    if (!has(option)) return true;
    const std::string text = value(option, i);
    int v = 0;
    if (!toInt(text, v) || v < lo || v > hi) {
        error = "option '" + option + "' expects a whole number in " + rangeText(lo, hi) + ", found '" + text + "'";
        return false;
    }
    out = v;
    return true;
}

bool CommandLine::doubleValue(const std::string& option, double& out, double lo, double hi, std::string& error,
                              size_t i) const {
    if (!has(option)) return true;
    const std::string text = value(option, i);
    double v = 0;
    if (!toDouble(text, v) || v < lo || v > hi) {
        error = "option '" + option + "' expects a number in " + rangeText(lo, hi) + ", found '" + text + "'";
        return false;
    }
    out = v;
    return true;
}

}  // namespace vxtools
