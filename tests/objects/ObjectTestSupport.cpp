#include "ObjectTestSupport.h"

#include "CLight.h"
#include "CMaterial.h"
#include "CModelGroup.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/NodeVisitor>
#include <osgDB/WriteFile>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

void ContentFolder::SetUp()
{
    CLight::ClearAll();
    CMaterial::ClearAll();
    CModelGroup::ClearAll();
    fs::create_directories(m_folder / "shaders");
    for (const auto& entry : fs::directory_iterator(std::string(VEXAMARK_SOURCE_DIR) + "/data/shaders"))
        fs::copy_file(entry.path(), m_folder / ("shaders/" + entry.path().filename().string()));
    fs::create_directories(m_folder / "Data");
    m_here.reset(new ScopedCurrentFolder(m_folder.Path()));
}

void ContentFolder::TearDown()
{
    CLight::ClearAll();
    CMaterial::ClearAll();
    CModelGroup::ClearAll();
    m_here.reset();
}

void ContentFolder::Write(const std::string& relative, const std::string& text)
{
    TestFolder::WriteFile(m_folder / relative, text);
}

std::string ContentFolder::WriteLineMesh(const std::string& relative, float radius)
{
    osg::ref_ptr<osg::Geometry> line = new osg::Geometry;
    osg::Vec3Array* v = new osg::Vec3Array;
    v->push_back(osg::Vec3(-radius, 0, 0));
    v->push_back(osg::Vec3(radius, 0, 0));
    line->setVertexArray(v);
    line->addPrimitiveSet(new osg::DrawArrays(GL_LINES, 0, 2));
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(line.get());
    fs::create_directories(fs::path(m_folder / relative).parent_path());
    EXPECT_TRUE(osgDB::writeNodeFile(*geode, m_folder / relative));
    return relative;
}

std::string ContentFolder::WriteBoxMesh(const std::string& relative, float h)
{
    osg::ref_ptr<osg::Geometry> box = new osg::Geometry;
    osg::Vec3Array* v = new osg::Vec3Array;
    osg::Vec3Array* n = new osg::Vec3Array;
    osg::Vec2Array* t = new osg::Vec2Array;
    const osg::Vec3 axes[3] = {osg::X_AXIS, osg::Y_AXIS, osg::Z_AXIS};
    for (int a = 0; a < 3; ++a)
        for (float sign : {-1.f, 1.f})
        {
            const osg::Vec3 normal = axes[a] * sign;
            const osg::Vec3 u = axes[(a + 1) % 3] * sign, w = axes[(a + 2) % 3];
            const osg::Vec3 corners[4] = {normal * h - u * h - w * h, normal * h + u * h - w * h,
                                          normal * h + u * h + w * h, normal * h - u * h + w * h};
            const osg::Vec2 uv[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (int i = 0; i < 4; ++i)
            {
                v->push_back(corners[i]);
                n->push_back(normal);
                t->push_back(uv[i]);
            }
        }
    box->setVertexArray(v);
    box->setNormalArray(n, osg::Array::BIND_PER_VERTEX);
    box->setTexCoordArray(0, t);
    box->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, static_cast<GLsizei>(v->size())));
    osg::ref_ptr<osg::Group> crate = new osg::Group;
    crate->setName("Crate");
    osg::Geode* geode = new osg::Geode;
    geode->setName("Box");
    geode->addDrawable(box.get());
    crate->addChild(geode);
    fs::create_directories(fs::path(m_folder / relative).parent_path());
    EXPECT_TRUE(osgDB::writeNodeFile(*crate, m_folder / relative));
    return relative;
}

int CountLines(const std::string& text, const std::string& part)
{
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.find(part) != std::string::npos) ++count;
    return count;
}

osg::Node* FindNamed(osg::Node* root, const std::string& name)
{
    struct Finder : osg::NodeVisitor
    {
        Finder(const std::string& n) : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN), wanted(n) {}
        void apply(osg::Node& node) override
        {
            if (!found && node.getName() == wanted) found = &node;
            if (!found) traverse(node);
        }
        std::string wanted;
        osg::Node* found = nullptr;
    } finder(name);
    if (root) root->accept(finder);
    return finder.found;
}
