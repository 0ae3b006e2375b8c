#include "CVideoEntity.h"

#include "CColourKey.h"
#include "COsgSettings.h"
#include "CTagBlock.h"

#include <osg/Geode>
#include <osg/Geometry>

#include <sstream>

namespace
{
std::string number(float value)
{
    std::ostringstream text;
    text << value;  // as the tag-file writer writes numbers
    return text.str();
}

// A clip's picture, or grey where there is none.
osg::Geometry* plane(float halfWidth)
{
    osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
    corners->push_back(osg::Vec3f(-halfWidth, -1.f, 0.f));
    corners->push_back(osg::Vec3f(halfWidth, -1.f, 0.f));
    corners->push_back(osg::Vec3f(halfWidth, 1.f, 0.f));
    corners->push_back(osg::Vec3f(-halfWidth, 1.f, 0.f));
    // The picture's first row is its top: t runs down the plane.
    osg::ref_ptr<osg::Vec2Array> coords = new osg::Vec2Array;
    coords->push_back(osg::Vec2f(0.f, 1.f));
    coords->push_back(osg::Vec2f(1.f, 1.f));
    coords->push_back(osg::Vec2f(1.f, 0.f));
    coords->push_back(osg::Vec2f(0.f, 0.f));
    osg::ref_ptr<osg::Vec3Array> normal = new osg::Vec3Array;
    normal->push_back(osg::Vec3f(0.f, 0.f, 1.f));
    osg::ref_ptr<osg::Vec4Array> colour = new osg::Vec4Array;
    colour->push_back(osg::Vec4f(1.f, 1.f, 1.f, 1.f));
    osg::Geometry* geometry = new osg::Geometry;
    geometry->setVertexArray(corners.get());
    geometry->setTexCoordArray(0, coords.get());
    geometry->setNormalArray(normal.get(), osg::Array::BIND_OVERALL);
    geometry->setColorArray(colour.get(), osg::Array::BIND_OVERALL);
    geometry->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    return geometry;
}
}

CVideoEntity* CVideoEntity::Read(COsgSettings& reader, const std::vector<std::string>& stops)
{
    Settings settings;
    for (;;)
    {
        const CTagBlock::Step step = CTagBlock::Next(reader, "</VIDEO>", stops);
        if (step == CTagBlock::CLOSED) break;
        if (step == CTagBlock::UNCLOSED)
        {
            CTagBlock::Print("Warning! <VIDEO> block is not closed by </VIDEO>; it ends here");
            break;
        }
        ReadLine(reader, reader.NextString(), settings);
    }
    if (settings.file.empty()) CTagBlock::Print("Warning! <VIDEO> block has no <FILE>; the plane stays grey");
    return new CVideoEntity(settings);
}

void CVideoEntity::ReadLine(COsgSettings& reader, const std::string& tag, Settings& settings)
{
    if (tag == "<FILE>") settings.file = reader.NextString();
    else if (tag == "<SCALE>")
    {
        const int scale = CTagBlock::Integer(reader, tag);
        if (scale > 0) settings.scale = scale;
        else CTagBlock::Print("Warning! <SCALE> expects a positive size, found " + std::to_string(scale) + "; using 40");
    }
    else if (tag == "<TYPE>") settings.type = CTagBlock::Integer(reader, tag);
    else if (tag == "<TRANSPORT>")
    {
        const std::string word = reader.NextString();
        if (word == "LOOP" || word == "PLAY")
            settings.transport = word == "PLAY" ? CVideoPlayback::TRANSPORT_PLAY : CVideoPlayback::TRANSPORT_LOOP;
        else
            CTagBlock::Print("Warning! <TRANSPORT> expects LOOP or PLAY, found \"" + word + "\"; the video loops");
    }
    else if (tag == "<BLEND>")
    {
        const std::vector<double> v = CTagBlock::Numbers(reader, tag, 4);
        settings.blend = true;
        settings.keyColour = osg::Vec3f(float(v[0]), float(v[1]), float(v[2]));
        settings.tolerance = float(v[3]);
    }
}

CVideoEntity::CVideoEntity(const Settings& settings, bool withSound) : m_settings(settings)
{
    m_playback.SetTransport(m_settings.transport);
    if (!m_settings.file.empty()) m_playback.Open(m_settings.file, false, false, withSound);
    BuildPlane();
}

void CVideoEntity::BuildPlane()
{
    CMJVidStream* stream = m_playback.IsValid() ? m_playback.GetStream() : nullptr;
    m_halfWidth = 1.f;
    if (m_settings.type == 0)
        m_halfWidth = stream ? float(stream->FrameWidth()) / float(stream->FrameHeight()) : 4.f / 3.f;
    osg::Geode* geode = new osg::Geode;
    geode->setName("VideoPlane");
    geode->addDrawable(plane(m_halfWidth));
    m_node = new osg::MatrixTransform(osg::Matrixd::scale(m_settings.scale, m_settings.scale, m_settings.scale));
    m_node->setName("Video");
    m_node->addChild(geode);
    osg::StateSet* state = geode->getOrCreateStateSet();
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    if (!stream)
    {
        osg::Vec4Array* grey = static_cast<osg::Vec4Array*>(geode->getDrawable(0)->asGeometry()->getColorArray());
        (*grey)[0] = osg::Vec4f(0.5f, 0.5f, 0.5f, 1.f);
        return;
    }
    CVideoStream::ApplyVideoTexture(state, stream, false, 0);
    if (m_settings.blend) CColourKey::Apply(state, m_settings.keyColour, m_settings.tolerance, false, 0);
}

void CVideoEntity::update(float seconds, const MarkerState& state)
{
    m_playback.Update(state);
}

void CVideoEntity::CleanUp()
{
    m_playback.Release();
}

char* CVideoEntity::GetDescription()
{
    char* text = new char[256];
    text[0] = '\0';
    return text;
}

void CVideoEntity::Save(COsgSettings& writer)
{
    writer.WriteIndent();
    writer.WriteLine("<VIDEO>");
    writer.Indent();
    const std::pair<const char*, std::string> lines[] = {
        {"<FILE>", m_settings.file},
        {"<SCALE>", std::to_string(m_settings.scale)},
        {"<TRANSPORT>", m_settings.transport == CVideoPlayback::TRANSPORT_PLAY ? "PLAY" : "LOOP"},
        {"<TYPE>", std::to_string(m_settings.type)}};
    for (const auto& line : lines)
    {
        if (line.second.empty()) continue;  // an empty value would not read back
        writer.WriteIndent();
        writer.WriteTag(line.first);
        writer.WriteString(line.second);
    }
    if (m_settings.blend)
    {
        writer.WriteIndent();
        writer.WriteTag("<BLEND>");
        writer.WriteString(number(m_settings.keyColour.x()) + " " + number(m_settings.keyColour.y()) + " " +
                           number(m_settings.keyColour.z()) + " " + number(m_settings.tolerance));
    }
    writer.Unindent();
    writer.WriteIndent();
    writer.WriteLine("</VIDEO>");
}
