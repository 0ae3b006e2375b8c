// The content set as the content manager loads it: the input is both the
// content list (its <DAT> block's <ASSET_FILE> lines) and the one data file
// a fixed list names, so its markers (with the bundled patterns and camera
// file), entities and object groups are read, and objects bound to markers
// by name and by group.
#include "FuzzInput.h"

#include "CObjectManager.h"

#include <cstdio>

namespace
{
const char* const kList = "list.dat";

// Writes the fixed content list and copies what the bundled markers name.
bool prepare()
{
    for (const char* file : {"Data/camera_para.dat", "Data/corvane.patt", "Data/glyph-f.patt", "Data/arrow.patt",
                             "Data/sail.patt"})
        fuzz::CopyFromWorkFolder(file);
    const std::string text = "<DAT>\n<ASSET_FILE> content.dat\n</DAT>\n";
    return !fuzz::WriteInput(reinterpret_cast<const uint8_t*>(text.data()), text.size(), kList).empty();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    static const bool prepared = prepare();
    const std::string path = fuzz::WriteInput(data, size, "content.dat");
    if (!prepared || path.empty()) return 0;
    CObjectManager manager;
    manager.GetFileList("models", path, false);
    manager.InitNewTricks(0, "models", 640, 480, 800, 600, nullptr, kList, false);
    manager.CleanUp();
    return 0;
}
