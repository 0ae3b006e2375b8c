// The marker's own geometry: a plain quad, or the hider patch that paints the
// printed marker over with the picture just beyond its edges.
#include "CTrackedMarker.h"

#include "CPathResolver.h"
#include "CTextureStore.h"

#include <osg/Program>
#include <osg/Texture2D>
#include <osgDB/ReadFile>

#include <algorithm>
#include <cmath>

namespace
{
const int kAlphaSize = 64;  // texels per side of the generated coverage map

// Full coverage inside, fading to none over the outer tenth of the marker,
// used when the content names no readable alpha map.
osg::Image* defaultAlphaMap()
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(kAlphaSize, kAlphaSize, 1, GL_LUMINANCE, GL_UNSIGNED_BYTE);
    for (int y = 0; y < kAlphaSize; ++y)
        for (int x = 0; x < kAlphaSize; ++x)
        {
            const float u = (x + 0.5f) / kAlphaSize, v = (y + 0.5f) / kAlphaSize;
            const float edge = std::min({u, v, 1.f - u, 1.f - v});  // 0 at the rim, 0.5 in the middle
            *image->data(x, y) = static_cast<unsigned char>(255.f * std::min(1.f, edge / 0.1f));
        }
    return image.release();
}

osg::Program* hiderProgram()
{
    static osg::ref_ptr<osg::Program> program;
    if (program.valid()) return program.get();
    program = new osg::Program;
    program->setName("marker_hider_program");
    for (auto kind : {osg::Shader::VERTEX, osg::Shader::FRAGMENT})
    {
        osg::ref_ptr<osg::Shader> shader = new osg::Shader(kind);
        const char* file = kind == osg::Shader::VERTEX ? "shaders/markerHider.vert" : "shaders/markerHider.frag";
        shader->loadShaderSourceFromFile(CPathResolver::Resolve(file));
        program->addShader(shader.get());
    }
    return program.get();
}
}

void CTrackedMarker::SetupGeometry(bool generateGeometry, bool useHider, int hiderType, int videoWidth,
                                   int videoHeight, const std::string& alphaMap)
{
    if (!generateGeometry) return;
    m_generateGeometry = true;
    m_useHider = useHider;
    m_hiderType = hiderType;
    if (useHider)
        BuildHider(videoWidth, videoHeight, alphaMap);
    else
        BuildPlainQuad();
}

void CTrackedMarker::BuildPlainQuad()
{
    osg::ref_ptr<osg::Geometry> quad = new osg::Geometry;
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    vertices->push_back(osg::Vec3(-1.f, -1.f, 0.f));
    vertices->push_back(osg::Vec3(1.f, -1.f, 0.f));
    vertices->push_back(osg::Vec3(1.f, 1.f, 0.f));
    vertices->push_back(osg::Vec3(-1.f, 1.f, 0.f));
    quad->setVertexArray(vertices.get());
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    normals->push_back(osg::Vec3(0.f, 0.f, 1.f));
    quad->setNormalArray(normals.get(), osg::Array::BIND_OVERALL);
    quad->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    m_hiderGeode = new osg::Geode;
    m_hiderGeode->addDrawable(quad.get());
}

void CTrackedMarker::BuildHider(int videoWidth, int videoHeight, const std::string& alphaMap)
{
    m_videoWidth = static_cast<float>(videoWidth);
    m_videoHeight = static_cast<float>(videoHeight);
    m_hiderVertices = new osg::Vec3Array(12);
    m_hiderTexCoords = new osg::Vec2Array(12);
    m_hiderAlphaCoords = new osg::Vec2Array(12);
    m_hiderGeometry = new osg::Geometry;
    m_hiderGeometry->setDataVariance(osg::Object::DYNAMIC);
    m_hiderGeometry->setUseDisplayList(false);
    m_hiderGeometry->setUseVertexBufferObjects(true);
    m_hiderGeometry->setVertexArray(m_hiderVertices.get());
    m_hiderGeometry->setTexCoordArray(0, m_hiderTexCoords.get());
    m_hiderGeometry->setTexCoordArray(1, m_hiderAlphaCoords.get());
    m_hiderGeometry->addPrimitiveSet(new osg::DrawArrays(GL_TRIANGLES, 0, 12));
    m_hiderGeode = new osg::Geode;
    m_hiderGeode->addDrawable(m_hiderGeometry.get());
    m_hiderGeode->setNodeMask(0);  // nothing to cover until the marker is seen

    osg::ref_ptr<osg::Image> alpha;
    if (CPathResolver::Exists(alphaMap)) alpha = osgDB::readRefImageFile(CPathResolver::Resolve(alphaMap));
    if (!alpha.valid()) alpha = defaultAlphaMap();
    osg::ref_ptr<osg::Texture2D> alphaTexture = new osg::Texture2D(alpha.get());
    alphaTexture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
    alphaTexture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
    osg::StateSet* state = m_hiderGeode->getOrCreateStateSet();
    state->setAttributeAndModes(hiderProgram(), osg::StateAttribute::ON);
    state->setTextureAttributeAndModes(0, CTextureStore::Instance()->GetSceneTexture(), osg::StateAttribute::ON);
    state->setTextureAttributeAndModes(1, alphaTexture.get(), osg::StateAttribute::ON);
    state->addUniform(new osg::Uniform("frameBuf", 0));
    state->addUniform(new osg::Uniform("markerAlpha", 1));
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    state->setMode(GL_CULL_FACE, osg::StateAttribute::OFF);
}

