// The tracker's debug overlay, target square, pattern saving and
// undistortion mesh.
#include "SquareTracker.h"

#include "SquareTrackerPrivate.h"

#include "CMessageLog.h"
#include "CSaveFileDialog.h"

#include "vxt/CameraParams.h"
#include "vxt/Detector.h"
#include "vxt/MarkerInfo.h"

#include <osg/Depth>
#include <osg/Geode>
#include <osg/LineWidth>
#include <osg/MatrixTransform>
#include <osg/Projection>

namespace
{
const int kMeshCells = 20;        // grid cells per side
const float kMeshStep = 0.05f;    // 1 / kMeshCells
}

void SquareTracker::SetTargetMarker(const vxt::MarkerInfo* results, int count)
{
    m_target = nullptr;
    int best = 0;
    for (int i = 0; i < count; ++i)
        if (results[i].area > best)
        {
            best = results[i].area;
            m_target = &results[i];
        }
    if (!m_target || !m_outlineVertices.valid()) return;
    osg::Vec2f corners[4];
    GetOsgSPMarkerVecs(*m_target, corners);
    for (size_t k = 0; k < 4; ++k) (*m_outlineVertices)[k].set(corners[k].x(), corners[k].y(), 0.f);
    m_outlineVertices->dirty();
    m_debugOutline->dirtyBound();
}

void SquareTracker::GetOsgSPMarkerVecs(const vxt::MarkerInfo& result, osg::Vec2f corners[4]) const
{
    for (int k = 0; k < 4; ++k)
        corners[k].set(static_cast<float>(result.vertex[k][0]), m_imageHeight - static_cast<float>(result.vertex[k][1]));
}

std::vector<osg::Vec2f> SquareTracker::GetOsgSPMarkerVecs(const vxt::MarkerInfo& result) const
{
    std::vector<osg::Vec2f> corners(4);
    GetOsgSPMarkerVecs(result, corners.data());
    return corners;
}

osg::Node* SquareTracker::BuildDebugLayer(const osg::Vec2f& size)
{
    if (m_debugGroup.valid()) return m_debugGroup.get();
    osg::ref_ptr<osg::Projection> projection = new osg::Projection(osg::Matrix::ortho2D(0, size.x(), 0, size.y()));
    projection->getOrCreateStateSet()->setRenderBinDetails(1, "RenderBin");
    osg::ref_ptr<osg::MatrixTransform> transform = new osg::MatrixTransform;
    transform->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    projection->addChild(transform.get());
    m_debugGroup = new osg::Group;
    m_debugGroup->getOrCreateStateSet()->setAttribute(new osg::Depth(osg::Depth::ALWAYS, 1.0, 1.0));
    transform->addChild(m_debugGroup.get());

    m_outlineVertices = new osg::Vec3Array;
    m_outlineVertices->push_back(osg::Vec3(-1.f, -1.f, 0.f));
    m_outlineVertices->push_back(osg::Vec3(1.f, -1.f, 0.f));
    m_outlineVertices->push_back(osg::Vec3(1.f, 1.f, 0.f));
    m_outlineVertices->push_back(osg::Vec3(-1.f, 1.f, 0.f));
    m_debugOutline = new osg::Geometry;
    m_debugOutline->setDataVariance(osg::Object::DYNAMIC);
    m_debugOutline->setUseDisplayList(false);
    m_debugOutline->setVertexArray(m_outlineVertices.get());
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    normals->push_back(osg::Vec3(0.f, 0.f, 1.f));
    m_debugOutline->setNormalArray(normals.get(), osg::Array::BIND_OVERALL);
    osg::ref_ptr<osg::Vec4Array> colours = new osg::Vec4Array;
    colours->push_back(osg::Vec4(1.f, 0.f, 0.f, 1.f));
    colours->push_back(osg::Vec4(1.f, 0.f, 0.f, 1.f));
    colours->push_back(osg::Vec4(0.f, 1.f, 0.f, 1.f));
    colours->push_back(osg::Vec4(0.f, 1.f, 0.f, 1.f));
    m_debugOutline->setColorArray(colours.get(), osg::Array::BIND_PER_VERTEX);
    m_debugOutline->addPrimitiveSet(new osg::DrawArrays(GL_LINE_LOOP, 0, 4));
    m_debugOutline->getOrCreateStateSet()->setAttribute(new osg::LineWidth(5.0f));
    m_debugGeode = new osg::Geode;
    m_debugGeode->addDrawable(m_debugOutline.get());
    m_debugGroup->addChild(m_debugGeode.get());
    m_debugGroup->setNodeMask(0);
    m_debugRoot = projection;
    return projection.release();
}

void SquareTracker::ToggleDebugView()
{
    if (m_debugGroup.valid()) m_debugGroup->setNodeMask(m_debugGroup->getNodeMask() ? 0u : ~0u);
}

bool SquareTracker::SaveTargetPatt()
{
    if (!m_target || !m_imageSource.valid() || !m_core->detector) return false;
    CSaveFileDialog::Request request;
    request.title = "Save Marker Pattern";
    request.filters = {{"Marker Pattern (*.patt)", "*.patt"}};
    request.defaultExtension = "patt";
    std::string path;
    if (!CSaveFileDialog::Run(request, path)) return true;  // cancelled: nothing saved
    vxt::ImageView view;
    view.data = m_imageSource->data();
    view.width = m_imageSource->s();
    view.height = m_imageSource->t();
    view.stride = static_cast<int>(m_imageSource->getRowStepInBytes());
    view.format = static_cast<vxt::PixelFormat>(getCorePixelFormatForImage(m_imageSource.get()));
    const vxt::Status saved = vxt::Detector::savePattern(view, *m_target, path);
    if (!saved) CMessageLog::Instance()->WriteToLog("Tracker::SaveTargetPatt : " + saved.message());
    return true;
}

void SquareTracker::createUndistortedMesh(int width, int height, float maxU, float maxV, osg::Geometry& geometry)
{
    auto* vertices = dynamic_cast<osg::Vec3Array*>(geometry.getVertexArray());
    auto* texCoords = dynamic_cast<osg::Vec2Array*>(geometry.getTexCoordArray(0));
    if (!vertices)
    {
        vertices = new osg::Vec3Array;
        geometry.setVertexArray(vertices);
    }
    if (!texCoords)
    {
        texCoords = new osg::Vec2Array;
        geometry.setTexCoordArray(0, texCoords);
    }
    const GLint first = static_cast<GLint>(vertices->size());
    for (int r = 0; r < kMeshCells; ++r)
    {
        for (int c = 0; c <= kMeshCells; ++c)
            for (int row : {r, r + 1})
            {
                const double ox = c * kMeshStep * width, oy = row * kMeshStep * height;
                double ix = ox, iy = oy;
                if (IsInitialised()) m_core->camera.observedToIdeal(ox, oy, ix, iy);
                vertices->push_back(osg::Vec3(static_cast<float>(ix), static_cast<float>(iy), 0.f));
                texCoords->push_back(osg::Vec2(c * kMeshStep * maxU, (1.f - row * kMeshStep) * maxV));
            }
        geometry.addPrimitiveSet(new osg::DrawArrays(GL_QUAD_STRIP, first + 42 * r, 42));
    }
}
