#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace vxtools {

bool AtomicFile::write(const std::string& path,
                       const std::function<bool(const std::string&, std::string&)>& writer,
                       std::string& error) {
    const std::string tmp = path + ".tmp-" + std::to_string(getpid());
    if (!writer(tmp, error)) {
        std::remove(tmp.c_str());
        return false;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

bool AtomicFile::writeBytes(const std::string& path, const std::string& bytes, std::string& error) {
    return write(path, [&](const std::string& tmp, std::string& err) {
        FILE* f = std::fopen(tmp.c_str(), "wb");
        if (!f) {
            err = "cannot write '" + path + "': " + std::strerror(errno);
            return false;
        }
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        const bool closed = std::fclose(f) == 0;
        if (!ok || !closed) err = "cannot write '" + path + "': disk full or I/O error";
        return ok && closed;
    }, error);
}

}  // namespace vxtools
