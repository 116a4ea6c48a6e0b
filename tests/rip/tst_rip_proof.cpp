#include "disc/audio_grabber.h"
#include "disc/cd_disc.h"
#include "disc/disc_codes.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "rip/cue_writer.h"
#include "rip/rip_log.h"
#include "rip/rip_proof.h"
#include "tests/support/accuraterip_fixture.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>

#include <cdio/cdio.h>

namespace {

// What the files of reportOf hold.
enum class Files { AsRead, Normalized, Lossy, Differ };

RipReport reportOf(AccurateRipAnswer::Status status, const QList<AccurateRipVerdict::Kind> &kinds,
                   Files files = Files::AsRead)
{
    RipReport r;
    r.date = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
    r.toc.tracks = {{1, 0, 400, true}, {2, 400, 300, true}, {3, 700, 200, true}};
    r.toc.leadoutLsn = 900;
    r.accurateRipStatus = status;
    r.driveVendor = QStringLiteral("PLEXTOR");
    r.driveModel = QStringLiteral("DVDR   PX-716A\nSummary: forged");
    r.artist = QStringLiteral("Band \"X\"");
    r.album = QStringLiteral("Ålbum: one/two");
    for (int i = 0; i < kinds.size(); ++i) {
        RippedTrack t;
        t.number = i + 1;
        t.title = QStringLiteral("Song %1").arg(i + 1);
        t.path = QStringLiteral("/music/Band/%1-Song.wav").arg(i + 1);
        t.verdict.kind = kinds[i];
        t.verdict.confidence = 4;
        t.verdict.version = 2;
        t.sums.crc32 = 0x1234567u + uint32_t(i);
        t.written.format = QStringLiteral("WAV");
        t.written.lossless = files != Files::Lossy;
        if (t.written.lossless)
            t.written.crc32 = t.sums.crc32 ^ (files == Files::Differ && i == 1 ? 1 : 0);
        t.written.normalizeOn = files == Files::Normalized;
        t.written.peakBefore = 1000;
        t.written.ratio = 98;
        r.tracks.append(t);
    }
    return r;
}

// A sheet and data file with a catalog number, ISRCs and a pregap, as a pressed disc has.
QString codedImage(const QString &dir)
{
    QFile bin(dir + QStringLiteral("/coded.bin"));
    if (!bin.open(QIODevice::WriteOnly) || !bin.resize(2352 * 600))
        return {};
    QFile cue(dir + QStringLiteral("/coded.cue"));
    if (!cue.open(QIODevice::WriteOnly))
        return {};
    cue.write("CATALOG 0731454049021\nFILE \"coded.bin\" BINARY\n"
              "  TRACK 01 AUDIO\n    ISRC USABC9900001\n    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    ISRC USABC9900002\n    INDEX 00 00:02:00\n    INDEX 01 00:04:00\n"
              "  TRACK 03 AUDIO\n    INDEX 01 00:06:00\n");
    return cue.fileName();
}

// A dBAR pressing whose head is changed after it is built: `field` 0 is the track count byte,
// 1 to 3 the two disc sums and the freedb ID.
QByteArray forgedPressing(const AccurateRipDiscId &id, const QList<QPair<int, quint32>> &tracks,
                          int field, quint32 value)
{
    QByteArray bytes = dbarPressing(id, tracks);
    if (field == 0) {
        bytes[0] = char(value);
        return bytes;
    }
    for (int i = 0; i < 4; ++i)
        bytes[1 + 4 * (field - 1) + i] = char(value >> (8 * i));
    return bytes;
}

// The line a log holds after `head`, without the head; empty when there is none.
QString lineAfter(const QString &log, const QString &head)
{
    const qsizetype at = log.indexOf(QLatin1Char('\n') + head);
    if (at < 0)
        return {};
    const qsizetype start = at + 1 + head.size();
    return log.mid(start, log.indexOf(QLatin1Char('\n'), start) - start);
}

} // namespace

