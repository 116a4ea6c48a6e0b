#include "disc/accuraterip_disc_id.h"
#include "disc/audio_grabber.h"
#include "disc/cd_disc.h"
#include "disc/disc_codes.h"
#include "disc/image/libcue_parse.h"
#include "rip/rip_proof.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/test_env.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>

using Numbers = QList<int>;

namespace {

// What a grabber makes of a sheet: its TOC, its IDs and a checksum of every track's audio.
QStringList discOf(const QString &sheet)
{
    AudioGrabber grabber;
    loadImage(grabber, sheet);
    QStringList disc{grabber.discError(), musicBrainzDiscId(grabber.toc()),
                     AccurateRipDiscId::fromToc(grabber.toc()).text(), grabber.discId()};
    for (const CdTocTrack &track : grabber.toc().tracks)
        disc << QStringLiteral("%1@%2%3").arg(track.number).arg(track.firstLsn).arg(track.audio ? "" : " data");
    disc << QString::number(grabber.toc().leadoutLsn);
    for (int row = 1; row <= grabber.trackCount(); ++row) {
        grabber.OpenTrack(row);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (SampleBlock block = grabber.ReadBlock(88200); !block.isEmpty(); block = grabber.ReadBlock(88200))
            hash.addData(QByteArrayView(reinterpret_cast<const char *>(block.samples.data()),
                                        qsizetype(block.samples.size() * 2)));
        disc << QString::number(grabber.errorCode()) + QLatin1Char(' ') + QString::fromLatin1(hash.result().toHex());
        grabber.CloseTrack();
    }
    return disc;
}

// Every sheet below names these files (silent WAVs of 1000 and 500 sectors).
QDir sheetFolder(const QString &name)
{
    const QDir dir(testEnv().makeDir(name));
    writeSheetAudioFile(dir.filePath(QStringLiteral("a.wav")), QStringLiteral("wav"), 1000);
    writeSheetAudioFile(dir.filePath(QStringLiteral("b.wav")), QStringLiteral("wav"), 500);
    return dir;
}

} // namespace

