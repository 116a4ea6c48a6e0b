#include "tests/support/audio_probe.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

QByteArray run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

void addTags(QMap<QString, QString> &tags, const QJsonObject &object)
{
    const QJsonObject found = object.value(QStringLiteral("tags")).toObject();
    for (auto it = found.begin(); it != found.end(); ++it)
        tags.insert(it.key().toLower(), it.value().toString());
}

} // namespace

ProbeResult probeAudio(const QString &path)
{
    const QByteArray json = run(QStringLiteral("ffprobe"),
                                {QStringLiteral("-v"), QStringLiteral("error"),
                                 QStringLiteral("-print_format"), QStringLiteral("json"),
                                 QStringLiteral("-show_streams"), QStringLiteral("-show_format"), path});
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    ProbeResult result;
    const QJsonObject format = root.value(QStringLiteral("format")).toObject();
    for (const QJsonValue &value : root.value(QStringLiteral("streams")).toArray()) {
        const QJsonObject stream = value.toObject();
        if (stream.value(QStringLiteral("codec_type")).toString() != QLatin1String("audio"))
            continue;
        result.ok = true;
        result.codec = stream.value(QStringLiteral("codec_name")).toString();
        result.rate = stream.value(QStringLiteral("sample_rate")).toString().toInt();
        result.channels = stream.value(QStringLiteral("channels")).toInt();
        result.bitRate = stream.value(QStringLiteral("bit_rate")).toString().toLongLong();
        addTags(result.tags, stream);
        break;
    }
    if (result.bitRate == 0)
        result.bitRate = format.value(QStringLiteral("bit_rate")).toString().toLongLong();
    result.seconds = format.value(QStringLiteral("duration")).toString().toDouble();
    addTags(result.tags, format);
    return result;
}

QMap<QString, QString> mutagenTags(const QString &path)
{
    const QByteArray json = run(QStringLiteral(HARVELO_SYSTEM_PYTHON), {QStringLiteral(HARVELO_TAG_READER), path});
    QMap<QString, QString> tags;
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    for (auto it = object.begin(); it != object.end(); ++it)
        tags.insert(it.key(), it.value().toString());
    return tags;
}

QString frontCoverText(const QString &mimeType, const QByteArray &bytes)
{
    return QStringLiteral("%1 %2 type 3")
        .arg(mimeType, QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()));
}

std::vector<int16_t> decodeWithFfmpeg(const QString &path)
{
    const QByteArray raw = run(QStringLiteral("ffmpeg"),
                               {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
                                path, QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-")});
    std::vector<int16_t> samples(size_t(raw.size()) / 2);
    if (!samples.empty())
        memcpy(samples.data(), raw.constData(), samples.size() * 2);
    return samples;
}

double ffmpegLoudness(const QStringList &paths)
{
    QStringList args{QStringLiteral("-nostdin"), QStringLiteral("-nostats")};
    QString inputs;
    for (int i = 0; i < paths.size(); ++i) {
        args << QStringLiteral("-i") << paths[i];
        inputs += QStringLiteral("[%1:a]").arg(i);
    }
    // The meter adds lavfi.r128.I to every frame's metadata; the last one is the whole's.
    args << QStringLiteral("-filter_complex")
         << inputs + QStringLiteral("concat=n=%1:v=0:a=1,ebur128=metadata=1,"
                                    "ametadata=mode=print:key=lavfi.r128.I:file=-").arg(paths.size())
         << QStringLiteral("-f") << QStringLiteral("null") << QStringLiteral("-");
    const QStringList lines = QString::fromUtf8(run(QStringLiteral("ffmpeg"), args))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    bool ok = false;
    const double loudness = lines.isEmpty() ? 0 : lines.last().section(QLatin1Char('='), 1).toDouble(&ok);
    return ok ? loudness : NAN;
}

double replayGainDb(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^-?\\d+\\.\\d\\d dB$"));
    return form.match(text).hasMatch() ? text.chopped(3).toDouble() : NAN;
}

double bestCorrelation(const std::vector<int16_t> &a, const std::vector<int16_t> &b, int channels,
                       int channel, int maxLag)
{
    const int64_t framesA = int64_t(a.size()) / channels;
    const int64_t framesB = int64_t(b.size()) / channels;
    // A window from the middle keeps this quick while covering many periods.
    const int64_t window = std::min<int64_t>(8192, std::min(framesA, framesB) / 2);
    const int64_t start = std::min(framesA, framesB) / 4;
    double best = 0;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        double ab = 0, aa = 0, bb = 0;
        for (int64_t f = start; f < start + window; ++f) {
            const int64_t g = f + lag;
            if (g < 0 || g >= framesB)
                continue;
            const double x = a[size_t(f * channels + channel)];
            const double y = b[size_t(g * channels + channel)];
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        if (aa > 0 && bb > 0)
            best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}
