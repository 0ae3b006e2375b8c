#include "CalXmlWriter.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace calxml
{
namespace
{
using walker::Vec3;

std::string vec(const Vec3& v)
{
    std::ostringstream text;
    text << v.x << " " << v.y << " " << v.z;
    return text.str();
}

// The Cal3D quaternion (x y z w) for a turn of `degrees` about `axis`.
std::string rotation(const Vec3& axis, double degrees)
{
    const double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    const double half = degrees * M_PI / 360.0;
    const double s = length > 0 ? -std::sin(half) / length : 0.0;  // conjugated
    std::ostringstream text;
    text << axis.x * s << " " << axis.y * s << " " << axis.z * s << " " << std::cos(half);
    return text.str();
}

Vec3 restTranslation(int bone)
{
    const walker::Bone& b = walker::Bones()[size_t(bone)];
    if (b.parent < 0) return b.joint;
    const Vec3& p = walker::Bones()[size_t(b.parent)].joint;
    return {b.joint.x - p.x, b.joint.y - p.y, b.joint.z - p.z};
}

bool save(const std::string& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
    return bool(out.flush());
}

struct Vertex
{
    Vec3 position, normal;
    double u, v;
    int bone;
};

// The 24 vertices (4 per face, each face with its own normal) and 12
// triangles of a box, counter-clockwise seen from outside.
void addBox(const walker::Box& box, std::vector<Vertex>& vertices, std::vector<int>& faces)
{
    const Vec3& l = box.low;
    const Vec3& h = box.high;
    struct Face
    {
        Vec3 normal;
        Vec3 corners[4];
    };
    const Face sides[6] = {
        {{0, -1, 0}, {{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, l.y, h.z}, {l.x, l.y, h.z}}},  // front
        {{0, 1, 0}, {{h.x, h.y, l.z}, {l.x, h.y, l.z}, {l.x, h.y, h.z}, {h.x, h.y, h.z}}},   // back
        {{1, 0, 0}, {{h.x, l.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {h.x, l.y, h.z}}},   // right
        {{-1, 0, 0}, {{l.x, h.y, l.z}, {l.x, l.y, l.z}, {l.x, l.y, h.z}, {l.x, h.y, h.z}}},  // left
        {{0, 0, 1}, {{l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}}},   // top
        {{0, 0, -1}, {{l.x, h.y, l.z}, {h.x, h.y, l.z}, {h.x, l.y, l.z}, {l.x, l.y, l.z}}}}; // bottom
    for (int side = 0; side < 6; ++side)
    {
        // The front shows the left half of the band (the face on the head),
        // the other sides its right half.
        const double u0 = side == 0 ? 0.0 : 0.5, u1 = side == 0 ? 1.0 : 1.0;
        const double us[4] = {u0, u1, u1, u0}, vs[4] = {box.v0, box.v0, box.v1, box.v1};
        const int first = int(vertices.size());
        for (int c = 0; c < 4; ++c)
            vertices.push_back({sides[side].corners[c], sides[side].normal, us[c], vs[c], box.bone});
        const int order[6] = {0, 1, 2, 0, 2, 3};
        for (int i : order) faces.push_back(first + i);
    }
}
}

bool WriteSkeleton(const std::string& file)
{
    const std::vector<walker::Bone>& bones = walker::Bones();
    std::ostringstream x;
    x << "<HEADER MAGIC=\"XSF\" VERSION=\"919\" />\n<SKELETON NUMBONES=\"" << bones.size() << "\">\n";
    for (size_t i = 0; i < bones.size(); ++i)
    {
        std::vector<size_t> children;
        for (size_t c = 0; c < bones.size(); ++c)
            if (bones[c].parent == int(i)) children.push_back(c);
        const Vec3& j = bones[i].joint;
        x << "    <BONE ID=\"" << i << "\" NAME=\"" << bones[i].name << "\" NUMCHILDS=\"" << children.size() << "\">\n"
          << "        <TRANSLATION>" << vec(restTranslation(int(i))) << "</TRANSLATION>\n"
          << "        <ROTATION>0 0 0 1</ROTATION>\n"
          << "        <LOCALTRANSLATION>" << vec({-j.x, -j.y, -j.z}) << "</LOCALTRANSLATION>\n"
          << "        <LOCALROTATION>0 0 0 1</LOCALROTATION>\n"
          << "        <PARENTID>" << bones[i].parent << "</PARENTID>\n";
        for (size_t c : children) x << "        <CHILDID>" << c << "</CHILDID>\n";
        x << "    </BONE>\n";
    }
    x << "</SKELETON>\n";
    return save(file, x.str());
}

bool WriteMesh(const std::string& file)
{
    std::vector<Vertex> vertices;
    std::vector<int> faces;
    for (const walker::Box& box : walker::Boxes()) addBox(box, vertices, faces);
    std::ostringstream x;
    x << "<HEADER MAGIC=\"XMF\" VERSION=\"919\" />\n<MESH NUMSUBMESH=\"1\">\n"
      << "    <SUBMESH NUMVERTICES=\"" << vertices.size() << "\" NUMFACES=\"" << faces.size() / 3
      << "\" MATERIAL=\"0\" NUMLODSTEPS=\"0\" NUMSPRINGS=\"0\" NUMTEXCOORDS=\"1\">\n";
    for (size_t i = 0; i < vertices.size(); ++i)
    {
        const Vertex& v = vertices[i];
        x << "        <VERTEX ID=\"" << i << "\" NUMINFLUENCES=\"1\">\n"
          << "            <POS>" << vec(v.position) << "</POS>\n"
          << "            <NORM>" << vec(v.normal) << "</NORM>\n"
          << "            <TEXCOORD>" << v.u << " " << v.v << "</TEXCOORD>\n"
          << "            <INFLUENCE ID=\"" << v.bone << "\">1</INFLUENCE>\n"
          << "        </VERTEX>\n";
    }
    for (size_t f = 0; f < faces.size(); f += 3)
        x << "        <FACE VERTEXID=\"" << faces[f] << " " << faces[f + 1] << " " << faces[f + 2] << "\" />\n";
    x << "    </SUBMESH>\n</MESH>\n";
    return save(file, x.str());
}

bool WriteMaterial(const std::string& file, const std::string& textureName)
{
    std::ostringstream x;
    x << "<HEADER MAGIC=\"XRF\" VERSION=\"919\" />\n<MATERIAL NUMMAPS=\"1\">\n"
      << "    <AMBIENT>120 120 120 255</AMBIENT>\n    <DIFFUSE>255 255 255 255</DIFFUSE>\n"
      << "    <SPECULAR>40 40 40 255</SPECULAR>\n    <SHININESS>10</SHININESS>\n"
      << "    <MAP>" << textureName << "</MAP>\n</MATERIAL>\n";
    return save(file, x.str());
}

bool WriteAnimation(const std::string& file, const walker::Animation& animation)
{
    std::ostringstream x;
    x << "<HEADER MAGIC=\"XAF\" VERSION=\"919\" />\n<ANIMATION DURATION=\"" << animation.seconds << "\" NUMTRACKS=\""
      << animation.tracks.size() << "\">\n";
    for (const walker::Track& track : animation.tracks)
    {
        x << "    <TRACK BONEID=\"" << track.bone << "\" NUMKEYFRAMES=\"" << track.keys.size() << "\">\n";
        const Vec3 rest = restTranslation(track.bone);
        for (const walker::Key& key : track.keys)
            x << "        <KEYFRAME TIME=\"" << key.time << "\">\n"
              << "            <TRANSLATION>" << vec({rest.x + key.shift.x, rest.y + key.shift.y, rest.z + key.shift.z})
              << "</TRANSLATION>\n"
              << "            <ROTATION>" << rotation(key.axis, key.degrees) << "</ROTATION>\n"
              << "        </KEYFRAME>\n";
        x << "    </TRACK>\n";
    }
    x << "</ANIMATION>\n";
    return save(file, x.str());
}
}
