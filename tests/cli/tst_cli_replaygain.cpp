#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include <QDir>
#include <QtTest>
#include <cmath>

namespace {

constexpr int kTracks = 3;
constexpr int kTrackMs = 5000;
// Sines of other levels, so that each track's gain differs from the album's.
constexpr double kAmplitude[kTracks] = {0.5, 0.2, 0.8};

void sineFrame(int track, int64_t frame, int16_t *samples)
{
    const double value = kAmplitude[track - 1] * 32767.0 * std::sin(2 * M_PI * 997.0 * double(frame) / 44100.0);
    samples[0] = samples[1] = int16_t(std::lround(value));
}

std::vector<int16_t> trackSamples(int track)
{
    std::vector<int16_t> samples;
    for (int64_t f = 0; f < cdFramesForMs(kTrackMs); ++f) {
        int16_t frame[2];
        sineFrame(track, f, frame);
        samples.insert(samples.end(), frame, frame + 2);
    }
    return samples;
}

double samplePeak(const std::vector<int16_t> &samples)
{
    int peak = 0;
    for (int16_t s : samples)
        peak = std::max(peak, std::abs(int(s)));
    return peak / 32768.0;
}

} // namespace

// ReplayGain written by a rip and a batch conversion, read back with mutagen and checked
// against ffmpeg's R128 meter; the audio is the same as without it.
class TestCliReplayGain : public QObject {
    Q_OBJECT
    QString m_disc;
    QStringList m_wavs;
    double m_loudness[kTracks] = {};
    double m_albumLoudness = 0;
    double m_peak[kTracks] = {};

    // A rip of the disc, or a batch conversion of its tracks as WAV files, with `mode`.
    QStringList run(const QString &job, const QString &ext, const QString &mode, const QString &out)
    {
        IniFile().writeString(QStringLiteral("output format"), QStringLiteral("replaygain"), mode);
        QStringList args{QStringLiteral("--output-dir"), out, QStringLiteral("--format"), ext};
        args = job == QLatin1String("rip") ? QStringList{"rip", "--device", m_disc, "--format", ext, "--output", out}
                                           : QStringList{"convert"} + args + m_wavs;
        const ProcessResult r = runProgram(QStringLiteral(HARVELO_CLI_PATH), args, 120000);
        if (r.status != 0)
            qWarning() << r.err;
        QStringList files;
        for (int t = 1; r.status == 0 && t <= kTracks; ++t)
            files << out + QStringLiteral("/t%1.").arg(t) + ext;
        return files;
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("source"));
        QList<CdImageTrack> tracks;
        for (int t = 1; t <= kTracks; ++t) {
            tracks.append({cdFramesForMs(kTrackMs), QStringLiteral("t%1").arg(t)});
            const std::vector<int16_t> samples = trackSamples(t);
            m_wavs << dir + QStringLiteral("/t%1.wav").arg(t);
            QVERIFY(writeWav(m_wavs.last(), samples, 44100, 2));
            m_loudness[t - 1] = ffmpegLoudness({m_wavs.last()});
            m_peak[t - 1] = samplePeak(samples);
        }
        m_albumLoudness = ffmpegLoudness(m_wavs);
        QVERIFY(std::isfinite(m_albumLoudness));
        m_disc = makeCdImageOf(sineFrame, testEnv().makeDir(QStringLiteral("disc")), tracks,
                               QStringLiteral("Band"), QStringLiteral("Record"));
    }

    void init()
    {
        testEnv().clearIni();
        IniFile().write(settings::normalize, QStringLiteral("no"));
    }

    void writesGainTags_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("mode");
        for (const char *ext : {"mp3", "ogg", "opus", "flac", "wma"})
            QTest::addRow("rip %s album", ext) << "rip" << ext << "album";
        QTest::newRow("rip flac track") << "rip" << "flac" << "track";
        QTest::newRow("rip mp3 no") << "rip" << "mp3" << "no";
        for (const char *ext : {"mp3", "opus", "flac"})
            QTest::addRow("batch %s album", ext) << "batch" << ext << "album";
        QTest::newRow("batch ogg track") << "batch" << "ogg" << "track";
    }

    // Track values (and album values for "album") under each format's names, within 0.1 dB of
    // ffmpeg's meter (the album: of the tracks played as one), sample peaks to the sixth
    // decimal; none with "no"; Opus only R128_*_GAIN. Decoded, the files equal those written
    // with "no"; the rip's log says what was written.
    void writesGainTags()
    {
        QFETCH(QString, job);
        QFETCH(QString, ext);
        QFETCH(QString, mode);
        const QString name = job + ext + mode;
        const QStringList files = run(job, ext, mode, testEnv().makeDir(name));
        const QStringList plain = run(job, ext, QStringLiteral("no"), testEnv().makeDir(name + QStringLiteral("-no")));
        QCOMPARE(files.size(), kTracks);
        QCOMPARE(plain.size(), kTracks);
        const bool rip = job == QLatin1String("rip");
        const QString log = rip ? QString::fromUtf8(fileBytes(QFileInfo(files[0]).dir().filePath(QStringLiteral("Record.log")))) : QString();
        QVERIFY(!rip || !log.isEmpty());
        for (int t = 1; t <= kTracks; ++t) {
            QCOMPARE(decodeWithFfmpeg(files[t - 1]), decodeWithFfmpeg(plain[t - 1]));
            QString logLine = QStringLiteral("ReplayGain: none");
            checkTags(files[t - 1], t, mode, &logLine);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(!rip || log.contains(logLine), qPrintable(logLine + QLatin1Char('\n') + log));
        }
    }

