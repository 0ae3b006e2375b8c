// vexamark-marker: printable markers, built-in marker pictures, A4 marker sheets and
// pattern files. Exit status: 0 done, 1 bad data or failed write, 2 bad command line.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "MarkerArt.h"
#include "MarkerSheet.h"
#include "PatternCommand.h"
#include "PngFile.h"
#include "PrintedMarker.h"

using namespace vxtools;

namespace {

constexpr int kUsageError = 2;
constexpr int kDataError = 1;
constexpr int kDesignPx = 512;  // resolution of built-in pictures placed in PDFs

const char* kUsage =
    "usage: vexamark-marker COMMAND ...\n"
    "  print INNER OUT.png|OUT.pdf [--size PX] [--width-mm MM]\n"
    "        printable marker: black border 25 % of the width on each side around INNER\n"
    "        (PX: marker width in pixels, multiple of 8, default 512; MM: width in a PDF, default 80)\n"
    "  design NAME OUT.png [--size PX]    draw a built-in inner picture (default 256 px)\n"
    "  design --list                      list the built-in pictures\n"
    "  sheet OUT.pdf NAME=INNER ... [--list FILE] [--width-mm MM]\n"
    "        markers with their names on A4 pages (MM: marker width, default 80)\n"
    "  pattern INNER OUT.patt             train a pattern file from an inner picture\n"
    "INNER is a PNG file or design:NAME for a built-in picture.\n";

int fail(int code, const std::string& message) {
    std::cerr << "vexamark-marker: error: " << message << "\n";
    if (code == kUsageError) std::cerr << "(run 'vexamark-marker --help' for usage)\n";
    return code;
}

std::string lowerExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

std::string stem(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.compare(0, 7, "design:") == 0) return base.substr(7);
    const size_t dot = base.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

int runPrint(const CommandLine& cl) {
    std::string error;
    int size = 512;
    double widthMm = 80.0;
    if (cl.positional().size() != 2) return fail(kUsageError, "print expects INNER and OUT.png|OUT.pdf");
    if (!cl.intValue("--size", size, 1, 1 << 20, error) ||
        !cl.doubleValue("--width-mm", widthMm, 1.0, 1000.0, error))
        return fail(kUsageError, error);
    const std::string& out = cl.positional()[1];
    const std::string ext = lowerExtension(out);
    if (ext != ".png" && ext != ".pdf")
        return fail(kUsageError, "print expects an output file ending in .png or .pdf, found '" + out + "'");
    if (ext == ".png" && !(error = PrintedMarker::checkSize(size)).empty())
        return fail(kUsageError, "--size: " + error);
    Image inner;
    if (!MarkerArt::load(cl.positional()[0], ext == ".png" ? size / 2 : kDesignPx, inner, error))
        return fail(kDataError, error);
    if (ext == ".pdf") {
        if (!MarkerSheet(widthMm).write(out, {{stem(cl.positional()[0]), inner}}, error))
            return fail(kDataError, error);
    } else if (!PngFile::write(out, PrintedMarker::compose(inner, size), error, PrintedMarker::textChunks(size))) {
        return fail(kDataError, error);
    }
    return 0;
}

int runDesign(const CommandLine& cl) {
    if (cl.has("--list")) {
        for (const auto& n : MarkerArt::names()) std::cout << n << "\n";
        return 0;
    }
    std::string error;
    int size = 256;
    if (cl.positional().size() != 2) return fail(kUsageError, "design expects NAME and OUT.png");
    if (!cl.intValue("--size", size, 8, 8192, error)) return fail(kUsageError, error);
    if (lowerExtension(cl.positional()[1]) != ".png")
        return fail(kUsageError, "design expects an output file ending in .png, found '" + cl.positional()[1] + "'");
    Image img;
    if (!MarkerArt::draw(cl.positional()[0], size, img, error)) return fail(kUsageError, error);
    if (!PngFile::write(cl.positional()[1], img, error)) return fail(kDataError, error);
    return 0;
}

// Splits "NAME=INNER"; false when either side is empty.
bool splitEntry(const std::string& text, std::string& name, std::string& source) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == text.size()) return false;
    name = text.substr(0, eq);
    source = text.substr(eq + 1);
    return true;
}

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// Reads a list file of "NAME=INNER" lines ('#' starts a comment); relative paths are
// taken from the list file's folder.
bool readList(const std::string& path, std::vector<std::pair<std::string, std::string>>& out, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open list file '" + path + "'";
        return false;
    }
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        line.erase(0, line.find_first_not_of(" \t\r"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (line.empty()) continue;
        std::string name, source;
        if (!splitEntry(line, name, source) || (name = trim(name)).empty() || (source = trim(source)).empty()) {
            error = path + ":" + std::to_string(n) + ": expected NAME=INNER, found '" + line + "'";
            return false;
        }
        if (source[0] != '/' && source.compare(0, 7, "design:") != 0) source = dir + source;
        out.emplace_back(name, source);
    }
    return true;
}

int runSheet(const CommandLine& cl) {
    std::string error;
    double widthMm = 80.0;
    if (!cl.doubleValue("--width-mm", widthMm, 1.0, 1000.0, error)) return fail(kUsageError, error);
    if (cl.positional().empty() || lowerExtension(cl.positional()[0]) != ".pdf")
        return fail(kUsageError, "sheet expects OUT.pdf first");
    std::vector<std::pair<std::string, std::string>> items;
    if (cl.has("--list") && !readList(cl.value("--list"), items, error)) return fail(kDataError, error);
    for (size_t i = 1; i < cl.positional().size(); ++i) {
        std::string name, source;
        if (!splitEntry(cl.positional()[i], name, source))
            return fail(kUsageError, "expected NAME=INNER, found '" + cl.positional()[i] + "'");
        items.emplace_back(name, source);
    }
    if (items.empty()) return fail(kUsageError, "sheet expects at least one NAME=INNER (or --list FILE)");
    std::vector<MarkerSheet::Entry> entries;
    for (const auto& it : items) {
        MarkerSheet::Entry e{it.first, Image()};
        if (!MarkerArt::load(it.second, kDesignPx, e.inner, error)) return fail(kDataError, error);
        entries.push_back(std::move(e));
    }
    if (!MarkerSheet(widthMm).write(cl.positional()[0], entries, error)) return fail(kDataError, error);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--version") {
        std::cout << "vexamark-marker " << VEXAMARK_VERSION << "\n";
        return 0;
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage;
        return args.empty() ? kUsageError : 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    CommandLine cl;
    std::string error;
    const std::map<std::string, int> arity = {{"--size", 1}, {"--width-mm", 1}, {"--list", 1}};
    std::map<std::string, int> designArity = {{"--size", 1}, {"--list", 0}};
    if (!cl.parse(args, command == "design" ? designArity : arity, error)) return fail(kUsageError, error);
    if (command == "print") return runPrint(cl);
    if (command == "design") return runDesign(cl);
    if (command == "sheet") return runSheet(cl);
    if (command == "pattern") {
        if (cl.positional().size() != 2) return fail(kUsageError, "pattern expects INNER and OUT.patt");
        return PatternCommand::run(cl.positional()[0], cl.positional()[1], error) ? 0 : fail(kDataError, error);
    }
    return fail(kUsageError, "unknown command '" + command + "' (expected print, design, sheet or pattern)");
}
