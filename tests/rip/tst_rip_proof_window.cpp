#include "gui/main/forms.h"
#include "disc/accuraterip_disc_id.h"
#include "disc/audio_grabber.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/rip/rip_fixture.h"
#include "tests/support/accuraterip_fixture.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include <cdio/cdio.h>

namespace {

const QList<int> kRows{1, 2, 12};

// The lines of one track's entry in a log: from "Track N:" to the blank line.
QStringList trackEntry(const QString &log, int track)
{
    const QStringList lines = log.split(QLatin1Char('\n'));
    const qsizetype at = lines.indexOf(QRegularExpression(QStringLiteral("^Track %1: .*").arg(track)));
    if (at < 0)
        return {};
    QStringList entry;
    for (qsizetype i = at + 1; i < lines.size() && !lines[i].isEmpty(); ++i)
        entry.append(lines[i].trimmed());
    return entry;
}

QString valueIn(const QStringList &entry, const QString &key)
{
    for (const QString &line : entry) {
        if (line.startsWith(key + QStringLiteral(": ")))
            return line.mid(key.size() + 2);
    }
    return {};
}

// The CRC-32 of a WAV file's data chunk by Python's zlib, in upper-case hex.
QString dataChunkCrc(const QString &wav)
{
    static const QString script = QStringLiteral(
        "import struct, sys, zlib\n"
        "d = open(sys.argv[1], 'rb').read()\n"
        "assert d[:4] == b'RIFF' and d[8:12] == b'WAVE'\n"
        "i = 12\n"
        "while i + 8 <= len(d):\n"
        "    size = struct.unpack('<I', d[i + 4:i + 8])[0]\n"
        "    if d[i:i + 4] == b'data':\n"
        "        print('%08X' % zlib.crc32(d[i + 8:i + 8 + size]))\n"
        "        break\n"
        "    i += 8 + size + (size & 1)\n");
    const ProcessResult run = runProgram(QStringLiteral("python3"), {QStringLiteral("-c"), script, wav});
    return run.status == 0 ? QString::fromLatin1(run.out.trimmed()) : QStringLiteral("no data chunk");
}

// What the log must say of a normalized track whose loudest sample was `peak`.
QString normalizedLine(int peak)
{
    return QString::asprintf("Normalized: gain %+.2f dB (peak %.1f %% to 98 %%)",
                             20 * std::log10(32767 * 0.98 / peak), peak * 100.0 / 32768);
}

} // namespace

// A rip through the window and the same rip by harvelo-cli: the log's checksums against the
// Python reference over the image's data, the AccurateRip verdict from a local server, the
// cue sheet read back by libcdio, and the same audio from both.
class TestRipProofWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<RipFixture> f;
    QMap<int, ReferenceSums> m_reference;
    QString m_guiLog;
    QMap<int, QString> m_guiFiles;

    qint64 byteOffsetOf(int track) const
    {
        qint64 frames = 0;
        for (int t = 1; t < track; ++t)
            frames += f->frames[t - 1];
        return frames * 4;
    }

    // The server's file: tracks 1 and 12 match by v1, track 2 by v2, the rest unknown.
    QByteArray matchingDbar() const
    {
        QList<QPair<int, quint32>> entries;
        for (int t = 1; t <= 12; ++t) {
            const ReferenceSums &r = m_reference.value(t);
            entries.append(t == 2 ? qMakePair(9, r.v2Value()) : t == 1 || t == 12 ? qMakePair(5, r.v1Value())
                                                                                   : qMakePair(0, 0u));
        }
        return dbarPressing(AccurateRipDiscId::fromToc(fm_main->AudioGrabber.toc()), entries);
    }

    void prepareWithLog(CddbTestServer &server, const QList<int> &rows = kRows,
                        const QString &normalize = QStringLiteral("no"))
    {
        f->prepare(rows, {}, normalize);
        IniFile ini;
        ini.write(settings::writeLog, QStringLiteral("yes"));
        ini.write(settings::accurateRipServer, server.address());
        const AccurateRipDiscId id = AccurateRipDiscId::fromToc(fm_main->AudioGrabber.toc());
        server.setFile(id.urlPath(), matchingDbar());
    }

