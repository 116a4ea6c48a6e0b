#pragma once

#include <QByteArray>
#include <QString>

// Disc names come as UTF-8 from newer sources and as Latin-1 from older ones: the bytes are
// read as UTF-8 where they are valid UTF-8, else as Latin-1.
QString fromUtf8OrLatin1(const QByteArray &bytes);
