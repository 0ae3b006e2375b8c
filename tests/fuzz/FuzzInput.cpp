#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{
std::string g_scratch;

void removeScratch()
{
    std::error_code error;
    if (!g_scratch.empty()) std::filesystem::remove_all(g_scratch, error);
}
}

namespace fuzz
{
const std::string& ScratchFolder()
{
    static const std::string folder = []() {
        const char* tmp = std::getenv("TMPDIR");
        std::filesystem::path path = std::filesystem::path(tmp && *tmp ? tmp : "/tmp") /
                                     ("vexamark-fuzz-" + std::to_string(getpid()));
        std::error_code error;
        std::filesystem::create_directories(path / "Data", error);
        std::filesystem::current_path(path, error);
        g_scratch = path.string();
        std::atexit(removeScratch);
        return path.string();
    }();
    return folder;
}

bool CopyFromWorkFolder(const std::string& relativePath)
{
#ifdef VEXAMARK_FUZZ_WORKDIR
    const std::filesystem::path to = std::filesystem::path(ScratchFolder()) / relativePath;
    std::error_code error;
    std::filesystem::create_directories(to.parent_path(), error);
    return std::filesystem::copy_file(std::filesystem::path(VEXAMARK_FUZZ_WORKDIR) / relativePath, to,
                                      std::filesystem::copy_options::overwrite_existing, error);
#else
    (void)relativePath;
    return false;
#endif
}

std::string WriteInput(const uint8_t* data, size_t size, const std::string& name)
{
    const std::string path = ScratchFolder() + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return "";
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written ? path : "";
}
}
