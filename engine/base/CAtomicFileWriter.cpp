#include "CAtomicFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

CAtomicFileWriter::~CAtomicFileWriter()
{
    Abandon();
}

bool CAtomicFileWriter::Fail(const std::string& what, int error)
{
    if (!m_failed) m_error = what + ": " + std::strerror(error);
    m_failed = true;
    return false;
}

bool CAtomicFileWriter::Begin(const std::string& path)
{
    Abandon();
    m_path = path;
    m_failed = false;
    m_error.clear();
    m_fd = ::open(TemporaryPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0) return Fail("cannot create " + TemporaryPath(path), errno);
    return true;
}

bool CAtomicFileWriter::Append(const void* data, size_t size)
{
    if (m_fd < 0 || m_failed) return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0)
    {
        const ssize_t n = ::write(m_fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail("cannot write " + TemporaryPath(m_path), n < 0 ? errno : ENOSPC);
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool CAtomicFileWriter::Commit()
{
    if (m_fd < 0) return false;
    if (!m_failed && m_durable && ::fsync(m_fd) != 0) Fail("cannot write " + TemporaryPath(m_path), errno);
    if (::close(m_fd) != 0) Fail("cannot write " + TemporaryPath(m_path), errno);
    m_fd = -1;
    const std::string temporary = TemporaryPath(m_path);
    if (!m_failed && std::rename(temporary.c_str(), m_path.c_str()) != 0) Fail("cannot replace " + m_path, errno);
    if (m_failed) std::remove(temporary.c_str());
    return !m_failed;
}

void CAtomicFileWriter::Abandon()
{
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
    std::remove(TemporaryPath(m_path).c_str());
}

bool CAtomicFileWriter::Write(const std::string& path, const void* data, size_t size, std::string* why, bool durable)
{
    CAtomicFileWriter writer;
    writer.SetDurable(durable);
    const bool ok = writer.Begin(path) && writer.Append(data, size) && writer.Commit();
    if (!ok && why) *why = writer.Error();
    return ok;
}
