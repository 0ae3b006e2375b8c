#include "CVideoSourceFactory.h"

#include "CEmptyVideoStream.h"

CVideoStream* CVideoSourceFactory::CreateCaptureStream()
{
    return new CEmptyVideoStream(640, 480);
}

CVideoStream* CVideoSourceFactory::CreateCameraLibraryStream(const std::string&)
{
    return new CEmptyVideoStream(640, 480);
}

CVideoStream* CVideoSourceFactory::CreateEmptyStream(int width, int height)
{
    return new CEmptyVideoStream(width, height);
}
