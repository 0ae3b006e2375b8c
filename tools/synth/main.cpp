// vexamark-synth: synthetic footage of printed markers on moving cards, with ground
// truth. Exit status: 0 done, 1 bad data or failed write, 2 bad command line.

#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "SceneReader.h"
#include "SynthRun.h"

using namespace vxsynth;

namespace {

const char* kUsage =
    "usage: vexamark-synth [--preset demo] [--scene FILE] [SETTINGS...] OUTPUTS...\n"
    "outputs (at least one):\n"
    "  --out VIDEO          video file (.mp4, .mkv or .avi)\n"
    "  --png-dir DIR        lossless frames DIR/frame_000000.png, ...\n"
    "  --csv FILE           ground truth (default: VIDEO with .csv, else DIR/truth.csv)\n"
    "  --quiet              no progress or summary\n"
    "settings (also scene file lines without the dashes):\n"
    "  --size W H  --frames N  --fps F  --seed S\n"
    "  --intrinsics FX FY CX CY  --distortion K1 K2 P1 P2 K3\n"
    "  --marker NAME=PICTURE[,width=MM][,card=SCALE][,box=auto|full|X:Y:SIDE][,distance=MIN:MAX]\n"
    "           [,tilt=DEG][,spin=DEG_PER_S][,px=PIXELS][,path=drift|orbit|sweep|still]\n"
    "           (PICTURE: a marker PNG, or design:NAME for a built-in picture printed as a marker)\n"
    "  --distance MIN MAX  --tilt DEG  --spin DEG_PER_S  --speed FACTOR  --marker-px PIXELS\n"
    "  --background wood|cloth|flat  --lighting MIN MAX ANGLE  --noise SIGMA  --blur SIGMA\n"
    "  --motion-blur LENGTH ANGLE  --shutter FRACTION  --occluders N  --occlusion-limit FRACTION  --quality Q  --threads N\n"
    "  --frame-code         the frame number as black/white blocks in the top-right corner\n"
    "See docs/tools.md for the scene format and the CSV columns.\n";

int fail(int code, const std::string& message) {
    std::cerr << "vexamark-synth: error: " << message << "\n";
    return code;
}

std::string defaultCsv(const SynthRun::Outputs& out) {
    if (!out.video.empty()) {
        const size_t dot = out.video.find_last_of('.'), slash = out.video.find_last_of('/');
        const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
        return (hasExt ? out.video.substr(0, dot) : out.video) + ".csv";
    }
    return out.pngDir.empty() ? "" : out.pngDir + "/truth.csv";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (a == "--version") {
            std::cout << "vexamark-synth " << VEXAMARK_VERSION << "\n";
            return 0;
        }
    }
    std::map<std::string, int> arity = SceneReader::arity();
    arity.insert({{"--scene", 1}, {"--preset", 1}, {"--out", 1}, {"--png-dir", 1}, {"--csv", 1}, {"--quiet", 0}});
    vxtools::CommandLine cl;
    std::string error;
    if (!cl.parse(args, arity, error)) return fail(2, error);
    if (!cl.positional().empty()) return fail(2, "unexpected argument '" + cl.positional()[0] + "'");
    SynthScene scene;
    if (cl.has("--preset") && !SceneReader::applyPreset(cl.value("--preset"), scene, error)) return fail(2, error);
    if (cl.has("--scene") && !SceneReader::readFile(cl.value("--scene"), scene, error)) return fail(1, error);
    if (!SceneReader::apply(cl, scene, error)) return fail(2, error);

    SynthRun::Outputs out{cl.value("--out"), cl.value("--png-dir"), cl.value("--csv"), cl.has("--quiet")};
    if (out.csv.empty()) out.csv = defaultCsv(out);
    if (out.video.empty() && out.pngDir.empty() && out.csv.empty())
        return fail(2, "no output given (expected --out VIDEO, --png-dir DIR or --csv FILE)");
    if (!out.video.empty() && (scene.width % 2 || scene.height % 2))
        return fail(2, "video output needs an even picture size, found " + std::to_string(scene.width) + "x" +
                           std::to_string(scene.height));
    if (!out.video.empty() && !SynthRun::videoAvailable())
        return fail(2, "video output is not available in this build (no media layer); use --png-dir DIR");
    SynthRun run(scene);
    if (!run.prepare(error)) return fail(1, error);
    if (!run.run(out, error)) return fail(1, error);
    if (!out.quiet)
        std::cout << "vexamark-synth: " << scene.frames << " frames of " << scene.width << "x" << scene.height
                  << ", " << scene.markers.size() << " markers; rendering " << run.renderSeconds() * 1000 / scene.frames
                  << " ms per frame\n";
    return 0;
}
