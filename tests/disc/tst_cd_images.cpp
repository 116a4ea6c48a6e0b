#include "disc/accuraterip_disc_id.h"
#include "disc/audio_grabber.h"
#include "disc/disc_codes.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

using Sectors = QList<int>;

namespace {

constexpr int kSector = 588;

// The names of the sheet's FILE lines, in order, as paths below its folder.
QStringList sheetFiles(const QString &sheet)
{
    static const QRegularExpression fileLine(QStringLiteral("^\\s*FILE\\s+\"([^\"]+)\""),
                                             QRegularExpression::MultilineOption);
    QStringList names;
    for (const auto &m : fileLine.globalMatch(QString::fromUtf8(fileBytes(sheet)))) {
        QString name = m.captured(1).replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!names.contains(name))
            names << name;
    }
    return names;
}

// The files of orchard.eac.corrected.cue: each gap at the start of its own track's file.
Sectors orchardCorrected()
{
    return {13907, 10914, 16268, 9312, 18650, 12227, 21935, 15508, 8866, 17429, 11629, 20488, 14205, 25760};
}

// The files of orchard.eac.noncompliant.cue: each gap at the end of the file before.
Sectors orchardAppended()
{
    return {13907, 10959, 16223, 9312, 18800, 12077, 21935, 15508, 8954, 17341, 11629, 20600, 14093, 25760};
}

// A copy of a whole disc's sheet from tests/data/cd_images in a folder of its own, beside
// silent WAVs of the given lengths.
QString placeRealSheet(const QString &sheet, const Sectors &fileSectors)
{
    const QDir dir(testEnv().makeDir(QStringLiteral("real-") + sheet));
    const QString path = dir.filePath(sheet);
    const QStringList names = QFile::copy(QStringLiteral(HARVELO_TEST_DATA "/cd_images/") + sheet, path)
                                  ? sheetFiles(path) : QStringList();
    if (names.isEmpty() || names.size() != fileSectors.size())
        return {};
    for (int i = 0; i < names.size(); ++i)
        writeSheetAudioFile(dir.filePath(names[i]), QStringLiteral("wav"), fileSectors[i]);
    return path;
}

std::vector<int16_t> readTrack(AudioGrabber &grabber, int track, int *errors)
{
    grabber.OpenTrack(track);
    std::vector<int16_t> all;
    *errors = grabber.errorCode() != 0;
    for (int guard = 0; guard < 10000 && *errors == 0; ++guard) {
        const SampleBlock block = grabber.ReadBlock(88200);
        *errors += grabber.errorCode() != 0;
        if (block.isEmpty())
            break;
        all.insert(all.end(), block.samples.begin(), block.samples.end());
    }
    grabber.CloseTrack();
    return all;
}

std::vector<int16_t> patternThenSilence(int track, int sectors, int silentSectors)
{
    std::vector<int16_t> samples = cdImageSamples(track, 0, int64_t(sectors) * kSector);
    samples.resize(samples.size() + size_t(silentSectors) * kSector * 2, 0);
    return samples;
}

} // namespace

