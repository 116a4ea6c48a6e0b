#include "tests/convert/job_harness.h"

#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/sk_title_bar.h"
#include "tests/support/audio_probe.h"
#include "tests/support/test_env.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdlib>

namespace {

bool runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString encoderFor(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("mp3"))
        return QStringLiteral("libmp3lame");
    if (ext == QLatin1String("ogg"))
        return QStringLiteral("libvorbis");
    if (ext == QLatin1String("wma"))
        return QStringLiteral("wmav2");
    return QStringLiteral("pcm_s16le");
}

QAction *findAction(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == text)
            return a;
        if (a->menu())
            if (QAction *found = findAction(a->menu(), text))
                return found;
    }
    return nullptr;
}

} // namespace

bool makeEncodedFixture(const QString &path, double seconds, int rate, int channels)
{
    const QString source = QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2")
                               .arg(rate).arg(seconds);
    return runTool(QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
             QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source,
             QStringLiteral("-ac"), QString::number(channels), QStringLiteral("-c:a"),
             encoderFor(path), path});
}

Decoded decodeFile(const QString &path, int channels)
{
    const std::vector<int16_t> samples = decodeWithFfmpeg(path);
    Decoded d;
    d.frames = qint64(samples.size()) / std::max(channels, 1);
    for (int16_t s : samples)
        d.peak = std::max(d.peak, std::abs(int(s)) / 32768.0);
    return d;
}

WindowWatch::WindowWatch(ConversionWindow *window) : m_window(window)
{
    window->installEventFilter(this);
    connect(window->skpb_progress, &QProgressBar::valueChanged, this,
            [this](int value) { progress << value; });
}

void WindowWatch::clear()
{
    shows = 0;
    title.clear();
    progress.clear();
    whileShown = nullptr;
}

bool WindowWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Show && !event->spontaneous()) {
        ++shows;
        title = m_window->findChild<TskForm *>()->titleBar()->caption();
        progress.clear();
        // Without a value the job's first 0 shows as a change, whatever the last job left.
        m_window->skpb_progress->reset();
        // After the show handler itself, inside the window's modal loop.
        if (whileShown)
            QTimer::singleShot(0, m_window, whileShown);
    }
    return false;
}

JobHarness::JobHarness() : m_forms(std::make_unique<Forms>())
{
    encodeWatch = std::make_unique<WindowWatch>(fm_encode);
    decodeWatch = std::make_unique<WindowWatch>(fm_decode);
}

JobHarness::~JobHarness()
{
    encodeWatch.reset();
    decodeWatch.reset();
    m_forms.reset();
}

void JobHarness::reset(const QString &outputDir)
{
    testEnv().clearIni();
    IniFile().write(settings::outputDirectory, outputDir);
    prompter.clear();
    desktop.clear();
    encodeWatch->clear();
    decodeWatch->clear();
}

bool JobHarness::run(const QString &text, int timeoutMs)
{
    QAction *action = findAction(fm_main->pm_action, text);
    if (!action)
        return false;
    bool stuck = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&stuck] {
        stuck = true;
        for (ConversionWindow *w : {static_cast<ConversionWindow *>(fm_encode),
                                    static_cast<ConversionWindow *>(fm_decode)})
            if (w->isVisible())
                w->skbtn_abortClick();
    });
    watchdog.start(timeoutMs);
    action->trigger();
    watchdog.stop();
    // A window closed by Stop returns at once; its worker ends after the current block.
    const bool ended = QTest::qWaitFor(
        [] { return !fm_encode->jobRunning() && !fm_decode->jobRunning(); }, timeoutMs);
    return ended && !stuck;
}

QString JobTestCase::inPath(const QString &name) const
{
    return QDir(in).filePath(name);
}

void JobTestCase::initTestCase()
{
    h = std::make_unique<JobHarness>();
}

void JobTestCase::cleanupTestCase()
{
    h.reset();
}

void JobTestCase::init()
{
    in = testEnv().makeDir(QStringLiteral("in"));
    out = testEnv().makeDir(QStringLiteral("out"));
    h->reset(out);
}
