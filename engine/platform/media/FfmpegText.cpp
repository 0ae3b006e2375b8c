#include "FfmpegText.h"

extern "C" {
#include <libavutil/error.h>
}

namespace vexa {
namespace media {

std::string ffmpegErrorText(int errorCode) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(errorCode, text, sizeof text);
    return text;
}

}  // namespace media
}  // namespace vexa
