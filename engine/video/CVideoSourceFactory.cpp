#include "CVideoSourceFactory.h"

#include "CEmptyVideoStream.h"
#include "CamVidStream.h"
#include "DSCaptureStream.h"

CVideoStream* CVideoSourceFactory::CreateCaptureStream()
{
    return new DSCaptureStream(false, false);
}

CVideoStream* CVideoSourceFactory::CreateCameraLibraryStream(const std::string& config)
{
    if (config.empty()) return new CamVidStream();
    return new CamVidStream(config);
}

CVideoStream* CVideoSourceFactory::CreateEmptyStream(int width, int height)
{
    return new CEmptyVideoStream(width, height);
}