class TestCdImages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whole discs' sheets as rippers and cdrdao write them: lengths from their INDEX lines (the
    // last track's from the audio file) and the disc IDs of tests/support/disc_id_reference.py
    // for the same table of contents (the commands are in tests/data/cd_images/README.md).
    void realSheets_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<Sectors>("fileSectors"); // per FILE name, in order
        QTest::addColumn<QString>("ids");         // freedb, MusicBrainz, AccurateRip
        QTest::addColumn<Sectors>("trackSectors");
        const Sectors copperwick{17943, 15322, 20118, 13457, 16874, 22561, 11906, 18235, 14789, 19650, 24377};
        const QString copperwickIds = "880a2b0b YsyMn2hhYxqzMjE6yqiozk2H5r0- 011-00114c89-0096240b-880a2b0b";
        const Sectors varga{21602, 18429, 24790, 9836, 15374, 27754, 13388, 19962, 16623, 22102, 12948, 30219};
        const QString vargaIds = "9d0c230c 8d_6dyWAxTbZJ5wheW0ea2sTGMA- 012-0016a790-00d28f42-9d0c230c";
        // Track 1 starts 37 sectors into the disc; tracks 3, 6, 10 and 13 have gaps.
        const Sectors orchard{13870, 10959, 16223, 9312, 18800, 12077, 21935, 15508, 8954, 17341, 11629, 20600, 14093, 25760};
        const QString orchardIds = "c80b4e0e 6meFdd7h.Ra_fMD8An0sSZozYro- 014-001728a2-00fa1070-c80b4e0e";
        // Without the gaps, every file is one track from its INDEX 01.
        const Sectors gapless{13870, 10914, 16223, 9312, 18650, 12077, 21935, 15508, 8866, 17341, 11629, 20488, 14093, 25760};
        QTest::newRow("cue, PREGAP before track 1") << "copperwick.cue" << Sectors{195232} << copperwickIds << copperwick;
        QTest::newRow("toc, SILENCE and START") << "copperwick.toc" << Sectors{195232} << copperwickIds << copperwick;
        QTest::newRow("cue, INDEX 00 gaps") << "varga.cue" << Sectors{233027} << vargaIds << varga;
        QTest::newRow("toc, START gaps") << "varga.toc" << Sectors{233027} << vargaIds << varga;
        QTest::newRow("cue, EAC one file") << "orchard.eac.single.cue" << Sectors{217098} << orchardIds << orchard;
        QTest::newRow("cue, EAC file per track") << "orchard.eac.corrected.cue" << orchardCorrected() << orchardIds << orchard;
        QTest::newRow("cue, EAC gaps appended") << "orchard.eac.noncompliant.cue" << orchardAppended() << orchardIds << orchard;
        QTest::newRow("cue, EAC gaps left out") << "orchard.eac.leftout.cue" << gapless
                                                << "ba0b480e mT1vR6EyUVCFBmR_jHCSSl3ND_Q- 014-00171af2-00f980da-ba0b480e" << gapless;
        QTest::newRow("toc, one frame of SILENCE") << "sand-single.toc" << Sectors{16602}
                                                   << "0200dd01 Tlyd1gsps9Ou5sqMMUdc1I0JZFg- 001-000040dc-000081b7-0200dd01"
                                                   << Sectors{16602};
    }
    void realSheets()
    {
        QFETCH(QString, sheet);
        QFETCH(Sectors, fileSectors);
        QFETCH(QString, ids);
        QFETCH(Sectors, trackSectors);
        const QString path = placeRealSheet(sheet, fileSectors);
        QVERIFY(!path.isEmpty());
        // Opened from another folder than the image's.
        QVERIFY(QDir::setCurrent(QDir::rootPath()));
        AudioGrabber grabber;
        loadImage(grabber, path);
        QCOMPARE(grabber.discError(), QString());
        QCOMPARE(QStringList({grabber.discId(), musicBrainzDiscId(grabber.toc()),
                              AccurateRipDiscId::fromToc(grabber.toc()).text()})
                     .join(QLatin1Char(' ')),
                 ids);
        QCOMPARE(grabber.trackCount(), trackSectors.size());
        for (int k = 1; k <= trackSectors.size(); ++k) {
            grabber.setTrackNum(k);
            QCOMPARE(grabber.trackSamples(), trackSectors[k - 1] * kSector);
        }
    }

    // The same disc written down in two ways gives the same catalog, ISRCs and pregaps: INDEX
    // 00 in the track's file, in the previous track's file, or as a .toc file's START.
    void sheetStylesGiveTheSameCodes_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<Sectors>("fileSectors");
        QTest::addColumn<QString>("otherSheet");
        QTest::addColumn<Sectors>("otherFileSectors");
        QTest::newRow("cue INDEX 00, toc START") << "varga.cue" << Sectors{233027} << "varga.toc" << Sectors{233027};
        QTest::newRow("EAC gaps appended, gaps in place") << "orchard.eac.noncompliant.cue" << orchardAppended()
                                                          << "orchard.eac.corrected.cue" << orchardCorrected();
        QTest::newRow("EAC one file, file per track") << "orchard.eac.single.cue" << Sectors{217098}
                                                      << "orchard.eac.corrected.cue" << orchardCorrected();
    }
    void sheetStylesGiveTheSameCodes()
    {
        QFETCH(QString, sheet);
        QFETCH(Sectors, fileSectors);
        QFETCH(QString, otherSheet);
        QFETCH(Sectors, otherFileSectors);
        AudioGrabber grabber;
        loadImage(grabber, placeRealSheet(sheet, fileSectors));
        const DiscCodes codes = grabber.discCodes();
        loadImage(grabber, placeRealSheet(otherSheet, otherFileSectors));
        const DiscCodes other = grabber.discCodes();
        QCOMPARE(codes.pregapSectors.size(), grabber.trackCount());
        QVERIFY(std::any_of(codes.pregapSectors.begin(), codes.pregapSectors.end(), [](int s) { return s > 0; }));
        QCOMPARE(codes.pregapSectors, other.pregapSectors);
        QCOMPARE(codes.isrcs, other.isrcs);
        QCOMPARE(codes.catalog, other.catalog);
        if (sheet.startsWith(QLatin1String("varga"))) {
            QCOMPARE(codes.catalog, QStringLiteral("4260339270115"));
            QCOMPARE(codes.isrcs.value(1), QStringLiteral("DEQ7R1600102"));
        } else { // EAC's zeros for "none"
            QCOMPARE(codes.catalog, QString());
            QCOMPARE(codes.isrcs.value(1), QString());
        }
    }

    // The sheet's files hold each track's pattern (raw in either byte order, or WAV): every
    // track reads back bit-exactly, with the silence of PREGAP, POSTGAP, ZERO and SILENCE and
    // the gap in the next track's file where they fall.
    void readsFilesBitExactly_data()
    {
        QTest::addColumn<QString>("sheetName");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QStringList>("kinds"); // of one.*, two.wav, three.*
        QTest::newRow("cue") << "disc.cue"
                             << "FILE \"one.bin\" MOTOROLA\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                "FILE \"two.wav\" WAVE\n  TRACK 02 AUDIO\n    PREGAP 00:00:10\n    INDEX 01 00:00:00\n"
                                "FILE \"three.bin\" BINARY\n  TRACK 03 AUDIO\n    INDEX 00 00:00:00\n"
                                "    INDEX 01 00:00:05\n    POSTGAP 00:00:03\n"
                             << QStringList{"big", "wav", "little"};
        QTest::newRow("toc") << "disc.toc"
                             << "CD_DA\nTRACK AUDIO\nFILE \"one.bin\" 0\n"
                                "TRACK AUDIO\nSILENCE 00:00:10\nSTART\nFILE \"two.wav\" 0\n"
                                "TRACK AUDIO\nFILE \"three.bin\" SWAP 0\nSTART 00:00:05\nZERO 00:00:03\n"
                             << QStringList{"big", "wav", "little"};
    }
    void readsFilesBitExactly()
    {
        QFETCH(QString, sheetName);
        QFETCH(QString, sheet);
        QFETCH(QStringList, kinds);
        const QDir dir(testEnv().makeDir(QStringLiteral("exact")));
        writeSheetAudioFile(dir.filePath(QStringLiteral("one.bin")), kinds[0], 30, 1);
        writeSheetAudioFile(dir.filePath(QStringLiteral("two.wav")), kinds[1], 20, 2);
        writeSheetAudioFile(dir.filePath(QStringLiteral("three.bin")), kinds[2], 30, 3, 5);
        QVERIFY(writeFileBytes(dir.filePath(sheetName), sheet.toUtf8()));
        AudioGrabber grabber;
        loadImage(grabber, dir.filePath(sheetName));
        QCOMPARE(grabber.discError(), QString());
        QCOMPARE(grabber.trackCount(), 3);
        int errors = -1;
        QVERIFY(readTrack(grabber, 1, &errors) == patternThenSilence(1, 30, 10));
        QCOMPARE(errors, 0);
        QVERIFY(readTrack(grabber, 2, &errors) == patternThenSilence(2, 20, 5));
        QVERIFY(readTrack(grabber, 3, &errors) == patternThenSilence(3, 25, 3));
        QCOMPARE(errors, 0);
    }

    void cueTextNamesTheDisc()
    {
        const QDir dir(testEnv().makeDir(QStringLiteral("text")));
        writeSheetAudioFile(dir.filePath(QStringLiteral("a.wav")), QStringLiteral("wav"), 10);
        // Written on Windows: CRLF, a byte order mark and keywords in lower case.
        QVERIFY(writeFileBytes(dir.filePath(QStringLiteral("disc.cue")),
                               "\xEF\xBB\xBFperformer \"Sigur R\xC3\xB3s\"\r\ntitle Takk\r\n"
                               "file \"a.wav\" wave\r\n  track 01 audio\r\n    title \"Gl\xF3s\xF3li\"\r\n"
                               "    index 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    INDEX 01 00:00:05\r\n"));
        AudioGrabber grabber;
        loadImage(grabber, dir.filePath(QStringLiteral("disc.cue")));
        QCOMPARE(grabber.trackCount(), 2);
        QVERIFY(grabber.QueryDiscInfo(2));
        QCOMPARE(grabber.discArtist(), QStringLiteral("Sigur R\u00f3s"));
        QCOMPARE(grabber.discAlbum(), QStringLiteral("Takk"));
        grabber.setTrackNum(1);
        QCOMPARE(grabber.trackTitle(), QStringLiteral("Gl\u00f3s\u00f3li"));
    }

    // Images that are not valid leave the drive without a disc and say why, with the line;
    // none reaches a library unchecked.
    void malformedImagesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("toc TRACK without a mode") << "crash.toc" << QByteArray("TRACK\nSILENCE 00:00:01\nFILE\n")
                                                  << "crash.toc: line 1: TRACK needs a mode such as AUDIO";
        QTest::newRow("toc FILE without a name") << "d.toc" << QByteArray("TRACK AUDIO\nSILENCE 00:00:01\nFILE\n")
                                                 << "d.toc: line 3: a quoted text is missing";
        QTest::newRow("toc missing file") << "d.toc" << QByteArray("CD_DA\nTRACK AUDIO\nFILE \"gone.wav\" 0\n")
                                          << "d.toc: line 3: cannot open gone.wav";
        QTest::newRow("toc longer than its file") << "d.toc" << QByteArray("TRACK AUDIO\nFILE \"a.wav\" 0 00:01:00\n")
                                                  << "d.toc: line 2: a.wav is shorter than the track";
        QTest::newRow("toc START beyond the track") << "d.toc" << QByteArray("TRACK AUDIO\nFILE \"a.wav\" 0\nSTART 00:00:20\n")
                                                    << "d.toc: line 3: START of track 1 lies beyond its end";
        QTest::newRow("toc bad time") << "d.toc" << QByteArray("TRACK AUDIO\nSILENCE 00:00:99\n")
                                      << "d.toc: line 2: SILENCE needs a time mm:ss:ff or a sample count";
        QTest::newRow("toc over 100 minutes") << "d.toc" << QByteArray("TRACK AUDIO\nSILENCE 60:00:00\nSILENCE 40:00:01\n")
                                              << "d.toc: line 3: the disc would be longer than 100 minutes";
        QTest::newRow("toc without tracks") << "d.toc" << QByteArray("CD_DA\n") << "d.toc: line 1: no TRACK";
        QTest::newRow("cue INDEX 99:99:99") << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n INDEX 01 99:99:99\n")
                                            << "d.cue: line 3: INDEX needs a number and a time mm:ss:ff";
        QTest::newRow("cue INDEX number 120") << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n INDEX 120 00:00:00\n")
                                              << "d.cue: line 3: INDEX needs a number and a time mm:ss:ff";
        QTest::newRow("cue missing file") << "d.cue" << QByteArray("FILE \"gone.bin\" BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n")
                                          << "d.cue: line 1: cannot open gone.bin";
        QTest::newRow("cue FLAC that is WAV") << "d.cue" << QByteArray("FILE \"a.wav\" FLAC\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n")
                                              << "d.cue: line 1: a.wav is not a FLAC file";
        QTest::newRow("cue WAVE that is raw") << "d.cue" << QByteArray("FILE \"raw.bin\" WAVE\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n")
                                              << "d.cue: line 1: raw.bin is not a WAV file";
        QTest::newRow("cue without INDEX 01") << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n INDEX 00 00:00:00\n")
                                              << "d.cue: line 2: track 1 has no INDEX 01";
        QTest::newRow("cue beyond its file") << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n INDEX 01 00:00:10\n")
                                             << "d.cue: line 3: track 1 has no audio in a.wav";
        QTest::newRow("cue going backwards") << "d.cue"
                                             << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n INDEX 01 00:00:05\n"
                                                           " TRACK 02 AUDIO\n INDEX 01 00:00:02\n")
                                             << "d.cue: line 3: track 1 has no audio in a.wav";
        QTest::newRow("not a sheet") << "d.cue" << QByteArray("\x7f" "ELF\x02\x01\0\0", 8) << "d.cue: line 1: not a cue sheet";
        // What libcue would skip, take on trust or give up on (and leak) is refused here first.
        const QByteArray track = " TRACK 01 AUDIO\n INDEX 01 00:00:00\n";
        QTest::newRow("cue TRACK before any FILE") << "d.cue" << "REM x\n" + track + "FILE \"a.wav\" WAVE\n"
                                                   << "d.cue: line 2: TRACK 01 comes before any FILE";
        QTest::newRow("cue FILE without a TRACK") << "d.cue" << "FILE \"a.wav\" WAVE\nFILE \"raw.bin\" BINARY\n" + track
                                                  << "d.cue: line 1: FILE a.wav has no TRACK";
        QTest::newRow("cue without a TRACK") << "d.cue" << QByteArray("TITLE x\nFILE \"a.wav\" WAVE\n")
                                             << "d.cue: line 2: no TRACK";
        QTest::newRow("cue INDEX before any TRACK") << "d.cue" << "FILE \"a.wav\" WAVE\n INDEX 01 00:00:00\n" + track
                                                    << "d.cue: line 2: INDEX comes before any TRACK";
        QTest::newRow("cue numbers not in order") << "d.cue" << "FILE \"a.wav\" WAVE\n" + track + " TRACK 03 AUDIO\n INDEX 01 00:00:05\n"
                                                  << "d.cue: line 4: TRACK 03 should be TRACK 02";
        QTest::newRow("cue mode libcue lacks") << "d.cue" << QByteArray("FILE \"a.wav\" WAVE\n TRACK 01 CDG\n INDEX 01 00:00:00\n")
                                               << "d.cue: line 2: TRACK needs a number from 1 to 99 and a mode";
        QTest::newRow("other image kinds") << "d.nrg" << QByteArray("NER5") << "d.nrg is not a .cue or .toc image";
    }
    void malformedImagesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        const QDir dir(testEnv().makeDir(QStringLiteral("bad")));
        writeSheetAudioFile(dir.filePath(QStringLiteral("a.wav")), QStringLiteral("wav"), 10);
        writeSheetAudioFile(dir.filePath(QStringLiteral("raw.bin")), QStringLiteral("little"), 10, 1);
        QVERIFY(writeFileBytes(dir.filePath(name), text));
        AudioGrabber grabber;
        // The reason is the refusal's; nothing goes to stderr unasked.
        QCOMPARE(stderrOf([&] { loadImage(grabber, dir.filePath(name)); }), QByteArray());
        QCOMPARE(grabber.trackCount(), 0);
        QCOMPARE(grabber.discError(), reason);
        QVERIFY(grabber.discId().isEmpty());
        grabber.OpenTrack(1);
        QVERIFY(grabber.errorCode() != 0);
    }
};

HARVELO_TEST_MAIN(TestCdImages, QCoreApplication)
#include "tst_cd_images.moc"
