#pragma once
// Minimal option parser for the tools: "--name value..." options with a fixed number
// of values each (0 for a flag), everything else positional. Options may repeat;
// each occurrence is kept in order.

#include <map>
#include <string>
#include <vector>

namespace vxtools {

class CommandLine {
public:
    // `arity` maps each accepted option (with its dashes) to its value count.
    // Returns false with `error` set for an unknown option or missing values.
    bool parse(const std::vector<std::string>& args, const std::map<std::string, int>& arity, std::string& error);

    const std::vector<std::string>& positional() const { return positional_; }
    bool has(const std::string& option) const { return values_.count(option) > 0; }
    // All occurrences of an option, each with its values.
    const std::vector<std::vector<std::string>>& all(const std::string& option) const;
    // Value `i` of the last occurrence (empty when absent).
    std::string value(const std::string& option, size_t i = 0) const;

    // Parses the last occurrence's value `i` as a number within [lo, hi]; when the
    // option is absent `out` keeps its value. Returns false with `error` otherwise.
    bool intValue(const std::string& option, int& out, int lo, int hi, std::string& error, size_t i = 0) const;
    bool doubleValue(const std::string& option, double& out, double lo, double hi, std::string& error,
                     size_t i = 0) const;

    // Number parsing shared by the tools: the whole text must be a finite number in range.
    static bool toInt(const std::string& text, int& out);
    static bool toDouble(const std::string& text, double& out);

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::vector<std::vector<std::string>>> values_;
};

}  // namespace vxtools
