// vexamark-calibrate: camera parameter files for the tracker.
//   write --size W H --fx .. --fy .. --cx .. --cy .. [--dist k1 k2 p1 p2 k3] OUT
#include "WriteCommand.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help")
    {
        std::printf("usage: vexamark-calibrate write --size W H --fx FX --fy FY --cx CX --cy CY "
                    "[--dist K1 K2 P1 P2 K3] OUT\n");
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "write") return vxtools::RunWriteCommand(args);
    std::fprintf(stderr, "vexamark-calibrate: unknown command '%s' (expected write)\n", command.c_str());
    return 2;
}
