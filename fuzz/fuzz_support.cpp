#include "fuzz/fuzz_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

void fail(const char *what)
{
    std::fprintf(stderr, "harvelo fuzz: %s\n", what);
    std::abort();
}

} // namespace fuzz
