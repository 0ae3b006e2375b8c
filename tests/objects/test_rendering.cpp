// Rendered under Xvfb and read back: the light rig's lights really light a
// model (fixed-function and shader materials), and its shadow maps really
// darken the ground under a floating box.

#include "CLight.h"
#include "CLightRig.h"
#include "CMaterial.h"
#include "CModelGroup.h"
#include "ObjectTestSupport.h"

#include <osg/Camera>
#include <osgDB/WriteFile>
#include <osgViewer/Viewer>

#include <cstdlib>

namespace
{
const int kSize = 128;     // pixels
const float kHalf = 40.f;  // the camera sees -40..40 in x and y

struct ReadBack : osg::Camera::DrawCallback
{
    void operator()(osg::RenderInfo&) const override
    {
        image->readPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE);
    }
    osg::ref_ptr<osg::Image> image = new osg::Image;
};

class Rendering : public ContentFolder
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
        ContentFolder::SetUp();
        WriteBoxMesh("box.osgt", 5.f);
        WriteBoxMesh("slab.osgt", 30.f);
    }

    // Renders `scene` from straight above (orthographic, looking down -z) and
    // returns the picture.
    osg::ref_ptr<osg::Image> Render(osg::Node* scene)
    {
        osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
        traits->readDISPLAY();
        traits->setUndefinedScreenDetailsToDefaultScreen();
        traits->width = traits->height = kSize;
        traits->windowDecoration = false;
        traits->doubleBuffer = true;
        osg::ref_ptr<osg::GraphicsContext> context = osg::GraphicsContext::createGraphicsContext(traits.get());
        if (!context.valid()) return nullptr;
        osgViewer::Viewer viewer;
        viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
        viewer.setLightingMode(osg::View::NO_LIGHT);
        osg::Camera* camera = viewer.getCamera();
        camera->setGraphicsContext(context.get());
        camera->setViewport(0, 0, kSize, kSize);
        camera->setClearColor(osg::Vec4(0, 0, 0, 1));
        camera->setProjectionMatrixAsOrtho(-kHalf, kHalf, -kHalf, kHalf, 1, 400);
        camera->setComputeNearFarMode(osg::Camera::DO_NOT_COMPUTE_NEAR_FAR);
        osg::ref_ptr<ReadBack> readBack = new ReadBack;
        camera->setFinalDrawCallback(readBack.get());
        viewer.setSceneData(scene);
        viewer.realize();
        for (int frame = 0; frame < 3; ++frame)
        {
            camera->setViewMatrixAsLookAt(osg::Vec3d(0, 0, 200), osg::Vec3d(0, 0, 0), osg::Vec3d(0, 1, 0));
            viewer.frame();
        }
        return readBack->image;
    }

    // Mean brightness (0..255) of a 5 x 5 patch around the scene point (x, y).
    static double Brightness(const osg::Image* image, float x, float y)
    {
        const int px = int((x + kHalf) / (2 * kHalf) * kSize), py = int((y + kHalf) / (2 * kHalf) * kSize);
        double sum = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
            {
                const unsigned char* p = image->data(px + dx, py + dy);
                sum += (p[0] + p[1] + p[2]) / 3.0;
            }
        return sum / 25.0;
    }

    osg::ref_ptr<osg::Group> LoadScene(const std::string& zep)
    {
        Write("scene.zep", zep);
        osg::ref_ptr<osg::Group> content = new osg::Group;
        CModelGroup* group = nullptr;
        Captured([&]() { group = CModelGroup::Load("scene.zep"); });
        EXPECT_NE(group, nullptr);
        if (group) content->addChild(group->GetNode());
        return content;
    }
};

