// vexamark-default-settings: writes the engine settings file with the
// engine's own defaults, through the engine's own writer, so the file that
// ships with the content set is exactly what a first run would write.
// Further settings lines given after the file name are read by the engine
// as a run would read them (making the regions they ask for, so run it in
// a working folder that has the HUD's models) and written back with the rest.
#include "CHudRegionManager.h"
#include "CVexaBox.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace
{
bool addLines(const std::string& file, int count, char** lines)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    std::string settings = text.str();
    const size_t end = settings.find("</VEXA_SETTINGS>");
    if (end == std::string::npos) return false;
    std::string added;
    for (int i = 0; i < count; ++i) added += std::string("    ") + lines[i] + "\n";
    settings.insert(end, added);
    std::ofstream out(file, std::ios::trunc);
    out << settings;
    return static_cast<bool>(out);
}
}

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0)
    {
        std::fprintf(argc == 2 ? stdout : stderr, "usage: vexamark-default-settings OUT.tsf [\"<TAG> value\" ...]\n");
        return argc == 2 ? 0 : 2;
    }
    CVexaBox box;
    box.SetSettingsPath(argv[1]);
    bool written = box.WriteSettings();
    if (written && argc > 2)
    {
        CHudRegionManager::Instance()->CreateHudLayer("SETTINGS", box.GetScreenWidth(), box.GetScreenHeight());
        written = addLines(argv[1], argc - 2, argv + 2);
        if (written)
        {
            box.ReadSettings();
            written = box.WriteSettings();
        }
    }
    if (written) return 0;
    std::fprintf(stderr, "vexamark-default-settings: could not write %s\n", argv[1]);
    return 1;
}
