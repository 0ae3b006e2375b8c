#pragma once
// Fills a SynthScene from presets, scene files and command-line options. A scene file
// holds one setting per line, written like the long option without its dashes
// ("size 640 480", "marker corvane=design:corvane,width=80,tilt=60"); '#' starts a
// comment. Later settings override earlier ones; markers accumulate.

#include <map>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "SynthScene.h"

namespace vxsynth {

class SceneReader {
public:
    // Value counts of every scene option (with dashes), for CommandLine::parse.
    static const std::map<std::string, int>& arity();

    // Applies the scene options present in `cl` (in the fixed order of arity()).
    // `baseDir` prefixes relative marker picture paths. False with `error` on bad values.
    static bool apply(const vxtools::CommandLine& cl, SynthScene& scene, std::string& error,
                      const std::string& baseDir = "");

    // Reads a scene file; errors name the file and line.
    static bool readFile(const std::string& path, SynthScene& scene, std::string& error);

    // Named settings: "demo" (4 built-in markers on a table, 10 s at 25 fps, 640 x 480).
    static bool applyPreset(const std::string& name, SynthScene& scene, std::string& error);

    // Parses one marker description "NAME=SOURCE[,key=value...]".
    static bool parseMarker(const std::string& text, MarkerSpec& out, std::string& error);
};

}  // namespace vxsynth
