// The tag-file reader every content and settings file goes through: load,
// then walk it the ways the engine does (tag lookups, line by line, words,
// numbers, the rest of a line, jumps to lines).
#include "FuzzInput.h"

#include "COsgSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "input.dat");
    COsgSettings file;
    if (path.empty() || !file.Load(path)) return 0;
    if (file.FindFirst("<ENTITY>"))
        while (file.NextUnless("</ENTITY>"))
        {
            file.NextString();
            file.NextInt();
            file.NextFloat();
            file.RestOfLine();
        }
    for (size_t line : file.LinesStartingWith("<MODEL>"))
        if (file.GoToLine(line)) file.LineTokens(line);
    while (file.FindNext("<FILE>")) file.NextString();
    return 0;
}
