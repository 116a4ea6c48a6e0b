#include "audio/ffmpeg_util.h"

#include <QFile>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

QByteArray ffmpegFileUrl(const QString &path)
{
    return QByteArrayLiteral("file:") + QFile::encodeName(path);
}

void silenceFfmpegLog()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

int wmaFrameLength(int sampleRate)
{
    if (sampleRate <= 16000)
        return 512;
    if (sampleRate <= 22050)
        return 1024;
    return 2048;
}
