// The camera configuration file named by the engine settings: its last
// line read as the video manager reads it, then parsed as the camera
// library's configuration (camera, device, size, video file and its modes).
// No device or file is opened.
#include "FuzzInput.h"

#include "CVideo.h"
#include "CamVideoConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kMaxInput) return 0;
    const std::string path = fuzz::WriteInput(data, size, "Data/camera.cfg");
    std::string text;
    if (path.empty() || !CVideo::ReadCameraConfig(path, text)) return 0;
    vexa::media::CamVideoConfig config;
    std::string error;
    vexa::media::CamVideoConfig::parse(text, config, error);
    return 0;
}
