// vexamark-calibrate: camera parameter files for the tracker.
//   write --size W H --fx .. --fy .. --cx .. --cy .. [--dist k1 k2 p1 p2 k3] OUT
//   images --board COLSxROWS --square MM IMAGES... OUT [--k3 | --no-distortion]
//   video --board COLSxROWS --square MM VIDEO OUT [--every N] [--k3 | --no-distortion]
#include "WriteCommand.h"

#ifdef VEXAMARK_CALIBRATE_HAVE_OPENCV
#include "CalibrateCommand.h"
#endif

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--version")
    {
        std::printf("vexamark-calibrate %s\n", VEXAMARK_VERSION);
        return 0;
    }
    if (args.empty() || args[0] == "--help")
    {
        std::printf("usage: vexamark-calibrate write --size W H --fx FX --fy FY --cx CX --cy CY "
                    "[--dist K1 K2 P1 P2 K3] OUT\n"
                    "       vexamark-calibrate images --board COLSxROWS --square MM IMAGES... OUT [--k3 | --no-distortion]\n"
                    "       vexamark-calibrate video --board COLSxROWS --square MM VIDEO OUT [--every N] [--k3 | --no-distortion]\n"
                    "COLSxROWS counts the inner corners of the chessboard; MM is the side of one square;\n"
                    "the lens model fits k1 k2 p1 p2 (k3 = 0); --k3 fits k3 too; --no-distortion takes the\n"
                    "lens as distortion-free.\n");
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "write") return vxtools::RunWriteCommand(args);
#ifdef VEXAMARK_CALIBRATE_HAVE_OPENCV
    if (command == "images") return vxtools::RunImagesCommand(args);
    if (command == "video") return vxtools::RunVideoCommand(args);
#else
    if (command == "images" || command == "video")
    {
        std::fprintf(stderr, "vexamark-calibrate: error: '%s' needs OpenCV, which this build lacks\n",
                     command.c_str());
        return 1;
    }
#endif
    std::fprintf(stderr, "vexamark-calibrate: unknown command '%s' (expected write, images or video)\n",
                 command.c_str());
    return 2;
}
