#pragma once
// The background layer: one textured quad in its own orthographic projection
// showing the video stream, always at the far plane so it never hides content.

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Group>
#include <osg/MatrixTransform>
#include <osg/Projection>
#include <osg/ref_ptr>

class CVideoStream;

class VideoLayer : public osg::Group
{
public:
    /// Nothing is built until init. The stream is not owned: the video
    /// manager keeps it alive as long as the layer.
    VideoLayer(CVideoStream* stream, int layerDepth);
    VideoLayer();
    VideoLayer(const VideoLayer& other, const osg::CopyOp& op = osg::CopyOp::SHALLOW_COPY);

    osg::Object* cloneType() const override { return new VideoLayer(nullptr, 0); }
    osg::Object* clone(const osg::CopyOp&) const override { return new VideoLayer(); }
    bool isSameKindAs(const osg::Object* obj) const override { return dynamic_cast<const VideoLayer*>(obj) != nullptr; }
    const char* libraryName() const override { return "NULL"; }
    const char* className() const override { return "VideoLayer"; }

    /// Builds the projection, the quad and its state.
    void init();
    /// Binds the layer's own stream as its texture (the argument is not used).
    void ApplyVideo(CVideoStream* stream);
    void setLayerDepth(int depth);
    void setTransparency(float alpha);
    /// Rotation of the quad in radians about x, then y, then z.
    void SetRotation(float rx, float ry, float rz, int, int);
    void setImageSource(osg::Image* image);

    float getWidth() const { return m_width; }
    float getHeight() const { return m_height; }
    int getLayerDepth() const { return m_layerDepth; }
    float getTransparency() const { return m_transparency; }
    osg::Projection* getProjection() { return m_projection.get(); }
    osg::MatrixTransform* getTransform() { return m_transform.get(); }
    osg::Geometry* getGeometry() { return m_geometry.get(); }

protected:
    ~VideoLayer() override = default;

private:
    float m_width = 0.f, m_height = 0.f;  // pixels
    int m_layerDepth = 0;
    float m_transparency = -1.f;
    osg::ref_ptr<osg::Geometry> m_geometry;
    CVideoStream* m_stream = nullptr;
    osg::ref_ptr<osg::MatrixTransform> m_transform;
    osg::ref_ptr<osg::Projection> m_projection;
    osg::ref_ptr<osg::Geode> m_geode;
    osg::ref_ptr<osg::StateSet> m_stateSet;
};
