#pragma once
#include <string>
#include <utility>

namespace vxt {

// Result of an operation on outside data (a file, a frame): ok, or one line
// saying what was expected and what was found. The core never logs; callers
// decide where the message goes.
class Status {
public:
    Status() = default;
    static Status success() { return Status(); }
    static Status failure(std::string message) {
        Status s;
        s.ok_ = false;
        s.message_ = std::move(message);
        return s;
    }
    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    // Empty when ok.
    const std::string& message() const { return message_; }

private:
    bool ok_ = true;
    std::string message_;
};

}  // namespace vxt
