// vexamark-sounds: writes the sounds of the bundled content set into a folder:
// chime.wav, loop.wav, click.wav and the object menu's four clicks
// (menuClick.wav, objectClick.wav, upClick.wav, closeClick.wav), 16-bit mono WAV files.
#include "DemoSounds.h"
#include "WavWriter.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0)
    {
        std::printf("vexamark-sounds %s\n", VEXAMARK_VERSION);
        return 0;
    }
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0)
    {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "usage: vexamark-sounds OUT_DIR\n"
                     "writes OUT_DIR/chime.wav (a bell, 1.6 s), OUT_DIR/loop.wav (a seamless 2 s chord)\n"
                     "OUT_DIR/click.wav (a 30 ms tick) and the menu's clicks OUT_DIR/menuClick.wav,\n"
                     "objectClick.wav, upClick.wav and closeClick.wav: 16-bit mono WAV at 22050 Hz\n");
        return argc == 2 ? 0 : 2;
    }
    const std::string folder = argv[1];
    const struct
    {
        const char* name;
        std::vector<float> samples;
    } sounds[] = {{"chime.wav", DemoSounds::Chime()}, {"loop.wav", DemoSounds::Loop()}, {"click.wav", DemoSounds::Click()},
                 {"menuClick.wav", DemoSounds::MenuClick(0)}, {"objectClick.wav", DemoSounds::MenuClick(1)},
                 {"upClick.wav", DemoSounds::MenuClick(2)}, {"closeClick.wav", DemoSounds::MenuClick(3)}};
    for (const auto& sound : sounds)
    {
        std::string why;
        const std::string path = folder + "/" + sound.name;
        if (WavWriter::WriteMono16(path, sound.samples, DemoSounds::kRate, &why)) continue;
        std::fprintf(stderr, "vexamark-sounds: could not write %s: %s\n", path.c_str(), why.c_str());
        return 1;
    }
    return 0;
}
