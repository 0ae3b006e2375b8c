#pragma once
// The progress line of an unattended run on standard error: frames done (of
// how many, when that is known), frames per second and the time left,
// rewritten in place at most a few times a second. Silent when standard
// error is not a terminal, so logs and pipes get no carriage returns.

#include <cstdint>
#include <cstdio>
#include <string>

class CBatchProgress
{
public:
    /// `total` frames (0: unknown); `out` is where the line goes and
    /// `enabled` whether it is shown at all (normally: whether out is a terminal).
    void Begin(int64_t total, std::FILE* out, bool enabled);
    /// One more frame done at `seconds` (a monotonic clock).
    void Step(double seconds);
    /// Writes the last line and ends it.
    void End(double seconds);

    /// The line for `done` of `total` frames after `elapsed` seconds.
    static std::string Line(int64_t done, int64_t total, double elapsed);

    int64_t Done() const { return m_done; }

private:
    void Show(double seconds);

    std::FILE* m_out = nullptr;
    bool m_enabled = false;
    bool m_begun = false;
    int64_t m_total = 0, m_done = 0;
    double m_start = -1.0, m_lastShown = -1.0;
};
