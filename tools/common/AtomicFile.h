#pragma once
// Writes a user file without ever leaving it half-written: the content goes to a
// temporary sibling ("NAME.tmp-PID") which is renamed over the target only when
// the writer reports success. On failure the temporary is removed and the old
// target (if any) is untouched.

#include <functional>
#include <string>

namespace vxtools {

class AtomicFile {
public:
    // `writer` receives the temporary path, writes the whole file there and returns
    // true on success, or false with `error` set. Returns true when `path` now holds
    // the new content; otherwise false with one line in `error`.
    static bool write(const std::string& path,
                      const std::function<bool(const std::string& tmpPath, std::string& error)>& writer,
                      std::string& error);

    // Convenience: writes `bytes` to `path` through write().
    static bool writeBytes(const std::string& path, const std::string& bytes, std::string& error);
};

}  // namespace vxtools
