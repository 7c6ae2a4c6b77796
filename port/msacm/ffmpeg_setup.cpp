#include "port/msacm/ffmpeg_setup.h"

#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

void QuietFFmpegLog() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}
