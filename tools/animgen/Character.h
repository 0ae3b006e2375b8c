#pragma once
// The demo character "walker" as data: a skeleton of thirteen bones, a body
// of boxes each skinned to one bone (the joints bend where the boxes meet),
// a texture atlas of skin, shirt, trousers and shoes, and three animations
// ("idle", "walk", "wave") as bone rotations over time.
//
// Units are millimetres in the marker's frame: z up, the figure stands on
// z = 0 and faces -y. Rotations are given as an axis and an angle in
// degrees in the usual right-handed sense; the Cal3D writer converts them.

#include <string>
#include <vector>

namespace walker
{
struct Vec3
{
    double x, y, z;
};

struct Bone
{
    std::string name;
    int parent;   // -1 for the root
    Vec3 joint;   // the bone's origin in model space (rest pose)
};

struct Box
{
    int bone;            // the bone every vertex follows
    Vec3 low, high;      // model-space corners in the rest pose
    double v0, v1;       // the band of the texture atlas it shows
};

struct Key
{
    double time;         // seconds
    Vec3 axis;           // rotation of the bone against its rest pose
    double degrees;
    Vec3 shift;          // movement of the bone against its rest place (root only)
};

struct Track
{
    int bone;
    std::vector<Key> keys;
};

struct Animation
{
    std::string name;
    double seconds;
    std::vector<Track> tracks;
};

const std::vector<Bone>& Bones();
const std::vector<Box>& Boxes();
const std::vector<Animation>& Animations();

/// The texture atlas, `size` x `size` RGB pixels, rows from the top.
std::vector<unsigned char> Atlas(int size);
}
