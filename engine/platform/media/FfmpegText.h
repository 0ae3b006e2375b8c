#pragma once
// Small FFmpeg helpers shared by the media classes.
#include <string>

namespace vexa {
namespace media {

std::string ffmpegErrorText(int errorCode);

// FFmpeg reports every damaged packet and every encoder statistic on stderr; a corrupt
// file would flood it. Our own messages say what matters, so FFmpeg's log is limited
// to fatal errors (process-wide, set once).
void quietFfmpegLog();

}  // namespace media
}  // namespace vexa
