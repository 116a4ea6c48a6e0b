#include "lookup/accuraterip_client.h"
#include "disc/accuraterip_disc_id.h"
#include "disc/audio_grabber.h"
#include "disc/cd_disc.h"
#include "disc/disc_codes.h"
#include "disc/track_checksums.h"
#include "tests/support/accuraterip_fixture.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/cddb_test_server.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

using Behaviour = CddbTestServer::Behaviour;
Q_DECLARE_METATYPE(CdToc)

namespace {

QString referenceText(const QString &file, qint64 byteOffset, qint64 frames, bool first, bool last)
{
    const ReferenceSums r = referenceSums(file, byteOffset, frames, first, last);
    return r.ok() ? QStringLiteral("%1 %2 %3 %4").arg(r.v1, r.v2, r.crc32).arg(r.peak) : QStringLiteral("no reference");
}

QString sumsText(const TrackChecksums &s)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(s.accurateRipV1, 8, 16, QLatin1Char('0'))
        .arg(s.accurateRipV2, 8, 16, QLatin1Char('0'))
        .arg(s.crc32, 8, 16, QLatin1Char('0'))
        .arg(s.peak);
}

// A table of contents from LBA starts (LSN + 150), the true lead-out and which are data.
CdToc tocOf(const QList<int> &lbaStarts, int lbaLeadout, const QList<int> &dataTracks = {})
{
    CdToc toc;
    for (qsizetype i = 0; i < lbaStarts.size(); ++i) {
        const int next = i + 1 < lbaStarts.size() ? lbaStarts[i + 1] : lbaLeadout;
        toc.tracks.push_back({int(i + 1), lbaStarts[i] - 150, next - lbaStarts[i],
                              !dataTracks.contains(int(i + 1))});
    }
    toc.leadoutLsn = lbaLeadout - 150;
    return toc;
}

} // namespace

