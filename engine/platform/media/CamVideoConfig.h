#pragma once
// The camera library's configuration string (see docs/camvideo.md):
//   ""                                   first camera
//   v4l2 [DEVICE] [WxH]                  a camera: /dev/videoN, a /dev/v4l/by-id/... or
//                                        by-path link, or a bare number N for /dev/videoN
//   file PATH [loop|noloop] [locked|realtime]
//                                        a video file; PATH may be "double quoted"
// Keywords ignore case; surrounding blanks and line ends are ignored.
#include <string>

namespace vexa {
namespace media {

struct CamVideoConfig {
    enum class Source { FirstCamera, Camera, File };

    Source source = Source::FirstCamera;
    std::string path;          // device node or file, as written ("\" already turned to "/")
    int width = 0;             // requested camera size; 0 = the camera's current size
    int height = 0;
    bool loop = true;          // file: start again after the last frame
    bool frameLocked = false;  // file: every image request gives the next frame

    // False with a one-line message for text that does not follow the grammar.
    static bool parse(const std::string& text, CamVideoConfig& out, std::string& error);
};

}  // namespace media
}  // namespace vexa
