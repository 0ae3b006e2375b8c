#include "CBatchProgress.h"

namespace
{
const double kShowEvery = 0.25;  // seconds between two updates of the line
}

void CBatchProgress::Begin(int64_t total, std::FILE* out, bool enabled)
{
    m_total = total > 0 ? total : 0;
    m_out = out;
    m_enabled = enabled && out;
    m_begun = true;
    m_done = 0;
    m_start = m_lastShown = -1.0;
}

std::string CBatchProgress::Line(int64_t done, int64_t total, double elapsed)
{
    const double rate = elapsed > 0.0 ? done / elapsed : 0.0;
    char text[160];
    if (total > 0)
    {
        const double left = rate > 0.0 && done < total ? (total - done) / rate : 0.0;
        std::snprintf(text, sizeof(text), "frame %lld of %lld (%.0f %%), %.1f frames/s, %d:%02d left",
                      static_cast<long long>(done), static_cast<long long>(total), 100.0 * done / total, rate,
                      static_cast<int>(left) / 60, static_cast<int>(left) % 60);
    }
    else
        std::snprintf(text, sizeof(text), "frame %lld, %.1f frames/s", static_cast<long long>(done), rate);
    return text;
}

void CBatchProgress::Show(double seconds)
{
    // Blanks after the text wipe what a longer earlier line left behind.
    std::fprintf(m_out, "\r%s   ", Line(m_done, m_total, seconds - m_start).c_str());
    std::fflush(m_out);
    m_lastShown = seconds;
}

void CBatchProgress::Step(double seconds)
{
    if (!m_begun) return;
    if (m_start < 0.0) m_start = seconds;
    ++m_done;
    if (m_enabled && (m_lastShown < 0.0 || seconds - m_lastShown >= kShowEvery)) Show(seconds);
}

void CBatchProgress::End(double seconds)
{
    if (!m_begun) return;
    m_begun = false;
    if (!m_enabled || m_start < 0.0) return;
    Show(seconds);
    std::fputc('\n', m_out);
    std::fflush(m_out);
}