class TestAccurateRip : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checksums_data()
    {
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("last");
        QTest::addColumn<int>("block"); // samples handed over at a time
        QTest::newRow("middle track") << qint64(20000) << false << false << 88200;
        QTest::newRow("first track") << qint64(20000) << true << false << 1176;
        QTest::newRow("last track") << qint64(20000) << false << true << 4096;
        QTest::newRow("only track, odd blocks") << qint64(9000) << true << true << 1001;
        QTest::newRow("shorter than the edges") << qint64(3000) << true << true << 88200;
    }
    // Random audio of full scale, summed in blocks of every size, against the reference.
    void checksums()
    {
        QFETCH(qint64, frames);
        QFETCH(bool, first);
        QFETCH(bool, last);
        QFETCH(int, block);
        std::vector<int16_t> samples(size_t(frames) * 2);
        QRandomGenerator random(uint(frames) + uint(block));
        for (int16_t &s : samples)
            s = int16_t(random.bounded(-32768, 32768));
        const QString file = testEnv().makeDir(QStringLiteral("sums")) + QStringLiteral("/track.raw");
        QVERIFY(writeFileBytes(file, QByteArray(reinterpret_cast<const char *>(samples.data()),
                                                qsizetype(samples.size() * 2))));
        TrackChecksummer sums(frames, first, last);
        for (size_t at = 0; at < samples.size();) {
            const size_t n = std::min(size_t(block), samples.size() - at);
            sums.add(samples.data() + at, n);
            at += n;
        }
        QCOMPARE(sums.result().frames, frames);
        QCOMPARE(sumsText(sums.result()), referenceText(file, 0, frames, first, last));
    }

    // What the grabber gives of each track of an image is summed as it is read: the first and
    // last tracks leave out their edges, the reference reads the image's data file itself.
    void grabberSumsTheTracksItReads()
    {
        const QString dir = testEnv().makeDir(QStringLiteral("image"));
        const QList<qint64> frames{cdFramesForMs(1500), cdFramesForMs(700), cdFramesForMs(1200)};
        const QString cue = makeCdImage(dir, {{frames[0]}, {frames[1]}, {frames[2]}});
        setCdDevices({cue});
        AudioGrabber grabber;
        grabber.setDriveNum(grabber.driveCount());
        grabber.ReadTOC();
        QCOMPARE(grabber.trackCount(), 3);
        qint64 byteOffset = 0;
        for (int t = 1; t <= 3; ++t) {
            grabber.OpenTrack(t);
            while (!grabber.ReadBlock(10000).isEmpty()) {
            }
            grabber.CloseTrack();
            const QString expected = referenceText(dir + QStringLiteral("/disc.bin"), byteOffset,
                                                   frames[t - 1], t == 1, t == 3);
            QCOMPARE(sumsText(grabber.trackChecksums()), expected);
            byteOffset += frames[t - 1] * 4;
        }
    }

    void readOffset_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("block");
        QTest::newRow("+100") << 100 << 1000;
        QTest::newRow("-100") << -100 << 88200;
        QTest::newRow("+3000, past a short track") << 3000 << 4410;
        QTest::newRow("-3000") << -3000 << 1176;
        QTest::newRow("+1 sample") << 1 << 588;
    }
    // Each track is shifted by the offset into its neighbours; before the disc's first sector
    // and past its last, zeros stand in. The length stays the track's.
    void readOffset()
    {
        QFETCH(int, offset);
        QFETCH(int, block);
        const QList<qint64> frames{588 * 8, 588 * 3, 588 * 6};
        const QString cue = makeCdImage(testEnv().makeDir(QStringLiteral("offset")),
                                        {{frames[0]}, {frames[1]}, {frames[2]}});
        std::vector<int16_t> disc;
        for (int t = 1; t <= 3; ++t) {
            const auto samples = cdImageSamples(t, 0, frames[t - 1]);
            disc.insert(disc.end(), samples.begin(), samples.end());
        }
        setCdDevices({cue});
        AudioGrabber grabber;
        grabber.setDriveNum(grabber.driveCount());
        grabber.ReadTOC();
        grabber.setReadOffset(offset);
        qint64 start = 0;
        for (int t = 1; t <= 3; ++t) {
            std::vector<int16_t> expected;
            for (qint64 k = 0; k < frames[t - 1]; ++k) {
                const qint64 f = start + k + offset;
                const bool onDisc = f >= 0 && f < qint64(disc.size() / 2);
                expected.push_back(onDisc ? disc[size_t(f * 2)] : int16_t(0));
                expected.push_back(onDisc ? disc[size_t(f * 2 + 1)] : int16_t(0));
            }
            grabber.OpenTrack(t);
            QCOMPARE(grabber.errorCode(), 0);
            std::vector<int16_t> got;
            for (SampleBlock b = grabber.ReadBlock(block); !b.isEmpty(); b = grabber.ReadBlock(block))
                got.insert(got.end(), b.samples.begin(), b.samples.end());
            QVERIFY2(got == expected, qPrintable(QStringLiteral("track %1").arg(t)));
            start += frames[t - 1];
        }
    }

    void discId_data()
    {
        QTest::addColumn<CdToc>("toc");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("musicBrainz"); // empty: not published
        // The documentation example of the cdtoc crate (docs.rs/cdtoc, AccurateRip):
        // CDTOC "4+96+2D2B+6256+B327+D84A".
        QTest::newRow("cdtoc example")
            << tocOf({0x96, 0x2D2B, 0x6256, 0xB327}, 0xD84A) << "004-0002189a-00087f33-1f02e004"
            << "/accuraterip/a/9/8/dBAR-004-0002189a-00087f33-1f02e004.bin" << "";
        // "Liquid" by Recoil, an enhanced CD (10 audio tracks, then data), ARver's
        // doc/data_track.md, as dBpoweramp and EAC compute it.
        QTest::newRow("enhanced CD")
            << tocOf({150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455, 281735},
                     333801, {11})
            << "010-00164419-00b9f6e2-9e11600b"
            << "/accuraterip/9/1/4/dBAR-010-00164419-00b9f6e2-9e11600b.bin"
            << "9AQWqQ0eCCwktwPPrIUIYkUw2Uo-"; // as MusicBrainz lists the disc
        // "Mortal Kombat Trilogy", mixed mode (data track 1, 28 audio tracks), same source.
        QTest::newRow("mixed mode")
            << tocOf({150, 66728, 76502, 85963, 93760, 104048, 116066, 124743, 134206, 142916,
                      151852, 160720, 169425, 178731, 188459, 196711, 206354, 214845, 223686,
                      225746, 226384, 232668, 239447, 239931, 244989, 254264, 260066, 261222,
                      261674},
                     261976, {1})
            << "028-00517a54-05a845d2-af0da31d"
            << "/accuraterip/4/5/a/dBAR-028-00517a54-05a845d2-af0da31d.bin" << "";
        QTest::newRow("no audio") << tocOf({150}, 20000, {1}) << "" << "" << "";
    }
    void discId()
    {
        QFETCH(CdToc, toc);
        QFETCH(QString, id);
        QFETCH(QString, path);
        QFETCH(QString, musicBrainz);
        QCOMPARE(musicBrainzDiscId(toc).isEmpty(), id.isEmpty());
        if (!musicBrainz.isEmpty())
            QCOMPARE(musicBrainzDiscId(toc), musicBrainz);
        const AccurateRipDiscId disc = AccurateRipDiscId::fromToc(toc);
        QCOMPARE(disc.isEmpty(), id.isEmpty());
        if (id.isEmpty())
            return;
        QCOMPARE(disc.text(), id);
        QCOMPARE(disc.urlPath(), path);
        QCOMPARE(AccurateRipClient(QStringLiteral("www.accuraterip.com"), 1).urlFor(disc),
                 QStringLiteral("http://www.accuraterip.com") + path);
    }

    void lookup_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: nothing stored (404)
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QStringList>("verdicts"); // of tracks 1 and 2
        const AccurateRipDiscId id = AccurateRipDiscId::fromToc(tocOf({150, 20000}, 40000));
        const QByteArray match = dbarPressing(id, {{12, kV1}, {3, kV2}});
        const QByteArray other = dbarPressing(id, {{30, 0x1111}, {40, 0x2222}});
        const int answer = int(Behaviour::Answer);
        QTest::newRow("match v1 and v2")
            << match << answer
            << QStringList{"accurately ripped (v1, confidence 12)", "accurately ripped (v2, confidence 3)"};
        QTest::newRow("mismatch") << other << answer
                                  << QStringList{"mismatch (best confidence 30)", "mismatch (best confidence 40)"};
        QTest::newRow("several pressings")
            << other + match + dbarPressing(id, {{0, 0}, {7, kV2}}) << answer
            << QStringList{"accurately ripped (v1, confidence 12)", "accurately ripped (v2, confidence 7)"};
        QTest::newRow("not present") << QByteArray() << answer
                                     << QStringList{"not present in the database", "not present in the database"};
        QTest::newRow("track without entry") << dbarPressing(id, {{0, 0}, {5, kV2}}) << answer
                                             << QStringList{"not present in the database",
                                                            "accurately ripped (v2, confidence 5)"};
        QTest::newRow("broken file") << match.left(match.size() - 3) << answer
                                     << QStringList{"not checked", "not checked"};
        QTest::newRow("HTTP error") << match << int(Behaviour::HttpError)
                                    << QStringList{"not checked", "not checked"};
        QTest::newRow("no HTTP") << match << int(Behaviour::NotHttp)
                                 << QStringList{"not checked", "not checked"};
        QTest::newRow("server silent") << match << int(Behaviour::NeverAnswer)
                                       << QStringList{"not checked", "not checked"};
    }
    // The client asks the server for the disc's file by its path and judges each track by
    // every pressing; without a readable answer nothing is judged, within the time-out.
    void lookup()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, behaviour);
        QFETCH(QStringList, verdicts);
        const AccurateRipDiscId id = AccurateRipDiscId::fromToc(tocOf({150, 20000}, 40000));
        CddbTestServer server;
        server.setBehaviour(Behaviour(behaviour));
        if (!file.isNull())
            server.setFile(id.urlPath(), file);
        QElapsedTimer clock;
        clock.start();
        const AccurateRipAnswer answer = AccurateRipClient(server.address(), 1500).lookup(id);
        QVERIFY(clock.elapsed() < 5000);
        // Qt may send the request again after a broken reply; always for the disc's file.
        QVERIFY(!server.paths().isEmpty());
        QCOMPARE(server.paths().filter(id.urlPath()), server.paths());
        TrackChecksums sums;
        sums.accurateRipV1 = kV1;
        sums.accurateRipV2 = kV2;
        for (int i = 0; i < 2; ++i) {
            const AccurateRipVerdict verdict = answer.status == AccurateRipAnswer::Found
                ? accurateRipVerdict(answer.pressings, i, sums)
                : answer.status == AccurateRipAnswer::NotPresent
                    ? AccurateRipVerdict{AccurateRipVerdict::NotPresent, 0, 0}
                    : AccurateRipVerdict{};
            QCOMPARE(verdict.text(), verdicts[i]);
        }
    }

private:
    static constexpr quint32 kV1 = 0x8a1b2c3d;
    static constexpr quint32 kV2 = 0x5e6f7081;
};

HARVELO_TEST_MAIN(TestAccurateRip, QCoreApplication)
#include "tst_accuraterip.moc"
