#include "codec/ffmpeg_util.h"

#include <QFile>

QByteArray ffmpegFileUrl(const QString &path)
{
    return QByteArrayLiteral("file:") + QFile::encodeName(path);
}

int wmaFrameLength(int sampleRate)
{
    if (sampleRate <= 16000)
        return 512;
    if (sampleRate <= 22050)
        return 1024;
    return 2048;
}
