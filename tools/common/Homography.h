#pragma once
// A plane-to-plane projective map (3 x 3, row-major), used to map card coordinates
// to image coordinates and back.

#include <array>

namespace vxtools {

class Homography {
public:
    Homography();  // identity
    explicit Homography(const std::array<double, 9>& m) : m_(m) {}

    // The map taking src[k] to dst[k] for the four point pairs (x, y).
    // Returns false when the points are degenerate (three in a line).
    static bool fromQuad(const double src[4][2], const double dst[4][2], Homography& out);

    Homography inverse() const;
    Homography operator*(const Homography& o) const;

    // Maps (x, y); returns false when the point maps to infinity (w ~ 0).
    // Inline: the renderer calls it for every sample.
    bool apply(double x, double y, double& ox, double& oy) const {
        const double w = m_[6] * x + m_[7] * y + m_[8];
        if (w > -1e-15 && w < 1e-15) return false;
        ox = (m_[0] * x + m_[1] * y + m_[2]) / w;
        oy = (m_[3] * x + m_[4] * y + m_[5]) / w;
        return true;
    }

    const std::array<double, 9>& m() const { return m_; }

private:
    std::array<double, 9> m_;
};

}  // namespace vxtools
