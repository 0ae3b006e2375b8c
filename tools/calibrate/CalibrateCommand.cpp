#include "CalibrateCommand.h"

#include "BoardSpec.h"
#include "ChessboardCalibration.h"
#include "CommandLine.h"

#include "vxt/CameraParams.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#ifdef VEXAMARK_CALIBRATE_HAVE_MEDIA
#include "MediaFileReader.h"
#endif

#include <cstdio>

namespace vxtools
{
namespace
{
const char* const kImagesUsage = "usage: vexamark-calibrate images --board COLSxROWS --square MM IMAGES... OUT [--k3 | --no-distortion]";
const char* const kVideoUsage = "usage: vexamark-calibrate video --board COLSxROWS --square MM VIDEO OUT [--every N] [--k3 | --no-distortion]";
// A solve over more views than this is slow and no better.
const int kMaxViews = 60;

int usageError(const std::string& error, const char* usage)
{
    std::fprintf(stderr, "vexamark-calibrate: error: %s\n%s\n", error.c_str(), usage);
    return 2;
}

int dataError(const std::string& error)
{
    std::fprintf(stderr, "vexamark-calibrate: error: %s\n", error.c_str());
    return 1;
}

// Parses the board options shared by both commands.
bool parseBoard(const CommandLine& cl, BoardSpec& board, std::string& error)
{
    if (!cl.has("--board") || !cl.has("--square"))
    {
        error = cl.has("--board") ? "missing --square" : "missing --board";
        return false;
    }
    if (!BoardSpec::parseSize(cl.value("--board"), board, error)) return false;
    board.squareMm = 0;
    if (!cl.doubleValue("--square", board.squareMm, 1e-3, 1e6, error)) return false;
    return true;
}

// Prints the result and writes the camera parameter file.
int finish(const ChessboardCalibration& calibration, const std::string& out, const CommandLine& cl)
{
    CalibrationResult r;
    std::string error;
    ChessboardCalibration::LensModel model = ChessboardCalibration::LensModel::NoK3;
    if (cl.has("--k3")) model = ChessboardCalibration::LensModel::Full;
    if (cl.has("--no-distortion")) model = ChessboardCalibration::LensModel::Distortionless;
    if (!calibration.calibrate(r, error, model)) return dataError(error);
    std::printf("RMS reprojection error: %.4f px (%d views)\n", r.rms, r.views);
    std::printf("image size: %d x %d\n", r.width, r.height);
    std::printf("fx %.4f  fy %.4f\n", r.fx, r.fy);
    std::printf("cx %.4f  cy %.4f  (pixel (i, j) covers [i, i+1) x [j, j+1))\n", r.cx, r.cy);
    std::printf("distortion k1 k2 p1 p2 k3: %.6g %.6g %.6g %.6g %.6g\n", r.dist[0], r.dist[1], r.dist[2], r.dist[3],
                r.dist[4]);
    vxt::CameraParams camera(r.width, r.height, r.fx, r.fy, r.cx, r.cy);
    camera.setDistortion(r.dist[0], r.dist[1], r.dist[2], r.dist[3], r.dist[4]);
    vxt::Status status = camera.validate();
    if (status) status = camera.save(out);
    if (!status) return dataError(status.message());
    std::printf("wrote '%s'\n", out.c_str());
    return 0;
}
}

int RunImagesCommand(const std::vector<std::string>& args)
{
    CommandLine cl;
    std::string error;
    if (!cl.parse(args, {{"--board", 1}, {"--square", 1}, {"--k3", 0}, {"--no-distortion", 0}}, error)) return usageError(error, kImagesUsage);
    BoardSpec board;
    if (!parseBoard(cl, board, error)) return usageError(error, kImagesUsage);
    if (cl.has("--k3") && cl.has("--no-distortion"))
        return usageError("--k3 and --no-distortion exclude each other", kImagesUsage);
    const std::vector<std::string>& files = cl.positional();
    if (files.size() < 2) return usageError("expected one or more pictures and the output file", kImagesUsage);

    ChessboardCalibration calibration(board);
    for (size_t i = 0; i + 1 < files.size(); ++i)
    {
        const cv::Mat grey = cv::imread(files[i], cv::IMREAD_GRAYSCALE);
        if (grey.empty()) return dataError("cannot read picture '" + files[i] + "'");
        std::string why;
        if (!calibration.addView(grey, why))
            std::fprintf(stderr, "vexamark-calibrate: '%s': %s, skipped\n", files[i].c_str(), why.c_str());
    }
    std::printf("board found in %d of %zu pictures\n", calibration.viewCount(), files.size() - 1);
    calibration.thinTo(kMaxViews);
    return finish(calibration, files.back(), cl);
}

int RunVideoCommand(const std::vector<std::string>& args)
{
    CommandLine cl;
    std::string error;
    if (!cl.parse(args, {{"--board", 1}, {"--square", 1}, {"--every", 1}, {"--k3", 0}, {"--no-distortion", 0}}, error))
        return usageError(error, kVideoUsage);
    BoardSpec board;
    int every = 10;
    if (!parseBoard(cl, board, error) || !cl.intValue("--every", every, 1, 100000, error))
        return usageError(error, kVideoUsage);
    if (cl.has("--k3") && cl.has("--no-distortion"))
        return usageError("--k3 and --no-distortion exclude each other", kVideoUsage);
    if (cl.positional().size() != 2) return usageError("expected one video file and the output file", kVideoUsage);
#ifdef VEXAMARK_CALIBRATE_HAVE_MEDIA
    const std::string& path = cl.positional()[0];
    vexa::media::MediaFileReader reader;
    if (!reader.open(path)) return dataError("cannot read video '" + path + "': " + reader.lastError());
    const int w = reader.info().width, h = reader.info().height;
    cv::Mat bgra(h, w, CV_8UC4), grey;
    ChessboardCalibration calibration(board);
    int frame = 0, looked = 0;
    using Result = vexa::media::MediaFileReader::ReadResult;
    for (;; ++frame)
    {
        const Result r = reader.readNextFrame(bgra.data, static_cast<int>(bgra.step));
        if (r == Result::EndOfStream) break;
        if (r == Result::Error)
        {
            std::fprintf(stderr, "vexamark-calibrate: '%s': %s; using the frames read so far\n", path.c_str(),
                         reader.lastError().c_str());
            break;
        }
        if (frame % every != 0) continue;
        ++looked;
        cv::cvtColor(bgra, grey, cv::COLOR_BGRA2GRAY);
        std::string why;
        calibration.addView(grey, why);
    }
    std::printf("board found in %d of %d frames looked at (every %d of %d)\n", calibration.viewCount(), looked, every,
                frame);
    calibration.thinTo(kMaxViews);
    return finish(calibration, cl.positional()[1], cl);
#else
    return dataError("video files are not available in this build (no media layer)");
#endif
}
}
