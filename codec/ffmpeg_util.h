#pragma once

#include <QString>
#include <QByteArray>

// FFmpeg names a file by URL; the file: prefix keeps a colon in a name from being read as a
// protocol.
QByteArray ffmpegFileUrl(const QString &path);

// The frame length of the WMA v1/v2 codec at a sample rate. FFmpeg's decoder outputs nothing
// for the first frame, so an encoder delay of one frame keeps a round trip aligned.
int wmaFrameLength(int sampleRate);
