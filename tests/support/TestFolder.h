#pragma once
// A fresh temporary folder for one test, optionally filled with a copy of the
// prepared working folder; removed again when the test ends.

#include <string>

class TestFolder
{
public:
    /// An empty folder under the system's temporary folder.
    TestFolder();
    /// Removes the folder and everything in it.
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

    /// Copies the prepared working folder (Data, models, fonts...) into this
    /// one, as a fresh installation has it: the bundled settings, no log.
    void CopyWorkingFolder() const;

    static void WriteFile(const std::string& path, const std::string& text);
    static std::string ReadFile(const std::string& path);
    static bool Exists(const std::string& path);
    /// The engine settings file that ships with the content set.
    static std::string BundledSettings() { return ReadFile(VEXAMARK_TEST_BUNDLED_SETTINGS); }
    /// Makes the next replacing write of `path` meet a full disk: the
    /// temporary sibling it is written through becomes a link to /dev/full.
    /// Unlike permissions, this stops root too.
    static void MakeDiskFullFor(const std::string& path);

private:
    std::string m_path;
};

/// Changes the current folder for the lifetime of the object.
class ScopedCurrentFolder
{
public:
    explicit ScopedCurrentFolder(const std::string& path);
    ~ScopedCurrentFolder();

private:
    std::string m_previous;
};
