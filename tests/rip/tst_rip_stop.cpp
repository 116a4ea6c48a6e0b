#include "gui/main/forms.h"
#include "gui/rip/fm_progress.h"
#include "jobs/job_control.h"
#include "rip/rip_job.h"
#include "rip/rip_proof.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "tests/rip/rip_fixture.h"
#include "tests/support/audio_probe.h"
#include "tests/support/stop_at_step.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

namespace {

// What the job tells its window; every question is answered Yes.
class RecordingHost : public RipJobHost {
public:
    QStringList texts;
    QList<int> provenTracks;
    QStringList written;

    void showTrackCount(int) override {}
    void showTrack(int, const QString &, const QString &) override {}
    void showPercent(int) override {}
    void showProgress(const QString &, int) override {}
    bool askYesNo(const QString &, const QString &text) override
    {
        texts << text;
        return true;
    }
    void tell(const QString &, const QString &text) override { texts << text; }
    void finish(const QString &) override {}
    void fail(std::exception_ptr) override { texts << QStringLiteral("(an exception)"); }
    void proven(const RipProof &proof, const QStringList &files) override
    {
        for (const RippedTrack &t : proof.report().tracks)
            provenTracks << t.number;
        written = files;
    }
};

// The main window's list and fields as the rip window hands them to its job.
RipSnapshot snapshotOf(int format)
{
    RipSnapshot s = mainWindowSnapshot();
    s.outputType = format;
    return s;
}

} // namespace

// A Stop at whatever step of a track it lands in ends that track Stopped: the earlier file
// answered Yes stays as it was, nothing is left beside it, the log has no entry for it and
// nothing is told. The track before it is saved, so a log is written and the Stop is known to
// hit the second track. WMA runs as the window-thread job, the others as the worker, on one
// encoder thread or two. With two, the first track's encoder is held until the Stop (but for
// a Stop before the second commit, which comes after the first): the Stop lands while it is
// still encoding and the reader is on the second track, and ends both.
class TestRipStop : public QObject {
    Q_OBJECT
    std::unique_ptr<RipFixture> f;

private Q_SLOTS:
    void initTestCase() { f = std::make_unique<RipFixture>(); }
    void cleanupTestCase() { f.reset(); }

    void stopAtEachStep_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("normalize");
        QTest::addColumn<JobStep>("step");
        QTest::addColumn<int>("threads");
        const QList<std::pair<int, QString>> formats{{0, ".mp3"}, {1, ".wav"}, {2, ".wma"}, {3, ".ogg"}};
        for (const int threads : {1, 2})
            for (const auto &[format, extension] : formats)
                for (const QString normalize : {"yes", "no"})
                    for (const NamedStep &s : allJobSteps())
                        if (threads == 1 || format != 2)
                            QTest::addRow("%s, normalize %s, %s, %d threads", qPrintable(extension.mid(1)),
                                          qPrintable(normalize), qPrintable(s.name), threads)
                                << format << extension << normalize << s.step << threads;
    }

    void stopAtEachStep()
    {
        QFETCH(int, format);
        QFETCH(QString, extension);
        QFETCH(QString, normalize);
        QFETCH(JobStep, step);
        QFETCH(int, threads);
        f->prepare({2, 4}, {}, normalize);
        IniFile().write(settings::writeLog, QStringLiteral("yes"));
        // Half of the rows ask for album ReplayGain, which a stopped rip never writes.
        const bool gain = normalize == QLatin1String("yes");
        IniFile().write(settings::replayGain, gain ? QStringLiteral("album") : QStringLiteral("no"));
        IniFile().write(settings::encoderThreads, threads);
        const bool both = threads > 1 && step != JobStep::BeforeCommit;
        const QString saved = f->trackFile(2, extension);
        const QString stopped = f->trackFile(4, extension);
        QVERIFY(QDir().mkpath(QFileInfo(stopped).path()));
        QVERIFY(writeFileBytes(stopped, "an earlier rip"));
        fm_main->AudioFile.setWmaFormatEnabled(format == 2);

        RecordingHost host;
        JobControl control;
        RipJob job(format == 2 ? RipPlace::WindowThread : RipPlace::Worker,
                   {fm_main->AudioGrabber, fm_main->AudioFile, fm_main->AudioTransform,
                    fm_main->AudioInformation},
                   snapshotOf(format), host, control);
        {
            const StopAtStep stop(step, 2, both ? std::optional(JobStep::EncodingEnded) : std::nullopt);
            job.run();
            QCOMPARE(stop.seen(), 2);
        }
        QCOMPARE(fileBytes(stopped), QByteArray("an earlier rip"));
        QCOMPARE(job.results().size(), 2);
        QCOMPARE(job.results()[0].outcome, both ? RipTrackResult::Outcome::Stopped : RipTrackResult::Outcome::Saved);
        QCOMPARE(job.results()[1].outcome, RipTrackResult::Outcome::Stopped);
        QCOMPARE(host.texts, QStringList{stopped + " is already exist.Overwrite?"});
        if (both) {
            QCOMPARE(host.provenTracks, QList<int>());
            QCOMPARE(host.written, QStringList());
            QCOMPARE(filesBelow(f->outDir()), QStringList{stopped});
            return;
        }
        QVERIFY(probeAudio(saved).ok);
        const QStringList gainTags = mutagenTags(saved).keys().filter(QStringLiteral("_GAIN"));
        const bool tagged = gain && extension != ".wav"; // the track's gain, not the album's
        QVERIFY2(gainTags.size() == (tagged ? 1 : 0), qPrintable(gainTags.join(" ")));
        QVERIFY2(!tagged || gainTags[0].endsWith("REPLAYGAIN_TRACK_GAIN"), qPrintable(gainTags.join(' ')));
        QCOMPARE(host.provenTracks, QList<int>{2});
        const QString folder = QFileInfo(saved).path();
        const QString log = folder + QStringLiteral("/Album.log");
        const QString cue = folder + QStringLiteral("/Album.cue");
        QCOMPARE(host.written, (QStringList{log, cue}));
        const QString logText = QString::fromUtf8(fileBytes(log));
        const auto entry = [](int track) {
            return QRegularExpression(QStringLiteral("^Track %1: ").arg(track), QRegularExpression::MultilineOption);
        };
        QVERIFY(logText.contains(entry(2)));
        // The stopped track has no checksums in the log, only the line that says so.
        const auto lines = [&logText](const QString &pattern) {
            return logText.count(QRegularExpression(pattern, QRegularExpression::MultilineOption));
        };
        QCOMPARE(lines(QStringLiteral("^Track 4: .*\n  Not ripped: stopped, no file written$")), 1);
        QCOMPARE(lines(QStringLiteral("^ +CRC32: ")), 1);
        QCOMPARE(filesBelow(f->outDir()), (QStringList{saved, stopped, cue, log}));
    }
};

HARVELO_TEST_MAIN(TestRipStop, QApplication)
#include "tst_rip_stop.moc"
