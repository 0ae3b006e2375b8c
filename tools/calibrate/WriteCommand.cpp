#include "WriteCommand.h"

#include "CommandLine.h"

#include "vxt/CameraParams.h"

#include <cstdio>

namespace vxtools
{
namespace
{
const char* const kUsage =
    "usage: vexamark-calibrate write --size W H --fx FX --fy FY --cx CX --cy CY [--dist K1 K2 P1 P2 K3] OUT";

bool readNumbers(const CommandLine& cl, std::string& error, int& width, int& height, double v[4], double dist[5])
{
    if (!cl.intValue("--size", width, 1, 100000, error, 0) || !cl.intValue("--size", height, 1, 100000, error, 1))
        return false;
    const char* names[4] = {"--fx", "--fy", "--cx", "--cy"};
    for (int i = 0; i < 4; ++i)
    {
        if (!cl.has(names[i]))
        {
            error = std::string("missing ") + names[i];
            return false;
        }
        if (!cl.doubleValue(names[i], v[i], -1e7, 1e7, error)) return false;
    }
    for (int i = 0; i < 5 && cl.has("--dist"); ++i)
        if (!cl.doubleValue("--dist", dist[i], -1e3, 1e3, error, static_cast<size_t>(i))) return false;
    return true;
}
}

int RunWriteCommand(const std::vector<std::string>& args)
{
    CommandLine cl;
    std::string error;
    const std::map<std::string, int> arity = {{"--size", 2}, {"--fx", 1}, {"--fy", 1}, {"--cx", 1},
                                              {"--cy", 1},   {"--dist", 5}};
    if (!cl.parse(args, arity, error) || cl.positional().size() != 1 || !cl.has("--size"))
    {
        std::fprintf(stderr, "vexamark-calibrate: %s\n%s\n", error.empty() ? "expected one output file" : error.c_str(),
                     kUsage);
        return 2;
    }
    int width = 0, height = 0;
    double v[4] = {0, 0, 0, 0};
    double dist[5] = {0, 0, 0, 0, 0};
    if (!readNumbers(cl, error, width, height, v, dist))
    {
        std::fprintf(stderr, "vexamark-calibrate: %s\n%s\n", error.c_str(), kUsage);
        return 2;
    }
    vxt::CameraParams camera(width, height, v[0], v[1], v[2], v[3]);
    camera.setDistortion(dist[0], dist[1], dist[2], dist[3], dist[4]);
    vxt::Status status = camera.validate();
    if (status) status = camera.save(cl.positional()[0]);
    if (!status)
    {
        std::fprintf(stderr, "vexamark-calibrate: %s\n", status.message().c_str());
        return 1;
    }
    return 0;
}
}
