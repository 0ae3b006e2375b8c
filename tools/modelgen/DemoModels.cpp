#include "DemoModels.h"

#include "Pictures.h"
#include "Shapes.h"

#include <osg/Group>
#include <osg/MatrixTransform>

#include <cmath>

namespace
{
const osg::Vec4 kWhite(1, 1, 1, 1);

osg::Group* named(const std::string& name)
{
    osg::Group* group = new osg::Group;
    group->setName(name);
    return group;
}

osg::Node* namedPart(const std::string& name, osg::Geode* geode)
{
    geode->setName(name);
    return geode;
}
}

namespace demo
{
osg::Node* House()
{
    osg::Group* house = named("House");
    osg::ref_ptr<osg::Image> bricks = pictures::Bricks();
    house->addChild(namedPart("Walls", shapes::Part(shapes::Box({-20, -15, 0}, {20, 15, 25}, 2.f), bricks.get(), kWhite)));
    house->addChild(namedPart("Roof", shapes::Part(shapes::Roof(-20, 20, -15, 15, 25, 42, 2), pictures::RoofTiles(),
                                                   kWhite, 8.f, true)));
    // Gable ends in brick.
    house->addChild(shapes::Part(shapes::Polygon({{20, -15, 25}, {20, 15, 25}, {20, 0, 42}}), bricks.get(), kWhite, 16.f, true));
    house->addChild(shapes::Part(shapes::Polygon({{-20, 15, 25}, {-20, -15, 25}, {-20, 0, 42}}), bricks.get(), kWhite, 16.f, true));
    house->addChild(namedPart("Chimney", shapes::Part(shapes::Box({8, 2, 30}, {13, 7, 46}), bricks.get(), kWhite)));
    house->addChild(namedPart("Door", shapes::Part(shapes::Box({-4, -15.6f, 0}, {4, -15, 14}), nullptr,
                                                   osg::Vec4(0.35f, 0.2f, 0.1f, 1))));
    const osg::Vec4 glass(0.6f, 0.8f, 0.95f, 1);
    for (float x : {-14.f, 10.f})
        house->addChild(namedPart("Window", shapes::Part(shapes::Box({x - 4, -15.5f, 10}, {x + 4, -15, 18}), nullptr, glass, 64.f)));
    for (float x : {-10.f, 10.f})
        house->addChild(shapes::Part(shapes::Box({x - 4, 15, 10}, {x + 4, 15.5f, 18}), nullptr, glass, 64.f));
    return house;
}

osg::Node* Tree()
{
    osg::Group* tree = named("Tree");
    tree->addChild(namedPart("Trunk", shapes::Part(shapes::Cylinder({0, 0, 0}, 3.5f, 18), pictures::Bark(), kWhite)));
    osg::ref_ptr<osg::Image> leaves = pictures::Leaves();
    const float tiers[3][3] = {{16, 18, 22}, {28, 14, 18}, {38, 10, 16}};  // base height, radius, height
    for (const auto& tier : tiers)
        tree->addChild(namedPart("Leaves", shapes::Part(shapes::Cone({0, 0, tier[0]}, tier[1], tier[2]), leaves.get(),
                                                        kWhite, 4.f)));
    return tree;
}

osg::Node* Rocket()
{
    osg::Group* rocket = named("Rocket");
    rocket->addChild(namedPart("Hull", shapes::Part(shapes::Cylinder({0, 0, 8}, 6, 36), pictures::Hull(), kWhite, 64.f)));
    rocket->addChild(namedPart("Nose", shapes::Part(shapes::Cone({0, 0, 44}, 6, 14), nullptr,
                                                    osg::Vec4(0.85f, 0.1f, 0.1f, 1), 64.f)));
    rocket->addChild(namedPart("Nozzle", shapes::Part(shapes::Cone({0, 0, 3}, 4.5f, 6), nullptr,
                                                      osg::Vec4(0.25f, 0.25f, 0.28f, 1), 32.f)));
    for (int i = 0; i < 3; ++i)
    {
        const float a = float(i) * 2.0943951f;
        const osg::Vec3 out(std::cos(a), std::sin(a), 0);
        rocket->addChild(namedPart("Fin", shapes::Part(shapes::Polygon({out * 5.5f + osg::Vec3(0, 0, 2),
                                                                         out * 14.f + osg::Vec3(0, 0, 0),
                                                                         out * 5.5f + osg::Vec3(0, 0, 20)}),
                                                        nullptr, osg::Vec4(0.85f, 0.1f, 0.1f, 1), 32.f, true)));
    }
    return rocket;
}

osg::Node* Vessel()
{
    osg::Group* vessel = named("Vessel");
    osg::ref_ptr<osg::Image> glaze = pictures::Glaze();
    // Body: a squat round belly on a foot.
    auto bodyRadius = [](float s) { return s < 0.05f ? 12.f * s / 0.05f : 9.f + 11.f * std::sin(3.1415926f * (s - 0.05f) / 1.1f); };
    auto bodyHeight = [](float s) { return s < 0.05f ? 0.f : 26.f * (s - 0.05f) / 0.95f; };
    vessel->addChild(namedPart("Body", shapes::Part(shapes::Lathe(bodyRadius, bodyHeight, 16, 32), glaze.get(), kWhite, 96.f)));
    auto lidRadius = [](float s) { return 10.f * std::cos(1.5707963f * s); };
    auto lidHeight = [](float s) { return 26.f + 6.f * std::sin(1.5707963f * s); };
    vessel->addChild(namedPart("Lid", shapes::Part(shapes::Lathe(lidRadius, lidHeight, 6, 32), glaze.get(), kWhite, 96.f)));
    vessel->addChild(namedPart("Knob", shapes::Part(shapes::Sphere({0, 0, 33}, 2.5f, 12), nullptr,
                                                    osg::Vec4(0.12f, 0.25f, 0.7f, 1), 96.f)));
    // Spout: a slanted tapering tube; handle: a ring of spheres.
    osg::MatrixTransform* spout = new osg::MatrixTransform(osg::Matrix::rotate(0.8, osg::Y_AXIS) *
                                                           osg::Matrix::translate(14, 0, 8));
    spout->addChild(namedPart("Spout", shapes::Part(shapes::Lathe([](float s) { return 3.5f - 2.f * s; },
                                                                  [](float s) { return 22.f * s; }, 4, 16),
                                                    glaze.get(), kWhite, 96.f, true)));
    vessel->addChild(spout);
    for (int i = 0; i <= 10; ++i)
    {
        const float a = -1.3f + 2.6f * i / 10.f;
        vessel->addChild(shapes::Part(shapes::Sphere({-18.f - 7.f * std::cos(a), 0, 14.f + 8.f * std::sin(a)}, 2.f, 10),
                                      nullptr, osg::Vec4(0.12f, 0.25f, 0.7f, 1), 96.f));
    }
    // Plain shading: the toon effect draws its own grey ramp in place of the
    // glaze and the material, which left the vessel a dark blot on its card.
    return vessel;
}

osg::Node* Figure()
{
    osg::Group* figure = named("Figure");
    osg::ref_ptr<osg::Image> cloth = pictures::Cloth();
    const osg::Vec4 skin(0.95f, 0.75f, 0.6f, 1), trousers(0.25f, 0.22f, 0.2f, 1);
    figure->addChild(namedPart("Head", shapes::Part(shapes::Sphere({0, 0, 50}, 6, 20), nullptr, skin, 24.f)));
    figure->addChild(namedPart("Body", shapes::Part(shapes::Cylinder({0, 0, 24}, 7, 19), cloth.get(), kWhite)));
    figure->addChild(shapes::Part(shapes::Sphere({0, 0, 43}, 7, 16), cloth.get(), kWhite));
    for (float side : {-1.f, 1.f})
    {
        figure->addChild(namedPart("Leg", shapes::Part(shapes::Cylinder({side * 3.5f, 0, 0}, 2.8f, 25), nullptr, trousers)));
        osg::MatrixTransform* arm = new osg::MatrixTransform(osg::Matrix::rotate(side * 0.35, osg::Y_AXIS) *
                                                             osg::Matrix::translate(side * 9.f, 0, 22));
        arm->addChild(namedPart("Arm", shapes::Part(shapes::Cylinder({0, 0, 0}, 2.2f, 20), cloth.get(), kWhite)));
        arm->addChild(shapes::Part(shapes::Sphere({0, 0, -1}, 2.6f, 12), nullptr, skin));
        figure->addChild(arm);
        figure->addChild(shapes::Part(shapes::Sphere({side * 2.2f, -5.5f, 51.5f}, 0.9f, 8), nullptr, osg::Vec4(0.1f, 0.1f, 0.1f, 1)));
    }
    return figure;
}

osg::Node* Ground()
{
    osg::Geode* ground =
        shapes::Part(shapes::Polygon({{-60, -60, 0}, {60, -60, 0}, {60, 60, 0}, {-60, 60, 0}}), pictures::Grass(), kWhite, 4.f);
    ground->setName("Ground");
    return ground;
}

const std::vector<ModelFile>& Models()
{
    static const std::vector<ModelFile> models = {
        {"house", "house.ive", House},   {"tree", "tree.ive", Tree},     {"rocket", "rocket.ive", Rocket},
        {"vessel", "vessel.osgt", Vessel}, {"figure", "figure.osgt", Figure}, {"ground", "ground.ive", Ground}};
    return models;
}
}