class TestCdImageSheets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A sheet gives its disc's table of contents and the disc IDs computed from it. The IDs
    // are those of tests/support/disc_id_reference.py (written from the published formulas)
    // for the same TOC, e.g. "disc_id_reference.py 1 1000 32 375".
    void sheetsGiveTheirDisc_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<Numbers>("numbers");
        QTest::addColumn<Numbers>("starts"); // LSN of each track's INDEX 01, then the lead-out
        QTest::addColumn<Numbers>("pregaps");
        QTest::addColumn<QString>("ids");    // freedb, MusicBrainz, AccurateRip
        // Track 1 at 00:00:32 of one file: the audio before it is its pregap, with or without
        // INDEX 00; .toc files say the same with START, and FILE length 0 reads to the end.
        const QString late = "09000d02 Hgkiv2I3YWDHDlTonvIJCA7bDNY- 002-0000057f-00000ec6-09000d02";
        QTest::newRow("cue, track 1 at 00:00:32 without INDEX 00")
            << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:32\n"
                                     " TRACK 02 AUDIO\n  INDEX 01 00:05:00\n")
            << Numbers{1, 2} << Numbers{32, 375, 1000} << Numbers{32, 0} << late;
        QTest::newRow("cue, the same disc with INDEX 00")
            << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 00 00:00:00\n"
                                     "  INDEX 01 00:00:32\n TRACK 02 AUDIO\n  INDEX 01 00:05:00\n")
            << Numbers{1, 2} << Numbers{32, 375, 1000} << Numbers{32, 0} << late;
        QTest::newRow("toc, the same disc with START")
            << "d.toc" << QByteArray("CD_DA\nTRACK AUDIO\nFILE \"a.wav\" 0 00:05:00\nSTART 00:00:32\n"
                                     "TRACK AUDIO\nFILE \"a.wav\" 00:05:00\n")
            << Numbers{1, 2} << Numbers{32, 375, 1000} << Numbers{32, 0} << late;
        QTest::newRow("toc, FILE length 0 to the end of the file")
            << "d.toc" << QByteArray("CD_DA\nTRACK AUDIO\nFILE \"a.wav\" 0 00:05:00\nSTART 00:00:32\n"
                                     "TRACK AUDIO\nFILE \"a.wav\" 00:05:00 0\n")
            << Numbers{1, 2} << Numbers{32, 375, 1000} << Numbers{32, 0} << late;
        // A later file's audio before its INDEX 01 (no INDEX 00) ends the track before it.
        QTest::newRow("cue, second file's INDEX 01 at 00:00:32 without INDEX 00")
            << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                     "FILE \"b.wav\" WAVE\n TRACK 02 AUDIO\n  INDEX 01 00:00:32\n")
            << Numbers{1, 2} << Numbers{0, 1032, 1500} << Numbers{0, 0}
            << "08001402 NVaidulwL8.uli4ZGJd2peIjzso- 002-000009e4-000019a5-08001402";
        // The disc's own numbers: the IDs are those of tracks 4 and 5 (libdiscid's freedb ID
        // then counts tracks 1 to 3 at 0).
        QTest::newRow("cue, TRACK 04 and TRACK 05")
            << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 04 AUDIO\n  INDEX 01 00:00:00\n"
                                     " TRACK 05 AUDIO\n  INDEX 01 00:05:00\n")
            << Numbers{4, 5} << Numbers{0, 375, 1000} << Numbers{0, 0}
            << "09000f05 3NzNl0YGiHnpekMQZmkEgskJnwQ- 002-0000055f-00000ea7-09000f05";
    }
    void sheetsGiveTheirDisc()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, sheet);
        QFETCH(Numbers, numbers);
        QFETCH(Numbers, starts);
        QFETCH(Numbers, pregaps);
        QFETCH(QString, ids);
        const QDir dir = sheetFolder(QStringLiteral("disc"));
        QVERIFY(writeFileBytes(dir.filePath(name), sheet));
        AudioGrabber grabber;
        QCOMPARE(stderrOf([&] { loadImage(grabber, dir.filePath(name)); }), QByteArray());
        QCOMPARE(grabber.discError(), QString());
        const CdToc &toc = grabber.toc();
        Numbers tocNumbers, tocStarts;
        for (const CdTocTrack &track : toc.tracks)
            tocNumbers << track.number, tocStarts << track.firstLsn;
        QCOMPARE(tocNumbers, numbers);
        QCOMPARE(tocStarts << toc.leadoutLsn, starts);
        QCOMPARE(grabber.discCodes().pregapSectors, pregaps);
        QCOMPARE(QStringList({grabber.discId(), musicBrainzDiscId(toc), AccurateRipDiscId::fromToc(toc).text()})
                     .join(QLatin1Char(' ')),
                 ids);
        // The list and the rip address tracks by their place: row 1 reads the first track from
        // its INDEX 01, and the rip's log and cue sheet give it the disc's number.
        grabber.setTrackNum(1);
        QCOMPARE(grabber.trackSamples(), (starts[1] - starts[0]) * 588);
        grabber.OpenTrack(1);
        QCOMPARE(grabber.errorCode(), 0);
        QCOMPARE(grabber.ReadBlock(1176).size(), 1176);
        grabber.CloseTrack();
        RipProof proof(grabber, QString(), QString());
        proof.addTrack(1, dir.filePath(QStringLiteral("1.wav")), QString(), {}, 1, 0);
        QCOMPARE(proof.report().tracks.value(0).number, numbers[0]);
    }

    // EAC's sheet of an enhanced CD: the data track last, in no file, INDEX 00 only. It lies
    // 11400 sectors after the audio, its length from REM DATATRACKLENGTH; without that length
    // the lead-out is unknown and a warning says which IDs cannot be right. IDs from
    // "disc_id_reference.py --data-track 1 LEADOUT 0 375 12400".
    void enhancedCdSheets_data()
    {
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<int>("leadout");
        QTest::addColumn<QString>("ids"); // freedb, MusicBrainz, AccurateRip
        QTest::addColumn<QString>("warning");
        const QByteArray audio = "FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                 " TRACK 02 AUDIO\n  INDEX 01 00:05:00\n";
        const QString known = "1700b903 .eKGXVgCQkOISVNaJ4aiWdMW9ko- 002-000037c3-0000a5d3-1700b903";
        QTest::newRow("MODE1/2352, length as a time")
            << "REM DATATRACKLENGTH 00:20:00\n" + audio + " TRACK 03 MODE1/2352\n  INDEX 00 00:13:25\n"
            << 13900 << known << QString();
        QTest::newRow("EAC's MODEx/2xxx, length in sectors, after the track")
            << audio + " TRACK 03 MODEx/2xxx\n  TITLE \"Data\"\n  INDEX 00 00:13:25\nREM DATATRACKLENGTH 1500\n"
            << 13900 << known << QString();
        QTest::newRow("no length")
            << audio + " TRACK 03 MODE1/2352\n  INDEX 00 00:13:25\n" << 12401
            << "1700a503 .eKGXVgCQkOISVNaJ4aiWdMW9ko- 002-000031e8-00009442-1700a503"
            << "e.cue: line 6: the data track's length is not given (REM DATATRACKLENGTH): the freedb "
               "and AccurateRip disc IDs cannot be known";
    }
    void enhancedCdSheets()
    {
        QFETCH(QByteArray, sheet);
        QFETCH(int, leadout);
        QFETCH(QString, ids);
        QFETCH(QString, warning);
        const QDir dir = sheetFolder(QStringLiteral("enhanced"));
        QVERIFY(writeFileBytes(dir.filePath(QStringLiteral("e.cue")), sheet));
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        AudioGrabber grabber;
        loadImage(grabber, dir.filePath(QStringLiteral("e.cue")));
        QCOMPARE(grabber.discError(), QString());
        QStringList tracks;
        for (const CdTocTrack &track : grabber.toc().tracks)
            tracks << QStringLiteral("%1@%2%3").arg(track.number).arg(track.firstLsn).arg(track.audio ? "" : " data");
        QCOMPARE(tracks, QStringList({"1@0", "2@375", "3@12400 data"}));
        QCOMPARE(grabber.toc().leadoutLsn, leadout);
        const CdToc &toc = grabber.toc();
        QCOMPARE(QStringList({grabber.discId(), musicBrainzDiscId(toc), AccurateRipDiscId::fromToc(toc).text()})
                     .join(QLatin1Char(' ')),
                 ids);
        // The last audio track ends with the file, not at the data track.
        grabber.setTrackNum(2);
        QCOMPARE(grabber.trackSamples(), 625 * 588);
        grabber.OpenTrack(2);
        qint64 read = 0;
        for (SampleBlock block = grabber.ReadBlock(88200); !block.isEmpty(); block = grabber.ReadBlock(88200))
            read += block.size() / 2;
        QCOMPARE(grabber.errorCode(), 0);
        QCOMPARE(read, 625 * 588);
        grabber.CloseTrack();
    }

    // A sheet whose files are FLAC (typed FLAC or WAVE) reads as its WAV twin: the same TOC,
    // IDs and audio. The FLAC files are made from the WAV files by the flac tool.
    void flacSheetsReadLikeTheirWavTwins_data()
    {
        QTest::addColumn<QByteArray>("sheet"); // TYPE stands for WAVE in the twin, EXT for wav
        QTest::addColumn<QList<int>>("sectors"); // of each file, track n's pattern in file n
        QTest::newRow("one file, FLAC type")
            << QByteArray("FILE \"f1.EXT\" TYPE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                          " TRACK 02 AUDIO\n  INDEX 00 00:04:00\n  INDEX 01 00:05:00\n")
            << QList<int>{1000};
        QTest::newRow("one file per track, WAVE type")
            << QByteArray("FILE \"f1.EXT\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                          "FILE \"f2.EXT\" WAVE\n TRACK 02 AUDIO\n  INDEX 00 00:00:00\n  INDEX 01 00:00:40\n"
                          "FILE \"f3.EXT\" WAVE\n TRACK 03 AUDIO\n  INDEX 01 00:00:00\n")
            << QList<int>{700, 433, 290};
        QTest::newRow("one file, enhanced CD as EAC writes it")
            << QByteArray("REM DATATRACKLENGTH 00:20:00\nFILE \"f1.EXT\" TYPE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                          " TRACK 02 AUDIO\n  INDEX 01 00:05:00\n TRACK 03 MODEx/2xxx\n  INDEX 00 00:13:25\n")
            << QList<int>{1000};
    }
    void flacSheetsReadLikeTheirWavTwins()
    {
        QFETCH(QByteArray, sheet);
        QFETCH(QList<int>, sectors);
        const QDir dir(testEnv().makeDir(QStringLiteral("flac-twins")));
        for (int i = 0; i < sectors.size(); ++i) {
            const QString wav = dir.filePath(QStringLiteral("f%1.wav").arg(i + 1));
            writeSheetAudioFile(wav, QStringLiteral("wav"), sectors[i], i + 1, 3);
            const ProcessResult flac = runProgram(QStandardPaths::findExecutable(QStringLiteral("flac")),
                                                  {"-s", "-f", "-o", dir.filePath(QStringLiteral("f%1.flac").arg(i + 1)), wav});
            QCOMPARE(flac.status, 0);
        }
        QByteArray wavSheet = sheet, flacSheet = sheet;
        wavSheet.replace("EXT", "wav").replace("TYPE", "WAVE");
        flacSheet.replace("EXT", "flac").replace("TYPE", "FLAC");
        QVERIFY(writeFileBytes(dir.filePath(QStringLiteral("wav.cue")), wavSheet));
        QVERIFY(writeFileBytes(dir.filePath(QStringLiteral("flac.cue")), flacSheet));
        const QStringList twin = discOf(dir.filePath(QStringLiteral("wav.cue")));
        QCOMPARE(twin.first(), QString());
        QCOMPARE(discOf(dir.filePath(QStringLiteral("flac.cue"))), twin);
    }

    // CATALOG (13 digits) and ISRC (12 letters and digits) values that are no such code are
    // left out, with a warning that names the line; zeros mean "none". Lines of no concern
    // to the audio, even ones libcue cannot parse, pass without a word on stderr.
    void sheetCodesAreChecked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("isrc"); // of track 1
        QTest::addColumn<QStringList>("warnings");
        const QByteArray cueTrack = "FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n";
        QTest::newRow("cue, valid codes")
            << "d.cue" << "CATALOG 5034012987651\n" + cueTrack + "  ISRC GBX7P2300417\n"
            << "5034012987651" << "GBX7P2300417" << QStringList();
        QTest::newRow("cue, CATALOG without a value")
            << "d.cue" << "CATALOG\n" + cueTrack << "" << ""
            << QStringList{"d.cue: line 1: CATALOG \"\" is not a catalog number of 13 digits; left out"};
        QTest::newRow("cue, short CATALOG and ISRC with dashes")
            << "d.cue" << "CATALOG 503401298765\n" + cueTrack + "  ISRC GB-X7P-23-00417\n" << "" << ""
            << QStringList{"d.cue: line 1: CATALOG \"503401298765\" is not a catalog number of 13 digits; left out",
                           "d.cue: line 5: ISRC \"GB-X7P-23-00417\" is not an ISRC of 12 letters and digits; left out"};
        QTest::newRow("cue, zeros for none")
            << "d.cue" << "CATALOG 0000000000000\n" + cueTrack + "  ISRC 000000000000\n" << "" << "" << QStringList();
        QTest::newRow("cue, lines libcue cannot parse")
            << "d.cue" << "REM GENRE\nSONGWRITER\nFOO bar\n" + cueTrack + "  FLAGS\n  REM REPLAYGAIN_TRACK_GAIN\n"
            << "" << "" << QStringList();
        QTest::newRow("toc, ISRC of letters only")
            << "d.toc" << QByteArray("CD_DA\nCATALOG \"5034012987651\"\nTRACK AUDIO\nISRC \"ABCDEFGHIJKL\"\nFILE \"a.wav\" 0\n")
            << "5034012987651" << ""
            << QStringList{"d.toc: line 4: ISRC \"ABCDEFGHIJKL\" is not an ISRC of 12 letters and digits; left out"};
    }
    void sheetCodesAreChecked()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, sheet);
        QFETCH(QString, catalog);
        QFETCH(QString, isrc);
        QFETCH(QStringList, warnings);
        const QDir dir = sheetFolder(QStringLiteral("codes"));
        QVERIFY(writeFileBytes(dir.filePath(name), sheet));
        for (const QString &warning : warnings)
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        AudioGrabber grabber;
        QCOMPARE(stderrOf([&] { loadImage(grabber, dir.filePath(name)); }), QByteArray());
        QCOMPARE(grabber.discError(), QString());
        QCOMPARE(grabber.trackCount(), 1);
        QCOMPARE(grabber.discCodes().catalog, catalog);
        QCOMPARE(grabber.discCodes().isrcs, QStringList{isrc});
    }

    // What libcue writes while it reads is collected with its parse; nothing reaches stderr.
    void libcueOutputIsCollected()
    {
        LibcueParse parse;
        // An empty CATALOG swallows the FILE line; a REPLAYGAIN without a value is echoed.
        const QByteArray written = stderrOf([&parse] {
            parse = parseWithLibcue("CATALOG\nFILE \"a\" BINARY\nTRACK 01 AUDIO\n"
                                    "REM REPLAYGAIN_TRACK_GAIN\nINDEX 01 00:00:00\n");
        });
        QCOMPARE(written, QByteArray());
        QVERIFY(parse.cd);
        QVERIFY2(parse.output.contains(": syntax error\n"), parse.output.constData());
        QVERIFY2(parse.output.contains(": no file specified for track\n"), parse.output.constData());
    }
};

HARVELO_TEST_MAIN(TestCdImageSheets, QCoreApplication)
#include "tst_cd_image_sheets.moc"
