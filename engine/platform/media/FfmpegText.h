#pragma once
// Readable text for an FFmpeg error code (negative AVERROR value).
#include <string>

namespace vexa {
namespace media {

std::string ffmpegErrorText(int errorCode);

}  // namespace media
}  // namespace vexa
