#include "gui/main/forms.h"
#include "skin/sk_controls.h"
#include "tests/rip/rip_fixture.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/audio_fixtures.h"
#include "tests/support/test_env.h"

#include <QDirIterator>
#include <QtTest>

// Normalized rips: one gain per track from the track's own peak, the disc read once through
// a temporary file that never outlives the track.
class TestRipLevels : public QObject {
    Q_OBJECT
    std::unique_ptr<RipFixture> f;
    QString m_sheet;
    std::vector<int16_t> m_tracks[2]; // the tone with a click, the fade-in

    // Every file below the output directory, hidden ones too.
    QStringList namesBelow() const
    {
        QStringList names;
        for (const QString &path : filesBelow(f->outDir()))
            names << QFileInfo(path).fileName();
        return names;
    }

    // The percentages shown for one track, in order.
    QList<int> percentsOf(int counter) const
    {
        QList<int> seen;
        for (const RipFixture::Step &s : f->steps)
            if (s.counter == QString::number(counter))
                seen << s.percent;
        return seen;
    }

    static double maxError(const std::vector<int16_t> &in, const std::vector<int16_t> &out)
    {
        const double gain = 32767 * 0.98 / (peakLevel(in) * 32767);
        double worst = in.size() == out.size() ? 0 : 1e9;
        for (size_t i = 0; i < std::min(in.size(), out.size()); ++i)
            worst = std::max(worst, std::abs(out[i] - in[i] * gain));
        return worst;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_tracks[0] = levelSignal(LevelShape::ClickTone);
        m_tracks[1] = levelSignal(LevelShape::FadeIn);
        for (std::vector<int16_t> &t : m_tracks)
            t.resize(size_t(cdFramesForMs(int(t.size() / 2 * 1000 / 44100))) * 2, 0);
        CdImageOptions options;
        options.cueName = QStringLiteral("shaped.cue");
        const auto audio = [this](int track, int64_t frame, int16_t *samples) {
            const std::vector<int16_t> &t = m_tracks[track - 1];
            const size_t at = size_t(frame) * 2;
            samples[0] = at < t.size() ? t[at] : 0;
            samples[1] = at + 1 < t.size() ? t[at + 1] : 0;
        };
        const QList<CdImageTrack> tracks{{int64_t(m_tracks[0].size() / 2), QStringLiteral("Click")},
                                         {int64_t(m_tracks[1].size() / 2), QStringLiteral("Fade")}};
        m_sheet = makeCdImageOf(audio, testEnv().makeDir(QStringLiteral("shaped")), tracks,
                                QStringLiteral("Band"), QStringLiteral("Album"), options);
        f = std::make_unique<RipFixture>(QStringList{m_sheet});
    }
    void cleanupTestCase() { f.reset(); }

    void oneGainPerTrack_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("normalize");
        QTest::newRow("wav") << 1 << ".wav" << "yes";
        QTest::newRow("wav, normalize absent") << 1 << ".wav" << QString();
        QTest::newRow("mp3") << 0 << ".mp3" << "yes";
        QTest::newRow("ogg") << 3 << ".ogg" << "yes";
        QTest::newRow("wma") << 2 << ".wma" << "yes";
    }

    // Each track comes out as the disc's samples times 0.98 / that track's peak: the click
    // does not turn the tone down, the fade still fades. The bar covers reading and encoding.
    void oneGainPerTrack()
    {
        QFETCH(int, format);
        QFETCH(QString, extension);
        QFETCH(QString, normalize);
        f->prepare({1, 2}, m_sheet, normalize);
        f->rip(format);
        for (int track : {1, 2}) {
            const std::vector<int16_t> out = decodeWithFfmpeg(f->trackFile(track, extension));
            const std::vector<int16_t> &in = m_tracks[track - 1];
            if (extension == QLatin1String(".wav"))
                QVERIFY2(maxError(in, out) <= 0.5 + 1e-6, qPrintable(QString::number(maxError(in, out))));
            const double spread = gainSpreadDb(in, 2, out, 2);
            QVERIFY2(spread < 0.1, qPrintable(QStringLiteral("track %1: %2").arg(track).arg(spread)));
            const QList<int> seen = percentsOf(track);
            QVERIFY(std::is_sorted(seen.begin(), seen.end()));
            QVERIFY(std::any_of(seen.begin(), seen.end(), [](int p) { return p > 0 && p < 50; }));
            QVERIFY(std::any_of(seen.begin(), seen.end(), [](int p) { return p > 50 && p < 100; }));
            QCOMPARE(seen.last(), 100);
        }
        QCOMPARE(namesBelow(), (QStringList{"1-Click" + extension, "2-Fade" + extension}));
        QVERIFY(f->prompter.boxes.isEmpty());
    }

    void temporaryFileGoesOnStop_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("stopAt"); // the first percentage at or above this presses Stop
        QTest::newRow("worker, while reading") << 1 << 10;
        QTest::newRow("worker, while encoding") << 1 << 60;
        QTest::newRow("wma job, while reading") << 2 << 10;
        QTest::newRow("wma job, while encoding") << 2 << 60;
    }

    // Stop at any point leaves neither a temporary file nor a part of the track under its name.
    void temporaryFileGoesOnStop()
    {
        QFETCH(int, format);
        QFETCH(int, stopAt);
        f->prepare({1, 2}, m_sheet, QStringLiteral("yes"));
        f->onProgress = [stopAt, done = false](int percent) mutable {
            if (percent >= stopAt && percent < 100 && !done) {
                done = true;
                QMetaObject::invokeMethod(fm_progress->skbtn_abort, &TskButton::click,
                                          Qt::QueuedConnection);
            }
        };
        f->rip(format);
        QCOMPARE(namesBelow(), QStringList{});
        QVERIFY(percentsOf(1).last() < 100);
        QVERIFY(!fm_progress->isVisible());
    }
};

HARVELO_TEST_MAIN(TestRipLevels, QApplication)
#include "tst_rip_levels.moc"
