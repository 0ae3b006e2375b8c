#include "AnimatedModel.h"

#include <osg/FrameStamp>
#include <osgUtil/UpdateVisitor>

#include <string>

namespace AnimatedModel
{
osg::AnimationPath* FramePath(int frames, double offset)
{
    osg::AnimationPath* path = new osg::AnimationPath;
    for (int frame = 0; frame <= frames; ++frame)
        path->insert(frame / 30.0, osg::AnimationPath::ControlPoint(osg::Vec3d(frame, offset, 0)));
    return path;
}

osg::MatrixTransform* Animated(const char* name, osg::AnimationPath* path)
{
    osg::MatrixTransform* transform = new osg::MatrixTransform;
    transform->setName(name);
    transform->setUpdateCallback(new osg::AnimationPathCallback(path));
    return transform;
}

osg::Group* Model(const std::vector<int>& frames)
{
    osg::Group* model = new osg::Group;
    for (size_t i = 0; i < frames.size(); ++i)
        model->addChild(Animated(("node" + std::to_string(i)).c_str(), FramePath(frames[i], double(i))));
    return model;
}

void UpdateAt(osg::Node* root, double seconds, unsigned frameNumber)
{
    osg::ref_ptr<osg::FrameStamp> stamp = new osg::FrameStamp;
    stamp->setReferenceTime(seconds);
    stamp->setFrameNumber(frameNumber);
    osg::ref_ptr<osgUtil::UpdateVisitor> visitor = new osgUtil::UpdateVisitor;
    visitor->setFrameStamp(stamp.get());
    visitor->setTraversalNumber(frameNumber);
    root->accept(*visitor);
}

double X(osg::Node* transform)
{
    return static_cast<osg::MatrixTransform*>(transform)->getMatrix().getTrans().x();
}
}