void CTrackedMarker::UpdateHider()
{
    if (!m_hiderGeometry.valid() || !m_marker.valid()) return;
    if (!m_visible || m_marker->getDirection() < 0)
    {
        m_hiderGeode->setNodeMask(0);
        return;
    }
    m_hiderGeode->setNodeMask(~0u);
    // Corners from the pattern's first, in image pixels with y up.
    const std::vector<osg::Vec2f>& seen = m_marker->getCorners();
    const int dir = m_marker->getDirection();
    osg::Vec2f c[4];
    osg::Vec2f centre;
    for (int k = 0; k < 4; ++k)
    {
        const osg::Vec2f& p = seen[static_cast<size_t>((dir + k) % 4)];
        c[k].set(p.x(), m_videoHeight - p.y());
        centre += c[k] * 0.25f;
    }
    for (osg::Vec2f& corner : c) corner = centre + (corner - centre) * m_hiderScale;
    if (m_hiderType == 1)
        FillSplitPatch(c, centre);
    else
        FillFanPatch(c, centre);
    m_hiderVertices->dirty();
    m_hiderTexCoords->dirty();
    m_hiderAlphaCoords->dirty();
    m_hiderGeometry->dirtyBound();
}

osg::Vec2 CTrackedMarker::PictureCoord(const osg::Vec2f& p) const
{
    // The picture texture holds image row 0 (the top) at t = 0.
    return osg::Vec2(p.x() / m_videoWidth, (m_videoHeight - p.y()) / m_videoHeight);
}

void CTrackedMarker::SetPatchVertex(int index, const osg::Vec2f& position, const osg::Vec2f& sample,
                                    const osg::Vec2f& alpha)
{
    (*m_hiderVertices)[static_cast<size_t>(index)].set(position.x(), position.y(), 0.f);
    (*m_hiderTexCoords)[static_cast<size_t>(index)] = PictureCoord(sample);
    (*m_hiderAlphaCoords)[static_cast<size_t>(index)] = alpha;
}

void CTrackedMarker::FillFanPatch(const osg::Vec2f c[4], const osg::Vec2f& centre)
{
    // Triangle i covers edge c_i-c_i+1; its apex samples the fin point beyond
    // that edge, so each quarter is painted with the picture just outside it.
    const osg::Vec2f alphaCorner[4] = {{0.f, 1.f}, {1.f, 1.f}, {1.f, 0.f}, {0.f, 0.f}};
    for (int i = 0; i < 4; ++i)
    {
        const osg::Vec2f& a = c[i];
        const osg::Vec2f& b = c[(i + 1) % 4];
        const osg::Vec2f mid = (a + b) * 0.5f;
        const osg::Vec2f fin = mid + (mid - centre) * m_finScale;
        SetPatchVertex(3 * i, a, a, alphaCorner[i]);
        SetPatchVertex(3 * i + 1, b, b, alphaCorner[(i + 1) % 4]);
        SetPatchVertex(3 * i + 2, centre, fin, osg::Vec2f(0.5f, 0.5f));
    }
}

void CTrackedMarker::FillSplitPatch(const osg::Vec2f c[4], const osg::Vec2f& centre)
{
    // Split between the midpoints of c0-c3 and c1-c2: the half along edge
    // c0-c1 samples the picture beyond that edge, the other half beyond c2-c3.
    const osg::Vec2f m03 = (c[0] + c[3]) * 0.5f, m12 = (c[1] + c[2]) * 0.5f;
    auto beyond = [&](const osg::Vec2f& inner, const osg::Vec2f& outer) {
        return outer + (outer - inner) * m_finScale;
    };
    const osg::Vec2f a03 = {0.f, 0.5f}, a12 = {1.f, 0.5f};
    // Upper half: c0 c1 m12, c0 m12 m03.
    SetPatchVertex(0, c[0], c[0], {0.f, 1.f});
    SetPatchVertex(1, c[1], c[1], {1.f, 1.f});
    SetPatchVertex(2, m12, beyond(m12, c[1]), a12);
    SetPatchVertex(3, c[0], c[0], {0.f, 1.f});
    SetPatchVertex(4, m12, beyond(m12, c[1]), a12);
    SetPatchVertex(5, m03, beyond(m03, c[0]), a03);
    // Lower half: m03 m12 c2, m03 c2 c3.
    SetPatchVertex(6, m03, beyond(m03, c[3]), a03);
    SetPatchVertex(7, m12, beyond(m12, c[2]), a12);
    SetPatchVertex(8, c[2], c[2], {1.f, 0.f});
    SetPatchVertex(9, m03, beyond(m03, c[3]), a03);
    SetPatchVertex(10, c[2], c[2], {1.f, 0.f});
    SetPatchVertex(11, c[3], c[3], {0.f, 0.f});
    (void)centre;
}
