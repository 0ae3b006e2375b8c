#include "Scorecard.h"

#include <algorithm>
#include <cmath>

namespace peerbench
{
namespace
{
double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

void centreAndSide(const double c[4][2], double centre[2], double& side)
{
    centre[0] = centre[1] = side = 0;
    for (int k = 0; k < 4; ++k)
    {
        centre[0] += 0.25 * c[k][0];
        centre[1] += 0.25 * c[k][1];
        side += 0.25 * std::hypot(c[k][0] - c[(k + 1) % 4][0], c[k][1] - c[(k + 1) % 4][1]);
    }
}
}

void Scorecard::addAllocations(const AllocationCount& delta)
{
    m_alloc.news += delta.news;
    m_alloc.mallocs += delta.mallocs;
    ++m_allocFrames;
}

void Scorecard::addFrame(const std::vector<TruthMarker>& truth, const Detection* found, int count)
{
    ++m_frames;
    std::vector<bool> taken(truth.size(), false);
    for (const TruthMarker& t : truth) m_visible += t.visible ? 1 : 0;
    for (int i = 0; i < count; ++i)
    {
        const Detection& d = found[i];
        const bool known = d.id >= 0 && d.id < static_cast<int>(truth.size());
        if (!known || !truth[static_cast<size_t>(d.id)].visible || taken[static_cast<size_t>(d.id)])
        {
            ++m_false;
            continue;
        }
        const TruthMarker& t = truth[static_cast<size_t>(d.id)];
        double tc[2], dc[2], side, dside;
        centreAndSide(t.corner, tc, side);
        centreAndSide(d.corner, dc, dside);
        if (std::hypot(tc[0] - dc[0], tc[1] - dc[1]) > 0.3 * side)
        {
            ++m_false;
            continue;
        }
        taken[static_cast<size_t>(d.id)] = true;
        ++m_hits;
        for (int k = 0; k < 4; ++k)
        {
            const double e = std::hypot(d.corner[k][0] - t.corner[k][0], d.corner[k][1] - t.corner[k][1]);
            m_cornerSum += e;
            m_dx += d.corner[k][0] - t.corner[k][0];
            m_dy += d.corner[k][1] - t.corner[k][1];
            m_cornerSq += e * e;
            ++m_corners;
        }
        if (d.hasPose)
        {
            const double dist = std::sqrt(t.t[0] * t.t[0] + t.t[1] * t.t[1] + t.t[2] * t.t[2]);
            const double err = std::sqrt((d.t[0] - t.t[0]) * (d.t[0] - t.t[0]) + (d.t[1] - t.t[1]) * (d.t[1] - t.t[1]) +
                                         (d.t[2] - t.t[2]) * (d.t[2] - t.t[2]));
            m_translation.push_back(100.0 * err / dist);
        }
    }
}

ScoreSummary Scorecard::summary() const
{
    ScoreSummary s;
    std::vector<double> roundMedians;
    for (const std::vector<double>& r : m_times)
        if (!r.empty()) roundMedians.push_back(median(r));
    s.msMedian = median(roundMedians);
    if (!roundMedians.empty())
        s.msSpread = *std::max_element(roundMedians.begin(), roundMedians.end()) -
                     *std::min_element(roundMedians.begin(), roundMedians.end());
    s.visible = m_visible;
    s.detectionRate = m_visible ? static_cast<double>(m_hits) / m_visible : 0;
    s.falsePerFrame = m_frames ? static_cast<double>(m_false) / m_frames : 0;
    s.cornerMean = m_corners ? m_cornerSum / m_corners : 0;
    s.biasX = m_corners ? m_dx / m_corners : 0;
    s.biasY = m_corners ? m_dy / m_corners : 0;
    s.cornerRms = m_corners ? std::sqrt(m_cornerSq / m_corners) : 0;
    s.translationMedian = median(m_translation);
    s.newsPerFrame = m_allocFrames ? static_cast<double>(m_alloc.news) / m_allocFrames : 0;
    s.mallocsPerFrame = m_allocFrames ? static_cast<double>(m_alloc.mallocs) / m_allocFrames : 0;
    return s;
}
}
