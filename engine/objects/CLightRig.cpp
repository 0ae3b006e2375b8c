#include "CLightRig.h"

#include "COsgSettings.h"

void CLightRig::LoadLights(COsgSettings&)
{
}

osg::Node* CLightRig::Build(osg::Group* content, bool, int)
{
    return content;
}
