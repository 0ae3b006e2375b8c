#pragma once
// Writes a whole file so that it is either the old file or the complete new
// one, never half of each: the bytes go to a temporary sibling
// ("<path>.tmp~", same folder, so the rename stays on one file system), are
// flushed to the disk, and only then replace the file. Every settings, content
// and capture file the engine writes passes through here.
//
// One writer writes one file: Begin, any number of Append, then Commit (or
// Abandon; the destructor abandons an unfinished file).

#include <cstddef>
#include <string>

class CAtomicFileWriter
{
public:
    CAtomicFileWriter() = default;
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    /// Creates the temporary sibling of `path`; false (with Error()) when it
    /// cannot be created, for example because the folder cannot be written.
    bool Begin(const std::string& path);
    /// Adds bytes; false once any write has failed.
    bool Append(const void* data, size_t size);
    bool Append(const std::string& bytes) { return Append(bytes.data(), bytes.size()); }
    /// Flushes the bytes to the disk and replaces the file. False when any
    /// step failed: the old file is then untouched and the temporary removed.
    bool Commit();
    /// Drops what was written; the old file stays.
    void Abandon();
    /// With durable writes (the default) Commit waits until the bytes are on
    /// the disk, so even a power cut leaves the old or the new file. Files
    /// written many times a second (a capture sequence) may skip that wait:
    /// a crash of the program still never leaves half a file.
    void SetDurable(bool durable) { m_durable = durable; }
    bool IsOpen() const { return m_fd >= 0; }
    /// What failed, in one line ("cannot write Data/x.tsf.tmp~: No space left on device").
    const std::string& Error() const { return m_error; }

    /// Replaces `path` with `size` bytes from `data` in one call; on failure
    /// `why` (when given) holds Error().
    static bool Write(const std::string& path, const void* data, size_t size, std::string* why = nullptr,
                      bool durable = true);
    static bool Write(const std::string& path, const std::string& bytes, std::string* why = nullptr,
                      bool durable = true)
    {
        return Write(path, bytes.data(), bytes.size(), why, durable);
    }

    /// The temporary sibling used while `path` is written.
    static std::string TemporaryPath(const std::string& path) { return path + ".tmp~"; }

private:
    bool Fail(const std::string& what, int error);

    int m_fd = -1;
    bool m_failed = false;
    bool m_durable = true;
    std::string m_path;
    std::string m_error;
};
