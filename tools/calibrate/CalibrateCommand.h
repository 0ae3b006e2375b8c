#pragma once
// "vexamark-calibrate images" and "vexamark-calibrate video": a camera
// parameter file from chessboard pictures or from frames of a video file.
// Both print the reprojection error and the intrinsics on standard output.
// Exit codes: 0 done, 1 bad data (unreadable file, board found too rarely,
// failed write), 2 bad command line. Pictures without the board are skipped
// with a note on standard error. The lens model fits k1 k2 p1 p2
// (k3 = 0); --k3 fits k3 too, --no-distortion takes the lens as distortion-free.

#include <string>
#include <vector>

namespace vxtools
{
/// images --board COLSxROWS --square MM IMAGES... OUT [--k3 | --no-distortion]
int RunImagesCommand(const std::vector<std::string>& args);
/// video --board COLSxROWS --square MM VIDEO OUT [--every N] [--k3 | --no-distortion]
int RunVideoCommand(const std::vector<std::string>& args);
}
