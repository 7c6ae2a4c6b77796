// What every use of FFmpeg in the port shares: its own log stays quiet, as damaged files are
// refused through the port's results, not through FFmpeg's messages.
#pragma once

void QuietFFmpegLog();
