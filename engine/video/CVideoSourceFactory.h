#pragma once
// Makes the video sources the video manager asks for by kind.

#include <string>

class CVideoStream;

class CVideoSourceFactory
{
public:
    /// A camera through the capture layer ("DSHOW").
    static CVideoStream* CreateCaptureStream();
    /// A source through the camera library, configured by `config` (a
    /// camera, or a video file); empty opens the first camera.
    static CVideoStream* CreateCameraLibraryStream(const std::string& config);
    /// A black picture of the given size.
    static CVideoStream* CreateEmptyStream(int width, int height);
};
