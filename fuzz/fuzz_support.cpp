#include "fuzz/fuzz_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "harvelo-fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString writeInput(const QString &fileName, const uint8_t *data, size_t size)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/harvelo-fuzz-XXXXXX"));
    const QString path = dir.filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        fail("cannot write the input to a temporary file");
    return path;
}

QByteArray wavHeader(quint32 bytes)
{
    QByteArray h;
    auto u32 = [&h](quint32 v) { h.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 4); };
    auto u16 = [&h](quint16 v) { h.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 2); };
    h += "RIFF";
    u32(36 + bytes);
    h += "WAVEfmt ";
    u32(16), u16(1), u16(2), u32(44100), u32(176400), u16(4), u16(16);
    h += "data";
    u32(bytes);
    return h;
}

void fail(const char *what)
{
    std::fprintf(stderr, "harvelo fuzz: %s\n", what);
    std::abort();
}

} // namespace fuzz