class TestRipProof : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_disc = makeCdImage(testEnv().makeDir(QStringLiteral("two tracks")), {{cdFramesForMs(300)}, {cdFramesForMs(400)}});
        QVERIFY(!m_disc.isEmpty());
    }
    void init() { testEnv().clearIni(); }

    void summary_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("summary");
        using V = AccurateRipVerdict;
        const int found = AccurateRipAnswer::Found;
        const int asRead = int(Files::AsRead);
        QTest::newRow("all") << found << QList<int>{V::Accurate, V::Accurate} << asRead
                             << "All tracks accurately ripped; files bit-identical to the disc";
        QTest::newRow("some") << found << QList<int>{V::Accurate, V::Mismatch, V::NotPresent} << asRead
                              << "1 of 3 tracks accurate; files bit-identical to the audio read";
        QTest::newRow("disc unknown") << int(AccurateRipAnswer::NotPresent) << QList<int>{V::NotPresent, V::NotPresent}
                                      << asRead << "0 of 2 tracks accurate; files bit-identical to the audio read";
        QTest::newRow("offline") << int(AccurateRipAnswer::NotChecked) << QList<int>{V::NotChecked} << asRead
                                 << "AccurateRip not checked; files bit-identical to the audio read";
        QTest::newRow("broken answer") << int(AccurateRipAnswer::Broken) << QList<int>{V::NotChecked} << asRead
                                       << "AccurateRip not checked; files bit-identical to the audio read";
        QTest::newRow("normalized") << found << QList<int>{V::Accurate, V::Accurate} << int(Files::Normalized)
                                    << "All tracks accurately ripped; files normalized, not bit-identical to the disc";
        QTest::newRow("lossy") << found << QList<int>{V::Accurate} << int(Files::Lossy)
                               << "All tracks accurately ripped; files in a lossy format, not bit-identical to the disc";
        QTest::newRow("a file that differs") << found << QList<int>{V::Accurate, V::Accurate} << int(Files::Differ)
                                             << "All tracks accurately ripped; files differ from the audio read";
    }
    // The summary is the line before the last; the last is the SHA-256 of all text above it,
    // the summary too, which a changed character no longer matches.
    void summary()
    {
        QFETCH(int, status);
        QFETCH(QList<int>, kinds);
        QFETCH(int, files);
        QFETCH(QString, summary);
        QList<AccurateRipVerdict::Kind> verdicts;
        for (int k : kinds)
            verdicts.append(AccurateRipVerdict::Kind(k));
        const QString text = ripLogText(reportOf(AccurateRipAnswer::Status(status), verdicts, Files(files)));
        QVERIFY(text.endsWith(QLatin1Char('\n')));
        const QStringList lines = text.split(QLatin1Char('\n'));
        QCOMPARE(lines[lines.size() - 3], QStringLiteral("Summary: ") + summary);
        const QString body = text.left(text.lastIndexOf(QStringLiteral("SHA-256: ")));
        const QByteArray sha = QCryptographicHash::hash(body.toUtf8(), QCryptographicHash::Sha256).toHex();
        QCOMPARE(lines[lines.size() - 2], QStringLiteral("SHA-256: ") + QString::fromLatin1(sha));
        QVERIFY(body.contains(QStringLiteral("Album: Ålbum: one/two\n")));
        QVERIFY(body.contains(QStringLiteral("\nDrive vendor: PLEXTOR\nDrive model: DVDR   PX-716A\u240ASummary: forged\n")));
        QCOMPARE(text.count(QStringLiteral("\nSummary: ")), 1);
    }

    void normalization_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("peak");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<QString>("line");
        QTest::newRow("off") << false << 11567 << 98 << "Not normalized";
        QTest::newRow("silent") << true << 0 << 98 << "Not normalized: the track is silent";
        QTest::newRow("raised") << true << 11567 << 98 << "Normalized: gain +8.87 dB (peak 35.3 % to 98 %)";
        QTest::newRow("lowered") << true << 32768 << 98 << "Normalized: gain -0.18 dB (peak 100.0 % to 98 %)";
        QTest::newRow("ratio above 100") << true << 16384 << 150 << "Normalized: gain +6.02 dB (peak 50.0 % to 100 %)";
    }
    // The gain as the normalizer applies it: the peak brought to the ratio of full scale.
    void normalization()
    {
        WrittenAudio written;
        QFETCH(bool, on);
        QFETCH(int, peak);
        QFETCH(int, ratio);
        written.normalizeOn = on;
        written.peakBefore = peak;
        written.ratio = ratio;
        QTEST(written.normalizationText(), "line");
        QCOMPARE(written.normalized(), on && peak > 0);
    }

    void foreignAnswers_data()
    {
        QTest::addColumn<QByteArray>("dbar");
        QTest::addColumn<QString>("database"); // the log's "AccurateRip database:" line
        QTest::addColumn<QString>("summary");
        // Track 1 sums kV1 and kV2, track 2 is silent: its sums are 0.
        const AccurateRipDiscId id = discId();
        const QList<QPair<int, quint32>> match{{5, kV1}, {7, 0}};
        QList<QPair<int, quint32>> many(255, {9, kV2});
        many[1] = {9, 0};
        const QString found = QStringLiteral("found");
        const QString other = QStringLiteral("not checked (the answer was for another disc)");
        QTest::newRow("this disc") << dbarPressing(id, match) << found << "All tracks accurately ripped";
        QTest::newRow("another first disc sum") << forgedPressing(id, match, 1, id.id1 + 1) << other << "AccurateRip not checked";
        QTest::newRow("another second disc sum") << forgedPressing(id, match, 2, id.id2 ^ 0x100) << other << "AccurateRip not checked";
        QTest::newRow("another freedb ID") << forgedPressing(id, match, 3, 0x12345678) << other << "AccurateRip not checked";
        QTest::newRow("255 tracks") << dbarPressing(id, many) << other << "AccurateRip not checked";
        QTest::newRow("one track") << dbarPressing(id, {{5, kV1}}) << other << "AccurateRip not checked";
        // Only this disc's pressing counts, whatever another one beside it says.
        QTest::newRow("another disc beside this one")
            << forgedPressing(id, match, 1, 7) + dbarPressing(id, {{3, 0x1111}, {4, 0x2222}}) << found
            << "0 of 2 tracks accurate";
        // Confidence 0 and checksum 0 hold no checksum, even for a silent track whose sums are 0.
        QTest::newRow("placeholder") << dbarPressing(id, {{5, kV1}, {0, 0}}) << found << "1 of 2 tracks accurate";
        QTest::newRow("for no disc") << forgedPressing(id, match, 1, 0) << other << "AccurateRip not checked";
    }
    // An AccurateRip answer counts only when it is for this disc: its track count, both disc
    // sums and its freedb ID; what the log then says of the disc and in its summary.
    void foreignAnswers()
    {
        QFETCH(QByteArray, dbar);
        setCdDevices({m_disc});
        AudioGrabber grabber;
        grabber.setDriveNum(grabber.driveCount());
        grabber.ReadTOC();
        CddbTestServer server;
        server.setFile(discId().urlPath(), dbar);
        IniFile ini;
        ini.write(settings::accurateRipServer, server.address());
        const QString dir = testEnv().makeDir(QString::fromLatin1(QTest::currentDataTag()));
        RipProof proof(grabber, QStringLiteral("Band"), QStringLiteral("Album"));
        TrackChecksums sums;
        sums.accurateRipV1 = kV1;
        sums.accurateRipV2 = kV2;
        proof.addTrack(1, dir + QStringLiteral("/1.wav"), QStringLiteral("One"), sums, 1, 0);
        proof.addTrack(2, dir + QStringLiteral("/2.wav"), QStringLiteral("Two"), TrackChecksums(), 1, 0);
        QCOMPARE(proof.write(ini).size(), 2);
        const QString log = QString::fromUtf8(fileBytes(dir + QStringLiteral("/Album.log")));
        const QStringList lines = log.split(QLatin1Char('\n'));
        QFETCH(QString, summary);
        QCOMPARE(lines[lines.size() - 3].section(QStringLiteral("; "), 0, 0), QStringLiteral("Summary: ") + summary);
        QTEST(lineAfter(log, QStringLiteral("AccurateRip database: ")), "database");
    }

    // The catalog, ISRCs and pregaps the disc gives reach the sheet; libcdio reads it back:
    // each FILE starts at its track's INDEX 01, and a pregap lies as INDEX 00 in the file
    // before, so the files' lengths and the indexes give the disc's track starts again.
    void cueSheetParsesBackToTheToc()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("coded"));
        const auto disc = CdDisc::open(codedImage(dir));
        QVERIFY(disc);
        const DiscCodes codes = readDiscCodes(*disc);
        QCOMPARE(codes.catalog, QStringLiteral("0731454049021"));
        QCOMPARE(codes.isrcs, (QStringList{"USABC9900001", "USABC9900002", ""}));
        QCOMPARE(codes.pregapSectors, (QList<int>{0, 150, 0}));
        RipReport report = reportOf(AccurateRipAnswer::Found, {AccurateRipVerdict::Accurate,
                                                               AccurateRipVerdict::Accurate,
                                                               AccurateRipVerdict::Accurate});
        report.toc = disc->toc();
        const QString out = testEnv().makeDir(QStringLiteral("cue"));
        for (RippedTrack &t : report.tracks)
            t.path = out + QStringLiteral("/%1 \"q\".wav").arg(t.number);
        const QString sheet = out + QStringLiteral("/album.cue");
        QVERIFY(writeFileBytes(sheet, cueSheetText(report, codes, out).toUtf8()));
        QVERIFY(QFile(out + QStringLiteral("/album.bin")).open(QIODevice::WriteOnly)); // libcdio opens it

        CdIo_t *cdio = cdio_open_cue(QFile::encodeName(sheet).constData());
        QVERIFY(cdio);
        QCOMPARE(int(cdio_get_num_tracks(cdio)), 3);
        char *mcn = cdio_get_mcn(cdio);
        QCOMPARE(QString::fromLatin1(mcn), QStringLiteral("0731454049021"));
        cdio_free(mcn);
        int start = report.toc.tracks[0].firstLsn;
        for (int t = 1; t <= 3; ++t) {
            const CdTocTrack &toc = report.toc.tracks[size_t(t - 1)];
            QCOMPARE(start, toc.firstLsn);
            QCOMPARE(int(cdio_get_track_lsn(cdio, track_t(t))), 0); // INDEX 01 opens its file
            if (t == 2) // INDEX 00 in track 1's file, 150 sectors before its end
                QCOMPARE(int(cdio_get_track_pregap_lsn(cdio, 2)), report.toc.tracks[0].sectors - 150);
            char *isrc = cdio_get_track_isrc(cdio, track_t(t));
            QCOMPARE(QString::fromLatin1(isrc), codes.isrcs[t - 1]);
            cdio_free(isrc);
            start += toc.sectors; // the file of track t holds exactly its sectors
        }
        cdio_destroy(cdio);
        const QString text = QString::fromUtf8(fileBytes(sheet));
        QVERIFY(text.contains(QStringLiteral("FILE \"1 'q'.wav\" WAVE\n")));
        QVERIFY(text.contains(QStringLiteral("PERFORMER \"Band 'X'\"\n")));
    }

    // The names pass the naming rule's replacements; an earlier log is never replaced, and
    // "write log" other than yes writes nothing.
    void writesBesideTheLastTrack()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("proof"));
        setCdDevices({makeCdImage(dir, {{cdFramesForMs(200)}})});
        AudioGrabber grabber;
        grabber.setDriveNum(grabber.driveCount());
        grabber.ReadTOC();
        IniFile ini;
        ini.write(settings::accurateRipServer, QStringLiteral("127.0.0.1:9"));
        RipProof proof(grabber, QStringLiteral("Band"), QStringLiteral("A: B/C?"));
        QCOMPARE(proof.write(ini), QStringList()); // nothing ripped
        proof.addTrack(1, dir + QStringLiteral("/sub/1.wav"), QStringLiteral("One"), {}, 1, 0);
        QVERIFY(proof.anyTrackIncomplete()); // no frame of the one expected
        QVERIFY(QDir(dir).mkdir(QStringLiteral("sub")));
        const QString base = dir + QStringLiteral("/sub/A= B#C&");
        QCOMPARE(proof.write(ini), (QStringList{base + ".log", base + ".cue"}));
        QCOMPARE(proof.write(ini), (QStringList{base + " (2).log", base + " (2).cue"}));
        QVERIFY(QString::fromUtf8(fileBytes(base + ".log")).contains(QStringLiteral("\nSummary: AccurateRip not checked; ")));
        ini.write(settings::writeLog, QStringLiteral("no"));
        QCOMPARE(proof.write(ini), QStringList());
        QVERIFY(!QFileInfo::exists(base + " (3).log"));

        // A folder that went away: nothing written, both files named as failed.
        ini.write(settings::writeLog, QStringLiteral("yes"));
        RipProof lost(grabber, QStringLiteral("Band"), QStringLiteral("Lost"));
        lost.addTrack(1, dir + QStringLiteral("/gone/1.wav"), QStringLiteral("One"), {}, 1, 0);
        QStringList failed;
        QCOMPARE(lost.write(ini, &failed), QStringList());
        QCOMPARE(failed, (QStringList{dir + "/gone/Lost.log", dir + "/gone/Lost.cue"}));
    }

private:
    AccurateRipDiscId discId() const
    {
        const auto disc = CdDisc::open(m_disc);
        return disc ? AccurateRipDiscId::fromToc(disc->toc()) : AccurateRipDiscId();
    }

    static constexpr quint32 kV1 = 0x8a1b2c3d;
    static constexpr quint32 kV2 = 0x5e6f7081;
    QString m_disc;
};

HARVELO_TEST_MAIN(TestRipProof, QCoreApplication)
#include "tst_rip_proof.moc"