const char* kLitBoxes = R"(<LIGHT> 0
<COLOUR> %s
<AMBIENT> 0 0 0 1
<SPECULAR> 0 0 0 1
<POSITION> 0 0 1 0
</LIGHT>
<MATERIAL> 0
<TYPE> STANDARD
<LIGHTING_ATTS> 0 0 0 1  0.8 0.8 0.8 1  0 0 0 1  1
</MATERIAL>
<MATERIAL> 1
<TYPE> ADVANCED
<LIGHTING_ATTS> 0 0 0 1  0.8 0.8 0.8 1  0 0 0 1  1
</MATERIAL>
<MODEL>
<FILENAME> box.osgt 0
<TRANS> -15 0 0
<APPLY_MATERIAL> 0
</MODEL>
<MODEL>
<FILENAME> box.osgt 0
<TRANS> 15 0 0
<APPLY_MATERIAL> 1
</MODEL>
)";

std::string withColour(const char* colour)
{
    char text[2048];
    std::snprintf(text, sizeof(text), kLitBoxes, colour);
    return text;
}

const char* kShadowScene = R"(<LIGHT> 0
<COLOUR> 1 1 1 1
<AMBIENT> 0.05 0.05 0.05 1
<SPECULAR> 0 0 0 1
<POSITION> 1 0 1 0
</LIGHT>
<MATERIAL> 0
<TYPE> ADVANCED
<LIGHTING_ATTS> 0.1 0.1 0.1 1  0.9 0.9 0.9 1  0 0 0 1  1
<USE_SHADOWS>
</MATERIAL>
<MODEL>
<FILENAME> slab.osgt 0
<SCALE> 1 1 0.02
<APPLY_MATERIAL> 0
</MODEL>
<MODEL>
<FILENAME> box.osgt 0
<TRANS> 0 0 15
<APPLY_MATERIAL> 0
</MODEL>
)";
}

TEST_F(Rendering, LightsLightFixedFunctionAndShaderMaterials)
{
    double lit[2], dark[2];
    for (int round = 0; round < 2; ++round)
    {
        CLight::ClearAll();
        osg::ref_ptr<osg::Group> content = LoadScene(withColour(round == 0 ? "1 1 1 1" : "0 0 0 1"));
        osg::ref_ptr<osg::Node> scene = CLightRig::Build(content.get(), false, 256);
        osg::ref_ptr<osg::Image> image = Render(scene.get());
        ASSERT_TRUE(image.valid() && image->data()) << "no picture";
        if (std::getenv("VEXAMARK_KEEP_PICTURES")) osgDB::writeImageFile(*image, "/tmp/lit" + std::to_string(round) + ".png");
        double* out = round == 0 ? lit : dark;
        out[0] = Brightness(image.get(), -15, 0);  // fixed-function box
        out[1] = Brightness(image.get(), 15, 0);   // shader box
        CModelGroup::ClearAll();
    }
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i == 0 ? "fixed function" : "shader");
        EXPECT_GT(lit[i], 150.0);  // 0.8 of white, facing the light
        EXPECT_LT(dark[i], 20.0);
    }
}

TEST_F(Rendering, ShadowMapsDarkenTheGroundUnderTheBox)
{
    for (bool shadows : {true, false})
    {
        SCOPED_TRACE(shadows ? "with shadows" : "without shadows");
        CLight::ClearAll();
        CMaterial::ClearAll();
        osg::ref_ptr<osg::Group> content = LoadScene(kShadowScene);
        osg::ref_ptr<osg::Node> scene = CLightRig::Build(content.get(), shadows, 512);
        osg::ref_ptr<osg::Image> image = Render(scene.get());
        ASSERT_TRUE(image.valid() && image->data()) << "no picture";
        // The light comes from +x, 45 degrees up: the box (10 units wide, its
        // middle 15 above the ground) throws its shadow 15 units towards -x.
        const double shaded = Brightness(image.get(), -15, 0);
        const double open = Brightness(image.get(), 20, 20);
        EXPECT_GT(open, 100.0);
        if (shadows)
            EXPECT_LT(shaded, 0.4 * open);
        else
            EXPECT_GT(shaded, 0.9 * open);
        CModelGroup::ClearAll();
    }
}
