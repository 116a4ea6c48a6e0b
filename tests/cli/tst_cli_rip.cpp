#include "jobs/part_file.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/audio_probe.h"
#include "tests/support/small_folder.h"
#include "tests/support/test_env.h"
#include "tests/support/wav_fixture.h"

#include "tools/cd_image_writer.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

namespace {

const QStringList kTitles{QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")};
constexpr int kTrackMs = 6000;
// The second disc's tracks hold the first disc's patterns of other track numbers.
constexpr int kOtherDisc = 10;

QStringList ripArgs(const QString &disc, const QString &out)
{
    return {QStringLiteral("rip"), QStringLiteral("--device"), disc, QStringLiteral("--format"),
            QStringLiteral("wav"), QStringLiteral("--output"), out};
}

// Which disc's track `track` a ripped file holds: 1, 2, or 0 for neither.
int discOf(const QString &file, int track)
{
    const std::vector<int16_t> audio = decodeWithFfmpeg(file);
    const int64_t frames = cdFramesForMs(kTrackMs);
    if (audio == cdImageSamples(track, 0, frames))
        return 1;
    return audio == cdImageSamples(track + kOtherDisc, 0, frames) ? 2 : 0;
}

// An Ogg file's pages with their stream serial number and checksum blanked: the Vorbis writer
// draws the serial at random for each file, libopusenc with rand() when its encoder starts.
QByteArray withoutOggSerial(QByteArray bytes)
{
    for (qsizetype page = 0; page + 27 <= bytes.size() && bytes.mid(page, 4) == "OggS";) {
        const int segments = uchar(bytes[page + 26]);
        qsizetype body = 0;
        for (int i = 0; i < segments && page + 27 + i < bytes.size(); ++i)
            body += uchar(bytes[page + 27 + i]);
        bytes.replace(page + 14, 4, QByteArray(4, '\0'));
        bytes.replace(page + 22, 4, QByteArray(4, '\0'));
        page += 27 + segments + body;
    }
    return bytes;
}

} // namespace

// harvelo-cli rip where the files go: shared with another rip, or on a full disk.
class TestCliRip : public QObject {
    Q_OBJECT
    QString m_discs[2];

private Q_SLOTS:
    void initTestCase()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("discs"));
        QList<CdImageTrack> tracks;
        for (const QString &title : kTitles)
            tracks.append({cdFramesForMs(kTrackMs), title});
        const QString artist = QStringLiteral("Band"), album = QStringLiteral("Record");
        m_discs[0] = makeCdImage(dir, tracks, artist, album, {QStringLiteral("first.cue")});
        m_discs[1] = makeCdImageOf(
            [](int track, int64_t frame, int16_t *samples) {
                cdimage::patternFrame(track + kOtherDisc, frame, samples);
            },
            dir, tracks, artist, album, {QStringLiteral("second.cue")});
    }

    void init()
    {
        testEnv().clearIni();
        IniFile().write(settings::normalize, QStringLiteral("no"));
    }

    void twoRipsIntoOneFolder_data()
    {
        QTest::addColumn<int>("trial");
        for (int trial = 1; trial <= 4; ++trial)
            QTest::addRow("trial %d", trial) << trial;
    }

    // Two discs with the same names ripped into one folder at once: every file holds one
    // disc's track whole, a rip that says it succeeded has all of its own, and a rip that lost
    // a name to the other one says so.
    void twoRipsIntoOneFolder()
    {
        QFETCH(int, trial);
        const QString out = testEnv().makeDir(QStringLiteral("shared%1").arg(trial));
        QProcess rips[2];
        for (int i = 0; i < 2; ++i)
            rips[i].start(QStringLiteral(HARVELO_CLI_PATH), ripArgs(m_discs[i], out));
        for (QProcess &rip : rips)
            QVERIFY(rip.waitForFinished(60000) && rip.exitStatus() == QProcess::NormalExit);
        for (int t = 1; t <= kTitles.size(); ++t) {
            const int disc = discOf(out + QLatin1Char('/') + kTitles[t - 1] + QStringLiteral(".wav"), t);
            QVERIFY2(disc != 0, qPrintable(kTitles[t - 1]));
            for (int i = 0; i < 2; ++i)
                QVERIFY2(rips[i].exitCode() != 0 || disc == i + 1,
                         qPrintable(QStringLiteral("rip %1 ended well, but %2 holds the other disc").arg(i + 1).arg(kTitles[t - 1])));
        }
        for (QProcess &rip : rips) {
            const QByteArray err = rip.readAllStandardError();
            QVERIFY2(rip.exitCode() == 0 || err.contains("by another writer meanwhile")
                         || err.contains("exists; --force overwrites it"),
                     err.constData());
        }
        const QStringList names = QDir(out).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(std::none_of(names.begin(), names.end(), PartFile::isPartName), qPrintable(names.join(' ')));
    }

    void ripsToFlacAndOpus_data()
    {
        QTest::addColumn<QStringList>("options"); // --format, or the settings of the buttons
        QTest::addColumn<QString>("ext");
        QTest::newRow("--format flac") << QStringList{"--format", "flac"} << "flac";
        QTest::newRow("WAV button writing FLAC") << QStringList{"output type=1", "lossless format=flac"} << "flac";
        QTest::newRow("--format opus") << QStringList{"--format", "opus"} << "opus";
        QTest::newRow("OGG button writing Opus") << QStringList{"output type=3", "ogg codec=opus"} << "opus";
    }

    // A FLAC rip decodes (flac -d, ffmpeg) to the disc's audio sample for sample; an Opus rip
    // has the track's exact length at 48 kHz in ffmpeg and opusdec. Both carry the names.
    void ripsToFlacAndOpus()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, ext);
        const QString out = testEnv().makeDir(QStringLiteral("xiph"));
        QStringList args{QStringLiteral("rip"), QStringLiteral("--device"), m_discs[0],
                         QStringLiteral("--output"), out};
        for (const QString &option : options) {
            const QStringList keyValue = option.split(QLatin1Char('='));
            if (keyValue.size() == 1)
                args << option;
            else
                IniFile().writeString(QStringLiteral("output format"), keyValue[0], keyValue[1]);
        }
        const ProcessResult rip = runProgram(QStringLiteral(HARVELO_CLI_PATH), args);
        QVERIFY2(rip.status == 0, rip.err.constData());
        const int64_t frames = cdFramesForMs(kTrackMs);
        for (int t = 1; t <= kTitles.size(); ++t) {
            const QString file = out + QLatin1Char('/') + kTitles[t - 1] + QLatin1Char('.') + ext;
            const QMap<QString, QString> tags = mutagenTags(file);
            QCOMPARE(tags.value(QStringLiteral("TITLE")), kTitles[t - 1]);
            QCOMPARE(tags.value(QStringLiteral("ARTIST")), QStringLiteral("Band"));
            QCOMPARE(tags.value(QStringLiteral("TRACKNUMBER")), QString::number(t));
            const QString decoded = out + QStringLiteral("/decoded.wav");
            if (ext == QLatin1String("flac")) {
                QCOMPARE(decodeWithFfmpeg(file), cdImageSamples(t, 0, frames));
                QCOMPARE(runProgram(QStandardPaths::findExecutable(QStringLiteral("flac")),
                                    {"-d", "-s", "-f", "-o", decoded, file}).status, 0);
                QCOMPARE(decodeWithFfmpeg(decoded), cdImageSamples(t, 0, frames));
            } else {
                // 588 frames of a sector are 640 at 48 kHz.
                const size_t expected = size_t(frames * 640 / 588) * 2;
                QCOMPARE(decodeWithFfmpeg(file).size(), expected);
                QCOMPARE(runProgram(QStandardPaths::findExecutable(QStringLiteral("opusdec")),
                                    {"--quiet", "--rate", "48000", file, decoded}).status, 0);
                QCOMPARE(decodeWithFfmpeg(decoded).size(), expected);
            }
        }
    }

    void threadsWriteTheSameFiles_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("normalize");
        QTest::addColumn<QString>("threads"); // more than the tracks: 3 with 4
        QTest::newRow("mp3, 2 threads") << "mp3" << "no" << "2";
        QTest::newRow("mp3 normalized, 4 threads") << "mp3" << "yes" << "4";
        QTest::newRow("ogg normalized, 2 threads") << "ogg" << "yes" << "2";
        QTest::newRow("ogg, 4 threads") << "ogg" << "no" << "4";
        QTest::newRow("flac normalized, 2 threads") << "flac" << "yes" << "2";
        QTest::newRow("opus, 2 threads") << "opus" << "no" << "2";
    }

    // A rip that encodes tracks on several threads while the disc is read on writes the files
    // of a rip on one thread byte for byte, tags included, and the same log and cue sheet.
    void threadsWriteTheSameFiles()
    {
        QFETCH(QString, format);
        QFETCH(QString, normalize);
        QFETCH(QString, threads);
        IniFile().write(settings::normalize, normalize);
        QStringList outputs;
        for (const QString &jobs : {QStringLiteral("1"), threads}) {
            outputs << testEnv().makeDir(QStringLiteral("threads-%1-%2-%3").arg(format, normalize, jobs));
            QStringList args = ripArgs(m_discs[0], outputs.last()) << QStringLiteral("-j") << jobs;
            args[4] = format;
            const ProcessResult rip = runProgram(QStringLiteral(HARVELO_CLI_PATH), args);
            QVERIFY2(rip.status == 0, rip.err.constData());
        }
        const QStringList names = QDir(outputs[0]).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(names.size(), kTitles.size() + 2); // and the log and cue sheet
        QCOMPARE(QDir(outputs[1]).entryList(QDir::Files | QDir::Hidden), names);
        // Beside the folder, the log's date, and so its hash, may differ; an Ogg file's serial
        // number is drawn at random.
        const QRegularExpression dated(QStringLiteral("^(Date|SHA-256): .*$"), QRegularExpression::MultilineOption);
        for (const QString &name : names) {
            QByteArray bytes[2];
            for (int i = 0; i < 2; ++i) {
                bytes[i] = fileBytes(outputs[i] + QLatin1Char('/') + name);
                if (name.endsWith(QLatin1String(".ogg")) || name.endsWith(QLatin1String(".opus")))
                    bytes[i] = withoutOggSerial(bytes[i]);
                else if (name.endsWith(QLatin1String(".log")))
                    bytes[i] = QString::fromUtf8(bytes[i]).remove(dated).replace(outputs[i], "OUT").toUtf8();
            }
            QVERIFY2(bytes[0] == bytes[1], qPrintable(name));
            QVERIFY(!bytes[0].isEmpty());
        }
    }

    void enhancedCdSheetGivesTheDiscAgain_data()
    {
        QTest::addColumn<QString>("tracks");
        QTest::addColumn<bool>("dataTrack"); // in the rip's sheet: only after the last audio track
        QTest::newRow("every track") << "1-2" << true;
        QTest::newRow("the first only") << "1" << false;
    }

    // An enhanced CD's data track lies in a session of its own after the audio. The rip's
    // cue sheet gives it as EAC does, so that the sheet, read as a disc, has the disc's freedb
    // and AccurateRip IDs again.
    void enhancedCdSheetGivesTheDiscAgain()
    {
        QFETCH(QString, tracks);
        QFETCH(bool, dataTrack);
        const QDir dir(testEnv().makeDir(QStringLiteral("enhanced")));
        QVERIFY(writeSineWav(dir.filePath(QStringLiteral("a.wav")), {1000 * 588 / 44100.0}));
        QVERIFY(writeFileBytes(dir.filePath(QStringLiteral("e.cue")),
                               "REM DATATRACKLENGTH 00:20:00\nFILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                               " TRACK 02 AUDIO\n  INDEX 01 00:05:00\n TRACK 03 MODE1/2352\n  INDEX 00 00:13:25\n"));
        const auto ripIds = [&](const QString &disc, const QString &out, const QString &which) {
            const ProcessResult rip = runProgram(QStringLiteral(HARVELO_CLI_PATH),
                                                 ripArgs(disc, out) << QStringLiteral("--tracks") << which);
            const QString log = QString::fromUtf8(fileBytes(out + QStringLiteral("/Unknown Album.log")));
            return rip.status == 0 ? log.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^(freedb|AccurateRip) ID: ")))
                                   : QStringList{QString::fromUtf8(rip.err)};
        };
        const QString out = dir.filePath(QStringLiteral("rip"));
        const QStringList ids = ripIds(dir.filePath(QStringLiteral("e.cue")), out, tracks);
        QCOMPARE(ids, (QStringList{"freedb ID: 1700b903", "AccurateRip ID: 002-000037c3-0000a5d3-1700b903"}));
        const QString sheet = out + QStringLiteral("/Unknown Album.cue");
        QCOMPARE(fileBytes(sheet).contains("TRACK 03 MODE1/2352\n    INDEX 00 00:08:25\n"), dataTrack);
        QCOMPARE(fileBytes(sheet).contains("REM DATATRACKLENGTH 00:20:00\n"), dataTrack);
        if (dataTrack)
            QCOMPARE(ripIds(sheet, dir.filePath(QStringLiteral("again")), QStringLiteral("1")), ids);
    }

    void fullDiskIsToldOncePerTrack_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("normalize");
        QTest::newRow("wav") << "wav" << "no";
        QTest::newRow("wav normalized") << "wav" << "yes";
        QTest::newRow("mp3 normalized") << "mp3" << "yes";
        QTest::newRow("flac") << "flac" << "no";
        QTest::newRow("opus normalized") << "opus" << "yes";
    }

    // The output folder holds 16 KB: each track fails with one "File write error!" line.
    void fullDiskIsToldOncePerTrack()
    {
        QFETCH(QString, format);
        QFETCH(QString, normalize);
        IniFile().write(settings::normalize, normalize);
        SmallFolder small(testEnv().makeDir(QStringLiteral("small")) + QStringLiteral("/out"), 16 * 1024);
        QStringList args = ripArgs(m_discs[0], small.path());
        args[4] = format;
        ProcessResult run;
        small.limited([&] { run = runProgram(QStringLiteral(HARVELO_CLI_PATH), args); });
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err.count("File write error!"), qsizetype(kTitles.size()));
        for (int t = 1; t <= kTitles.size(); ++t)
            QVERIFY2(run.err.contains(QStringLiteral("track %1: File write error!").arg(t).toUtf8()), run.err.constData());
        QCOMPARE(small.entries().filter(QStringLiteral(".") + format), QStringList());
    }
};

HARVELO_TEST_MAIN(TestCliRip, QCoreApplication)
#include "tst_cli_rip.moc"
