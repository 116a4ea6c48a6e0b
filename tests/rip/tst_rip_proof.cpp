#include "disc/audio_grabber.h"
#include "disc/cd_disc.h"
#include "disc/disc_codes.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "rip/cue_writer.h"
#include "rip/rip_log.h"
#include "rip/rip_proof.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/test_env.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>

#include <cdio/cdio.h>

namespace {

RipReport reportOf(AccurateRipAnswer::Status status, const QList<AccurateRipVerdict::Kind> &kinds)
{
    RipReport r;
    r.date = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
    r.toc.tracks = {{1, 0, 400, true}, {2, 400, 300, true}, {3, 700, 200, true}};
    r.toc.leadoutLsn = 900;
    r.accurateRipStatus = status;
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

} // namespace

class TestRipProof : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testEnv().clearIni(); }

    void summary_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<QString>("summary");
        using V = AccurateRipVerdict;
        const int found = AccurateRipAnswer::Found;
        QTest::newRow("all") << found << QList<int>{V::Accurate, V::Accurate} << "All tracks accurately ripped";
        QTest::newRow("some") << found << QList<int>{V::Accurate, V::Mismatch, V::NotPresent}
                              << "1 of 3 tracks accurate";
        QTest::newRow("disc unknown") << int(AccurateRipAnswer::NotPresent)
                                      << QList<int>{V::NotPresent, V::NotPresent} << "0 of 2 tracks accurate";
        QTest::newRow("offline") << int(AccurateRipAnswer::NotChecked) << QList<int>{V::NotChecked}
                                 << "not checked";
        QTest::newRow("broken answer") << int(AccurateRipAnswer::Broken) << QList<int>{V::NotChecked}
                                       << "not checked";
    }
    // The summary is the line before the last; the last is the SHA-256 of all text above the
    // summary, which a changed character no longer matches.
    void summary()
    {
        QFETCH(int, status);
        QFETCH(QList<int>, kinds);
        QFETCH(QString, summary);
        QList<AccurateRipVerdict::Kind> verdicts;
        for (int k : kinds)
            verdicts.append(AccurateRipVerdict::Kind(k));
        const QString text = ripLogText(reportOf(AccurateRipAnswer::Status(status), verdicts));
        QVERIFY(text.endsWith(QLatin1Char('\n')));
        const QStringList lines = text.split(QLatin1Char('\n'));
        QCOMPARE(lines[lines.size() - 3], summary);
        const QString body = text.left(text.lastIndexOf(summary + QStringLiteral("\nSHA-256: ")));
        const QByteArray sha = QCryptographicHash::hash(body.toUtf8(), QCryptographicHash::Sha256).toHex();
        QCOMPARE(lines[lines.size() - 2], QStringLiteral("SHA-256: ") + QString::fromLatin1(sha));
        QVERIFY(body.contains(QStringLiteral("Album: Ålbum: one/two\n")));
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
        QVERIFY(QString::fromUtf8(fileBytes(base + ".log")).contains(QStringLiteral("\nnot checked\nSHA-256: ")));
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
};

HARVELO_TEST_MAIN(TestRipProof, QCoreApplication)
#include "tst_rip_proof.moc"