private:
    // The gain tags of track t's file as `mode` wants them, and the log's line that says so.
    void checkTags(const QString &file, int t, const QString &mode, QString *logLine) const
    {
        const QMap<QString, QString> tags = mutagenTags(file);
        QVERIFY2(!tags.isEmpty(), qPrintable(file));
        QStringList gainKeys;
        for (auto it = tags.begin(); it != tags.end(); ++it)
            if (it.key().contains(QStringLiteral("GAIN")) || it.key().contains(QStringLiteral("PEAK")))
                gainKeys << it.key() + QLatin1Char('=') + it.value();
        const bool album = mode == QLatin1String("album");
        const int fields = mode == QLatin1String("no") ? 0 : album ? 2 : 1;
        if (file.endsWith(QLatin1String(".opus"))) {
            QCOMPARE(gainKeys.size(), fields); // R128_*_GAIN, no peak and no REPLAYGAIN_*
            checkGain(-23.0 - tags.value(QStringLiteral("R128_TRACK_GAIN"), "nan").toInt() / 256.0, m_loudness[t - 1], fields >= 1);
            checkGain(-23.0 - tags.value(QStringLiteral("R128_ALBUM_GAIN"), "nan").toInt() / 256.0, m_albumLoudness, album);
            if (fields)
                *logLine = album ? QStringLiteral(" dB, peak ") + QString::number(m_peak[t - 1], 'f', 6) + QStringLiteral("; album ")
                                 : QStringLiteral("ReplayGain: track ");
            return;
        }
        QCOMPARE(gainKeys.size(), 2 * fields);
        if (!fields)
            return;
        const QString prefix = file.endsWith(QLatin1String(".mp3")) ? QStringLiteral("TXXX:REPLAYGAIN_") : QStringLiteral("REPLAYGAIN_");
        const QString peak = QString::number(*std::max_element(m_peak, m_peak + kTracks), 'f', 6);
        const QString values[] = {tags.value(prefix + "TRACK_GAIN"), tags.value(prefix + "TRACK_PEAK"),
                                  tags.value(prefix + "ALBUM_GAIN"), tags.value(prefix + "ALBUM_PEAK")};
        checkGain(-18.0 - replayGainDb(values[0]), m_loudness[t - 1], true);
        QCOMPARE(values[1], QString::number(m_peak[t - 1], 'f', 6));
        *logLine = QStringLiteral("ReplayGain: track %1, peak %2").arg(values[0], values[1]);
        if (album) {
            checkGain(-18.0 - replayGainDb(values[2]), m_albumLoudness, true);
            QCOMPARE(values[3], peak);
            *logLine += QStringLiteral("; album %1, peak %2").arg(values[2], values[3]);
        }
    }

    // A loudness from the tags within 0.1 dB of ffmpeg's.
    static void checkGain(double tagged, double measured, bool expected)
    {
        if (expected)
            QVERIFY2(std::abs(tagged - measured) <= 0.1, qPrintable(QStringLiteral("%1 LUFS, ffmpeg %2").arg(tagged).arg(measured)));
    }
};

HARVELO_TEST_MAIN(TestCliReplayGain, QCoreApplication)
#include "tst_cli_replaygain.moc"
