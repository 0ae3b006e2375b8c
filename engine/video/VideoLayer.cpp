#include "VideoLayer.h"

#include "CVideoStream.h"

#include <osg/BlendFunc>
#include <osg/Depth>

VideoLayer::VideoLayer(CVideoStream* stream, int layerDepth) : m_layerDepth(layerDepth), m_stream(stream)
{
    if (stream)
    {
        m_width = static_cast<float>(stream->s());
        m_height = static_cast<float>(stream->t());
    }
}

VideoLayer::VideoLayer() = default;

VideoLayer::VideoLayer(const VideoLayer& other, const osg::CopyOp& op) : osg::Group(other, op) {}

void VideoLayer::init()
{
    const int hw = static_cast<int>(m_width * 0.5f);
    const int hh = static_cast<int>(m_height * 0.5f);
    m_projection = new osg::Projection(osg::Matrixd::ortho2D(-hw, hw, -hh, hh));
    m_transform = new osg::MatrixTransform;
    m_transform->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    m_projection->addChild(m_transform.get());

    osg::ref_ptr<osg::Group> inner = new osg::Group;
    m_stateSet = new osg::StateSet;
    inner->setStateSet(m_stateSet.get());
    setLayerDepth(m_layerDepth);
    m_stateSet->setAttribute(new osg::Depth(osg::Depth::ALWAYS, 1.0, 1.0, true));
    m_transform->addChild(inner.get());

    m_geometry = new osg::Geometry;
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    vertices->push_back(osg::Vec3(-hw, -hh, 0.f));
    vertices->push_back(osg::Vec3(hw, -hh, 0.f));
    vertices->push_back(osg::Vec3(hw, hh, 0.f));
    vertices->push_back(osg::Vec3(-hw, hh, 0.f));
    m_geometry->setVertexArray(vertices.get());
    // The first image row is the top of the picture.
    osg::ref_ptr<osg::Vec2Array> texCoords = new osg::Vec2Array;
    texCoords->push_back(osg::Vec2(0.f, 1.f));
    texCoords->push_back(osg::Vec2(1.f, 1.f));
    texCoords->push_back(osg::Vec2(1.f, 0.f));
    texCoords->push_back(osg::Vec2(0.f, 0.f));
    m_geometry->setTexCoordArray(0, texCoords.get());
    osg::ref_ptr<osg::Vec4Array> colours = new osg::Vec4Array;
    colours->push_back(osg::Vec4(1.f, 1.f, 1.f, 1.f));
    m_geometry->setColorArray(colours.get(), osg::Array::BIND_OVERALL);
    m_geometry->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    m_geode = new osg::Geode;
    m_geode->addDrawable(m_geometry.get());

    osg::StateSet* own = getOrCreateStateSet();
    CVideoStream::ApplyVideoTexture(own, m_stream, false, 0);
    own->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    inner->addChild(m_geode.get());
    addChild(m_projection.get());
}

void VideoLayer::ApplyVideo(CVideoStream*)
{
    CVideoStream::ApplyVideoTexture(getOrCreateStateSet(), m_stream, false, 0);
}

void VideoLayer::setLayerDepth(int depth)
{
    m_layerDepth = depth;
    if (m_stateSet.valid())
        m_stateSet->setRenderBinDetails(depth, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
}

void VideoLayer::setTransparency(float alpha)
{
    m_transparency = alpha;
    if (!m_geometry.valid()) return;
    if (alpha < 1.0f)
    {
        osg::StateSet* state = m_geometry->getOrCreateStateSet();
        state->setAttributeAndModes(new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
        state->setMode(GL_BLEND, osg::StateAttribute::ON);
        state->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
    }
    osg::ref_ptr<osg::Vec4Array> colours = new osg::Vec4Array;
    colours->push_back(osg::Vec4(1.f, 1.f, 1.f, alpha));
    m_geometry->setColorArray(colours.get(), osg::Array::BIND_OVERALL);
}

void VideoLayer::SetRotation(float rx, float ry, float rz, int, int)
{
    if (!m_transform.valid()) return;
    m_transform->setMatrix(osg::Matrix::rotate(rx, osg::X_AXIS) * osg::Matrix::rotate(ry, osg::Y_AXIS) *
                           osg::Matrix::rotate(rz, osg::Z_AXIS));
}

void VideoLayer::setImageSource(osg::Image* image)
{
    m_width = image ? static_cast<float>(image->s()) : 0.f;
    m_height = image ? static_cast<float>(image->t()) : 0.f;
}
