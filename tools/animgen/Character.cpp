#include "Character.h"

#include <cmath>

namespace walker
{
namespace
{
enum BoneId
{
    HIPS, SPINE, CHEST, NECK, HEAD, L_UPPER_ARM, L_FOREARM, R_UPPER_ARM, R_FOREARM, L_THIGH, L_SHIN, R_THIGH, R_SHIN
};

const Vec3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};
const Vec3 kStill{0, 0, 0};

// Texture bands (v from the bottom of the atlas).
const double kSkin0 = 0.75, kSkin1 = 1.0, kShirt0 = 0.5, kShirt1 = 0.75, kTrousers0 = 0.25, kTrousers1 = 0.5,
             kShoes0 = 0.0, kShoes1 = 0.25;

// A swing of `degrees` about `axis` with `keys` keys over `seconds`,
// starting at `phase` (fraction of the period); the first and last keys
// are equal so the animation loops without a jump.
Track swing(int bone, Vec3 axis, double degrees, double seconds, double phase, int keys = 8,
            double bias = 0.0, double lift = 0.0)
{
    Track track{bone, {}};
    for (int k = 0; k <= keys; ++k)
    {
        const double t = seconds * k / keys;
        const double s = std::sin(2 * M_PI * (double(k) / keys + phase));
        track.keys.push_back({t, axis, bias + degrees * s, {0, 0, lift * std::fabs(s)}});
    }
    return track;
}

Track hold(int bone, Vec3 axis, double degrees, double seconds)
{
    return Track{bone, {{0, axis, degrees, kStill}, {seconds, axis, degrees, kStill}}};
}

Animation idle()
{
    const double s = 2.0;
    return {"idle", s,
            {swing(SPINE, kX, 3, s, 0), swing(HEAD, kZ, 12, s, 0.25), swing(L_UPPER_ARM, kY, 5, s, 0, 8, 6),
             swing(R_UPPER_ARM, kY, 5, s, 0.5, 8, -6), swing(HIPS, kZ, 0, s, 0, 8, 0, 0.6)}};
}

Animation walk()
{
    const double s = 1.0;
    return {"walk", s,
            {swing(L_THIGH, kX, 28, s, 0), swing(R_THIGH, kX, 28, s, 0.5), swing(L_SHIN, kX, 15, s, 0.25, 8, -15),
             swing(R_SHIN, kX, 15, s, 0.75, 8, -15), swing(L_UPPER_ARM, kX, 24, s, 0.5),
             swing(R_UPPER_ARM, kX, 24, s, 0), swing(L_FOREARM, kX, 10, s, 0.5, 8, 15),
             swing(R_FOREARM, kX, 10, s, 0, 8, 15), swing(HIPS, kZ, 0, s, 0, 8, 0, 2.0),
             swing(CHEST, kZ, 6, s, 0)}};
}

Animation wave()
{
    const double s = 2.0;
    // The right arm goes up at the side of the head and the forearm waves.
    Track upper{R_UPPER_ARM, {{0, kY, 0, kStill}, {0.4, kY, -150, kStill}, {1.6, kY, -150, kStill}, {2.0, kY, 0, kStill}}};
    Track fore{R_FOREARM, {{0, kY, 0, kStill}, {0.4, kY, 0, kStill}}};
    for (int k = 1; k <= 6; ++k) fore.keys.push_back({0.4 + 0.2 * k, kY, (k % 2) ? 35.0 : -35.0, kStill});
    fore.keys.push_back({2.0, kY, 0, kStill});
    return {"wave", s, {upper, fore, swing(HEAD, kZ, 8, s, 0, 4), hold(L_UPPER_ARM, kY, 6, s)}};
}
}

