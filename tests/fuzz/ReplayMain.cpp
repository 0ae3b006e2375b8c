// Runs a fuzz target over files, without the fuzzing engine: every file named
// on the command line and every file in a named folder, each once. The test
// suite runs each target this way over its seeds and the inputs of faults
// found before, so a mended fault stays mended in every build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace
{
bool runFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "replay: expected a readable input, found none at %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}
}

int main(int argc, char** argv)
{
    int ran = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i)
    {
        const std::filesystem::path path(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(path, error))
        {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path, error))
                if (entry.is_regular_file()) ok = runFile(entry.path()) && ok, ++ran;
        }
        else
            ok = runFile(path) && ok, ++ran;
    }
    std::printf("replay: %d inputs ran\n", ran);
    return ok && ran > 0 ? 0 : 1;
}
