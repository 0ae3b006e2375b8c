#pragma once
// Pictures of the window kept as test artefacts (PNG), for people to look at.

#include "XWindowDriver.h"

#include <osg/Image>
#include <osgDB/FileUtils>
#include <osgDB/WriteFile>

#include <algorithm>
#include <string>

/// Writes what the window showed to `path` as PNG; false when it cannot.
inline bool SaveArtefact(const XWindowDriver::Picture& picture, const std::string& path)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(picture.width, picture.height, 1, GL_RGB, GL_UNSIGNED_BYTE);
    for (int y = 0; y < picture.height; ++y)  // the image's rows run bottom-up
        std::copy_n(picture.At(0, y), picture.width * 3, image->data(0, picture.height - 1 - y));
    osgDB::makeDirectoryForFile(path);
    return osgDB::writeImageFile(*image, path);
}
