// vexamark-default-settings: writes the engine settings file with the
// engine's own defaults, through the engine's own writer, so the file that
// ships with the content set is exactly what a first run would write.
#include "CVexaBox.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0)
    {
        std::fprintf(argc == 2 ? stdout : stderr, "usage: vexamark-default-settings OUT.tsf\n");
        return argc == 2 ? 0 : 2;
    }
    CVexaBox box;
    box.SetSettingsPath(argv[1]);
    if (box.WriteSettings()) return 0;
    std::fprintf(stderr, "vexamark-default-settings: could not write %s\n", argv[1]);
    return 1;
}