const std::vector<Bone>& Bones()
{
    static const std::vector<Bone> bones = {
        {"hips", -1, {0, 0, 40}},           {"spine", HIPS, {0, 0, 50}},
        {"chest", SPINE, {0, 0, 62}},       {"neck", CHEST, {0, 0, 75}},
        {"head", NECK, {0, 0, 80}},         {"l_upper_arm", CHEST, {-12, 0, 73}},
        {"l_forearm", L_UPPER_ARM, {-12, 0, 60}}, {"r_upper_arm", CHEST, {12, 0, 73}},
        {"r_forearm", R_UPPER_ARM, {12, 0, 60}},  {"l_thigh", HIPS, {-5, 0, 40}},
        {"l_shin", L_THIGH, {-5, 0, 21}},   {"r_thigh", HIPS, {5, 0, 40}},
        {"r_shin", R_THIGH, {5, 0, 21}}};
    return bones;
}

const std::vector<Box>& Boxes()
{
    static const std::vector<Box> boxes = {
        {HIPS, {-8, -4, 36}, {8, 4, 50}, kTrousers0, kTrousers1},
        {SPINE, {-8.5, -4.5, 50}, {8.5, 4.5, 62}, kShirt0, kShirt1},
        {CHEST, {-10, -5, 62}, {10, 5, 75}, kShirt0, kShirt1},
        {NECK, {-2.5, -2.5, 75}, {2.5, 2.5, 80}, kSkin0, kSkin1},
        {HEAD, {-6, -6, 80}, {6, 6, 93}, kSkin0, kSkin1},
        {L_UPPER_ARM, {-14.5, -2.5, 60}, {-9.5, 2.5, 74}, kShirt0, kShirt1},
        {L_FOREARM, {-14, -2, 47}, {-10, 2, 60}, kSkin0, kSkin1},
        {R_UPPER_ARM, {9.5, -2.5, 60}, {14.5, 2.5, 74}, kShirt0, kShirt1},
        {R_FOREARM, {10, -2, 47}, {14, 2, 60}, kSkin0, kSkin1},
        {L_THIGH, {-8, -3, 21}, {-2, 3, 40}, kTrousers0, kTrousers1},
        {L_SHIN, {-7.5, -2.5, 4}, {-2.5, 2.5, 21}, kTrousers0, kTrousers1},
        {L_SHIN, {-8, -7, 0}, {-2, 3, 4}, kShoes0, kShoes1},
        {R_THIGH, {2, -3, 21}, {8, 3, 40}, kTrousers0, kTrousers1},
        {R_SHIN, {2.5, -2.5, 4}, {7.5, 2.5, 21}, kTrousers0, kTrousers1},
        {R_SHIN, {2, -7, 0}, {8, 3, 4}, kShoes0, kShoes1}};
    return boxes;
}

const std::vector<Animation>& Animations()
{
    static const std::vector<Animation> animations = {idle(), walk(), wave()};
    return animations;
}

std::vector<unsigned char> Atlas(int size)
{
    std::vector<unsigned char> rgb(size_t(size) * size * 3);
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col)
        {
            const double v = 1.0 - (row + 0.5) / size, u = (col + 0.5) / size;
            unsigned char r, g, b;
            if (v >= kSkin0)  // skin, with two eyes in the middle of the band
            {
                r = 236, g = 188, b = 150;
                const double dv = v - (kSkin0 + 0.6 * (kSkin1 - kSkin0));
                if (std::fabs(dv) < 0.03 && (std::fabs(u - 0.38) < 0.05 || std::fabs(u - 0.62) < 0.05)) r = g = b = 30;
            }
            else if (v >= kShirt0)  // a red shirt with white stripes
            {
                const bool stripe = int((v - kShirt0) * size / 3) % 3 == 0;
                r = stripe ? 240 : 200, g = stripe ? 240 : 40, b = stripe ? 240 : 40;
            }
            else if (v >= kTrousers0) r = 40, g = 70, b = 170;  // blue trousers
            else r = g = b = 45;                                 // dark shoes
            unsigned char* p = &rgb[(size_t(row) * size + col) * 3];
            p[0] = r, p[1] = g, p[2] = b;
        }
    return rgb;
}
}
