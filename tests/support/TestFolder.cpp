#include "TestFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

TestFolder::TestFolder()
{
    std::string pattern = (fs::temp_directory_path() / "vexamark-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("TestFolder: mkdtemp failed");
    m_path = pattern;
}

TestFolder::~TestFolder()
{
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

void TestFolder::CopyWorkingFolder() const
{
    fs::copy(VEXAMARK_TEST_WORKDIR, m_path, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // A run in the prepared folder may have left its own files behind: the
    // copy is made as a fresh installation has it.
    std::error_code ignored;
    fs::remove(fs::path(m_path) / "Data/messageLog.txt", ignored);
    fs::copy_file(VEXAMARK_TEST_BUNDLED_SETTINGS, fs::path(m_path) / "Data/VexaSettings.tsf",
                  fs::copy_options::overwrite_existing);
}

void TestFolder::WriteFile(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string TestFolder::ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool TestFolder::Exists(const std::string& path)
{
    return fs::exists(path);
}

void TestFolder::MakeDiskFullFor(const std::string& path)
{
    const std::string temporary = path + ".tmp~";
    std::error_code ignored;
    fs::remove(temporary, ignored);
    fs::create_symlink("/dev/full", temporary);
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& path) : m_previous(fs::current_path().string())
{
    fs::current_path(path);
}

ScopedCurrentFolder::~ScopedCurrentFolder()
{
    std::error_code ignored;
    fs::current_path(m_previous, ignored);
}
