#include "tests/support/accuraterip_fixture.h"

#include "disc/accuraterip_disc_id.h"
#include "tests/support/test_env.h"

#include <QDataStream>

ReferenceSums referenceSums(const QString &file, qint64 byteOffset, qint64 frames, bool first, bool last)
{
    const ProcessResult r = runProgram(QStringLiteral("python3"),
                                       {QStringLiteral(HARVELO_AR_REFERENCE), file,
                                        QString::number(byteOffset), QString::number(frames),
                                        first ? QStringLiteral("1") : QStringLiteral("0"),
                                        last ? QStringLiteral("1") : QStringLiteral("0")});
    const QStringList words = QString::fromLatin1(r.out).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (r.status != 0 || words.size() != 4)
        return {};
    return {words[0], words[1], words[2], words[3].trimmed().toInt()};
}

QByteArray dbarPressing(const AccurateRipDiscId &id, const QList<QPair<int, quint32>> &tracks)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8(tracks.size()) << quint32(id.id1) << quint32(id.id2) << quint32(id.freedbId);
    for (const auto &[confidence, checksum] : tracks)
        out << quint8(confidence) << quint32(checksum) << quint32(0);
    return bytes;
}