private Q_SLOTS:
    void initTestCase()
    {
        f = std::make_unique<RipFixture>();
        const QString bin = QFileInfo(f->disc).path() + QStringLiteral("/disc.bin");
        for (int t = 1; t <= 12; ++t) {
            m_reference[t] = referenceSums(bin, byteOffsetOf(t), f->frames[t - 1], t == 1, t == 12);
            QVERIFY(m_reference[t].ok());
        }
    }
    void cleanupTestCase() { f.reset(); }

    void windowRipWritesLogAndCue()
    {
        CddbTestServer server;
        prepareWithLog(server);
        f->rip(1);
        const QString dir = f->outDir() + QStringLiteral("/Band");
        m_guiLog = QString::fromUtf8(fileBytes(dir + QStringLiteral("/Album.log")));
        QVERIFY(!m_guiLog.isEmpty());
        const QStringList verdicts{"accurately ripped (v1, confidence 5)", "accurately ripped (v2, confidence 9)",
                                   "accurately ripped (v1, confidence 5)"};
        for (int i = 0; i < kRows.size(); ++i) {
            const QStringList entry = trackEntry(m_guiLog, kRows[i]);
            const ReferenceSums &r = m_reference[kRows[i]];
            QCOMPARE(valueIn(entry, "CRC32"), r.crc32.toUpper());
            QCOMPARE(valueIn(entry, "AccurateRip v1"), r.v1.toUpper());
            QCOMPARE(valueIn(entry, "AccurateRip v2"), r.v2.toUpper());
            QCOMPARE(valueIn(entry, "AccurateRip"), verdicts[i]);
            QCOMPARE(valueIn(entry, "File"), f->trackFile(kRows[i], ".wav"));
            QVERIFY(sameAsDisc(f->trackFile(kRows[i], ".wav"), kRows[i], f->frames[kRows[i] - 1]));
            m_guiFiles[kRows[i]] = f->trackFile(kRows[i], ".wav");
        }
        QVERIFY(m_guiLog.contains(QStringLiteral("\nSummary: All tracks accurately ripped; ")));
        QVERIFY(f->prompter.boxes.isEmpty()); // the window says nothing more than before

        QVERIFY(QFile(dir + QStringLiteral("/Album.bin")).open(QIODevice::WriteOnly)); // libcdio opens it
        CdIo_t *cdio = cdio_open_cue(QFile::encodeName(dir + QStringLiteral("/Album.cue")).constData());
        QVERIFY(cdio);
        QCOMPARE(int(cdio_get_num_tracks(cdio)), 3);
        cdio_destroy(cdio);
    }

    void logSaysWhatTheFilesHold_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("normalize");
        QTest::addColumn<int>("grabMode");
        QTest::addColumn<int>("skipped"); // a row whose earlier file is kept (answered No)
        QTest::addColumn<int>("stopped"); // the counter at whose first block Stop is pressed
        QTest::addColumn<QString>("readMode");
        QTest::addColumn<QString>("summary");
        QTest::newRow("as read") << QList<int>{1, 2} << "no" << 1 << 0 << 0 << "1 \"Burst mode\""
                                 << "All tracks accurately ripped; files bit-identical to the disc";
        QTest::newRow("normalized") << QList<int>{1, 2} << "yes" << 3 << 0 << 0
                                    << "3 \"Secure Mode (Double Precision Error Correction)\""
                                    << "All tracks accurately ripped; files normalized, not bit-identical to the disc";
        QTest::newRow("skipped") << QList<int>{1, 2, 3} << "no" << 2 << 2 << 0
                                 << "2 \"Synch mode(Correct Jitter Errors)\""
                                 << "1 of 2 tracks accurate; files bit-identical to the audio read";
        QTest::newRow("stopped") << QList<int>{1, 2, 3} << "yes" << 7 << 0 << 2
                                 << "7, read as \"Paranoid Mode (Small Blocks Read, drive cache disable)\""
                                 << "All tracks accurately ripped; files normalized, not bit-identical to the disc";
    }
    // Per track the log tells what was read (against the Python reference over the image) and
    // what the file holds: the gain, the format and the CRC of the file's data chunk as Python
    // reads it; a line for each track skipped or stopped, and a summary that tells the two apart.
    void logSaysWhatTheFilesHold()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, normalize);
        QFETCH(int, skipped);
        QFETCH(int, stopped);
        CddbTestServer server;
        prepareWithLog(server, rows, normalize);
        QFETCH(int, grabMode);
        IniFile().write(settings::grabMode, grabMode);
        if (skipped != 0) {
            QVERIFY(QDir().mkpath(QFileInfo(f->trackFile(skipped, ".wav")).path()));
            QVERIFY(writeFileBytes(f->trackFile(skipped, ".wav"), "keep me"));
            f->prompter.answers << Prompter::Answer::No;
        }
        // The Stop comes while the second track is read: on one encoder thread the first is
        // certainly saved by then (on more, a Stop also ends its encoder if it is still at work).
        IniFile().write(settings::encoderThreads, 1);
        f->onProgress = [stopped, done = false](int percent) mutable {
            if (!done && percent > 0 && fm_progress->lbl_tracknum->text() == QString::number(stopped)) {
                done = true;
                fm_progress->skbtn_abort->click();
            }
        };
        f->rip(1);
        const QString log = QString::fromUtf8(fileBytes(f->outDir() + QStringLiteral("/Band/Album.log")));
        QVERIFY(!log.isEmpty());
        const QStringList lines = log.split(QLatin1Char('\n'));
        QTEST(lines.filter(QRegularExpression("^Read mode: ")).value(0).mid(11), "readMode");
        QVERIFY(lines.contains(QStringLiteral("Drive vendor: unknown"))); // an image has none
        QFETCH(QString, summary);
        QCOMPARE(lines.value(lines.size() - 3), QStringLiteral("Summary: ") + summary);
        QCOMPARE(lines.value(lines.size() - 4) == QStringLiteral("Rip stopped"), stopped != 0);
        const QString body = log.left(log.lastIndexOf(QStringLiteral("SHA-256: ")));
        QCOMPARE(lines.value(lines.size() - 2),
                 QStringLiteral("SHA-256: ") + QCryptographicHash::hash(body.toUtf8(), QCryptographicHash::Sha256).toHex());

        for (int row : rows) {
            const QStringList entry = trackEntry(log, row);
            if (row == skipped || row == stopped || (stopped != 0 && row > stopped)) {
                const QString end = row == skipped ? QStringLiteral("skipped") : QStringLiteral("stopped");
                // A track after the one stopped was never reached: the log says nothing of it.
                QCOMPARE(entry, row > stopped && stopped != 0 ? QStringList()
                                                              : QStringList{"Not ripped: " + end + ", no file written"});
                continue;
            }
            const ReferenceSums &read = m_reference[row];
            const QString file = f->trackFile(row, ".wav");
            QCOMPARE(valueIn(entry, "File"), file);
            QCOMPARE(valueIn(entry, "CRC32"), read.crc32.toUpper());
            QCOMPARE(valueIn(entry, "Format"), QStringLiteral("WAV, 16-bit PCM, 44100 Hz, stereo"));
            const QString fileCrc = dataChunkCrc(file);
            QCOMPARE(valueIn(entry, "File CRC32"), fileCrc);
            if (normalize == QLatin1String("yes")) {
                QVERIFY2(entry.contains(normalizedLine(read.peak)), qPrintable(entry.join(" / ") + " <> " + normalizedLine(read.peak)));
                QVERIFY(fileCrc != read.crc32.toUpper());
            } else {
                QVERIFY(entry.contains(QStringLiteral("Not normalized")));
                QCOMPARE(fileCrc, read.crc32.toUpper());
            }
        }
    }

    // The same rip without a window: the same audio, the same checksums and verdicts.
    void commandLineRipMatchesTheWindow()
    {
        QVERIFY(!m_guiLog.isEmpty());
        CddbTestServer server;
        prepareWithLog(server);
        const QString out = testEnv().makeDir(QStringLiteral("cli"));
        const QStringList args{QStringLiteral("rip"), QStringLiteral("--device"), f->disc,
                               QStringLiteral("--tracks"), QStringLiteral("1-2,12"), QStringLiteral("--format"),
                               QStringLiteral("wav"), QStringLiteral("--output"), out};
        const ProcessResult run = runProgram(QStringLiteral(HARVELO_CLI), args);
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.contains("track 3 of 3: 100%"));
        const QString log = QString::fromUtf8(fileBytes(out + QStringLiteral("/Band/Album.log")));
        for (int row : kRows) {
            const QString file = out + QStringLiteral("/Band/%1-Song %1.wav").arg(row);
            QCOMPARE(probeAudio(file).codec, QStringLiteral("pcm_s16le"));
            QVERIFY(decodeWithFfmpeg(file) == decodeWithFfmpeg(m_guiFiles.value(row)));
            QStringList cli = trackEntry(log, row), gui = trackEntry(m_guiLog, row);
            QVERIFY(!cli.isEmpty());
            cli.removeFirst(); // the file's path
            gui.removeFirst();
            QCOMPARE(cli, gui);
        }
        // Existing files stay unless --force.
        const ProcessResult again = runProgram(QStringLiteral(HARVELO_CLI), args);
        QCOMPARE(again.status, 1);
        QVERIFY2(again.err.contains((out + "/Band/1-Song 1.wav exists; --force overwrites it").toUtf8()), again.err.constData());
        QCOMPARE(runProgram(QStringLiteral(HARVELO_CLI), args + QStringList{"--force", "--format", "mp3"}).status, 0);
        QCOMPARE(probeAudio(out + QStringLiteral("/Band/12-Song 12.mp3")).codec, QStringLiteral("mp3"));
    }

    // An album name too long for one file name still gets its log and cue sheet, cut to fit
    // 255 bytes with the extension and the " (2)" of a second rip.
    void commandLineLogOfALongAlbumName()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("long-album"));
        const QString album(300, QChar(0x00C5)); // two bytes each in UTF-8
        const QString disc = makeCdImage(dir, {{cdFramesForMs(200), QStringLiteral("One")}},
                                         QStringLiteral("Band"), album);
        const QString out = testEnv().makeDir(QStringLiteral("long-album-out"));
        const QStringList args{QStringLiteral("rip"), QStringLiteral("--device"), disc, QStringLiteral("--format"),
                               QStringLiteral("wav"), QStringLiteral("--output"), out, QStringLiteral("--force")};
        const QString first(125, QChar(0x00C5)), second = QString(123, QChar(0x00C5)) + QStringLiteral(" (2)");
        for (const QString &base : {first, second}) {
            const ProcessResult run = runProgram(QStringLiteral(HARVELO_CLI), args);
            QCOMPARE(run.status, 0);
            QStringList written;
            for (const QString &line : QString::fromUtf8(run.err).split(QLatin1Char('\n'))) {
                if (line.startsWith(QStringLiteral("wrote ")) && QFileInfo::exists(line.mid(6)))
                    written.append(QFileInfo(line.mid(6)).fileName());
            }
            QCOMPARE(written, (QStringList{base + QStringLiteral(".log"), base + QStringLiteral(".cue")}));
        }
    }

    void commandLineHelpAndBadArguments()
    {
        const ProcessResult help = runProgram(QStringLiteral(HARVELO_CLI), {QStringLiteral("rip"), QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("SYNOPSIS") && help.out.contains("EXIT STATUS"));
        for (const QStringList &bad : {QStringList{"--tracks", "0"}, QStringList{"--tracks", "3-1"},
                                       QStringList{"--tracks", "13"}, QStringList{"--format", "ape"},
                                       QStringList{"--offset", "3001"}}) {
            const ProcessResult run = runProgram(QStringLiteral(HARVELO_CLI),
                                                 QStringList{"rip", "--device", f->disc} + bad);
            QCOMPARE(run.status, 1);
        }
    }
};

HARVELO_TEST_MAIN(TestRipProofWindow, QApplication)
#include "tst_rip_proof_window.moc"
