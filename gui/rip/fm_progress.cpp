#include "gui/rip/fm_progress.h"

#include "gui/main/fm_main.h"
#include "gui/jobs/job_window_controls.h"
#include "gui/services/desktop_notification.h"
#include "gui/services/prompter.h"
#include "jobs/job_notice.h"
#include "rip/output_naming.h"
#include "rip/rip_proof.h"
#include "settings/ini_file.h"
#include "rip/ripcd_thread.h"
#include "skin/sk_controls.h"
#include "gui/services/window_placement.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace {

QLabel *label(QWidget *parent, const QString &text, int left, int top, int width)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(left, top, width, 14);
    return l;
}

// The answer to a question of the job, set on the UI thread and awaited by the job.
class PendingAnswer {
public:
    void set(Prompter::Answer answer)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_answer = answer;
        }
        m_set.notify_all();
    }
    bool isSet()
    {
        const std::lock_guard lock(m_mutex);
        return m_answer.has_value();
    }
    Prompter::Answer wait()
    {
        std::unique_lock lock(m_mutex);
        m_set.wait(lock, [this] { return m_answer.has_value(); });
        return *m_answer;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_set;
    std::optional<Prompter::Answer> m_answer;
};

TskButton *button(QWidget *parent, const QString &text, int left, int top, int width)
{
    auto *b = new TskButton(text, parent);
    b->setGeometry(left, top, width, 23);
    b->setAutoDefault(false);
    return b;
}

} // namespace

// The skinned frame is the whole window; positions are in its coordinates, title bar included.
Tfm_progress::Tfm_progress(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fm_progress"));
    setWindowTitle(QStringLiteral("        Harvelo"));
    setFixedSize(262, 227);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    createControls();
    m_pauseStop.emplace(skbtn_pause, m_control);
    connect(skbtn_start, &TskButton::clicked, this, &Tfm_progress::skbtn_startClick);
    connect(skbtn_pause, &TskButton::clicked, this, &Tfm_progress::skbtn_pauseClick);
    connect(skbtn_abort, &TskButton::clicked, this, &Tfm_progress::skbtn_abortClick);
    connect(skfm_progress->titleBar(), &TskTitleBar::helpButtonClick, this,
            [] { services::desktop().openHelp(); });
}

Tfm_progress::~Tfm_progress()
{
    m_control.requestStop();
    m_control.resume();
    closeQuestions();
    waitForWorker();
}

void Tfm_progress::createControls()
{
    skfm_progress = new TskForm(this);
    skfm_progress->titleBar()->setButtons({TskTitleBar::skControlBox, TskTitleBar::skMin,
                                           TskTitleBar::skHelp, TskTitleBar::skClose});
    skfm_progress->installEventFilter(this);
    TskForm *frame = skfm_progress;
    Image1 = new QLabel(frame);
    Image1->setGeometry(8, 41, 34, 35);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_DriveCDIcon).pixmap(32, 32));
    lbl_selectedtrackcount = label(frame, QStringLiteral("Selected track count:"), 56, 40, 112);
    lbl_trackcount = label(frame, QStringLiteral("track count"), 172, 41, 84);
    lbl_tracknumber = label(frame, QStringLiteral("Current track number:"), 56, 62, 112);
    lbl_tracknum = label(frame, QStringLiteral("track num"), 172, 62, 84);
    // The hidden Start button lies under the group box, which covers it.
    skbtn_start = button(frame, QStringLiteral("Start"), 153, 108, 82);
    createCurrentTrackBox();
    skpb_progress = new TskProgressBar(frame);
    skpb_progress->setGeometry(17, 148, 218, 12);
    skpb_progress->setRange(0, 100);
    skpb_progress->setValue(0);
    skpb_progress->setTextVisible(true);
    skbtn_pause = button(frame, PauseStopControls::pauseText(), 30, 190, 80);
    skbtn_abort = button(frame, QStringLiteral("&Stop"), 150, 190, 80);
    setTabOrder(skbtn_pause, skbtn_abort);
    setTabOrder(skbtn_abort, skbtn_start);
}

void Tfm_progress::createCurrentTrackBox()
{
    skGroupBox1 = new TskGroupBox(QStringLiteral("Current Track"), skfm_progress);
    skGroupBox1->setGeometry(9, 84, 242, 86);
    lbl_track = label(skGroupBox1, QStringLiteral("Track name:"), 11, 18, 64);
    lbl_trackname = label(skGroupBox1, QStringLiteral("track name"), 78, 18, 160);
    lbl_total = label(skGroupBox1, QStringLiteral("Total size:"), 12, 42, 62);
    lbl_totalsize = label(skGroupBox1, QStringLiteral("size"), 76, 42, 52);
    lbl_disk = label(skGroupBox1, QStringLiteral("Disk write:"), 129, 42, 52);
    lbl_writesize = label(skGroupBox1, QStringLiteral("disk"), 182, 42, 58);
}

void Tfm_progress::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen(this);
    FormShow();
}

// The skinned frame covers the whole window: its paints are the window's.
bool Tfm_progress::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == skfm_progress && event->type() == QEvent::Paint)
        FormPaint();
    return QDialog::eventFilter(watched, event);
}

// Every way of closing (the job, the title bar, Escape) ends here.
void Tfm_progress::done(int result)
{
    // The WMA job runs inside this window: it closes the window itself when it has ended.
    if (m_wmaJobActive && !m_jobClosing)
        return;
    if (m_open) {
        m_open = false;
        FormClose();
    }
    QDialog::done(result);
}

// A format the buttons' names do not say (FLAC, Opus) is named in the caption.
void Tfm_progress::showFormat()
{
    const int type = fm_main->output_format;
    const QString extension = ripExtension(type, IniFile());
    QString title = QStringLiteral("        Harvelo");
    if (extension != extensionForOutputType(type))
        title += QStringLiteral(" - ") + formatName(extension);
    setWindowTitle(title);
}

void Tfm_progress::FormShow()
{
    waitForWorker();
    setFocus();
    for (QLabel *l : {lbl_trackcount, lbl_tracknum, lbl_trackname, lbl_totalsize, lbl_writesize})
        l->clear();
    skpb_progress->setValue(0);
    m_notice.clear();
    m_pauseStop->reset();
    m_control.reset();
    m_open = true;
    showFormat();
    m_wma = fm_main->output_format == 2;
    if (m_wma) {
        skbtn_pause->setEnabled(false); // the job starts at the first paint
        return;
    }
    m_worker = std::make_unique<TRipcdThread>(
        RipJob(RipPlace::Worker, components(), mainWindowSnapshot(), *this, m_control));
    connect(m_worker.get(), &QThread::finished, this, &Tfm_progress::workerEnded);
    m_worker->start();
}

// The job starts after the paint rather than inside it: it pumps events, and painting
// must not be re-entered.
void Tfm_progress::FormPaint()
{
    if (m_wma && !wmaRipRunning)
        QMetaObject::invokeMethod(this, &Tfm_progress::skbtn_startClick, Qt::QueuedConnection);
}

void Tfm_progress::skbtn_startClick()
{
    if (!m_wma || wmaRipRunning || !m_open)
        return;
    wmaRipRunning = true;
    m_control.reset();
    m_wmaJobActive = true;
    const auto ended = qScopeGuard([this] { m_wmaJobActive = false; });
    RipJob(RipPlace::WindowThread, components(), mainWindowSnapshot(), *this, m_control).run();
}

void Tfm_progress::skbtn_pauseClick()
{
    m_pauseStop->toggle();
}

void Tfm_progress::skbtn_abortClick()
{
    m_pauseStop->stop();
    closeQuestions();
}

// A Stop answers the job's open question for the user: No, which keeps an existing file.
void Tfm_progress::closeQuestions()
{
    services::prompter().closeQuestions(this, Prompter::Answer::No);
}

// The worker closes its file and track itself once it sees the request; calling them from
// here could overlap its own calls.
void Tfm_progress::FormClose()
{
    wmaRipRunning = false;
    skbtn_pause->setEnabled(true);
    if (!m_worker || m_worker->isFinished())
        return;
    m_pauseStop->stop();
    closeQuestions();
}

// finished() comes as the thread's last act, so the join returns at once.
void Tfm_progress::workerEnded()
{
    if (!m_worker)
        return;
    m_worker->wait();
    m_worker.reset();
}

// The worker may be waiting for an answer of this thread, so events go on while it finishes;
// its finished() clears m_worker.
void Tfm_progress::waitForWorker()
{
    serveEventsUntil([this] { return !m_worker; });
}

RipComponents Tfm_progress::components() const
{
    return {fm_main->AudioGrabber, fm_main->AudioFile, fm_main->AudioTransform,
            fm_main->AudioInformation};
}

RipSnapshot mainWindowSnapshot()
{
    RipSnapshot s;
    const QTreeWidget *list = fm_main->sklv_main;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        s.rows.append({item->checkState(0) == Qt::Checked, item->text(1), item->text(3)});
    }
    s.artist = fm_main->skedt_artist->text();
    s.album = fm_main->skedt_album->text();
    s.genre = fm_main->skcb_genre->currentIndex();
    s.genreText = fm_main->lookedUpGenreText();
    s.names = fm_main->AudioGrabber.discNames();
    return s;
}

void Tfm_progress::showTrackCount(int count)
{
    runOn(this, [&] {
        lbl_trackcount->setText(QString::number(count));
        m_tickedCount = count;
    });
}

void Tfm_progress::showTrack(int counter, const QString &name, const QString &size)
{
    runOn(this, [&] {
        lbl_tracknum->setText(QString::number(counter));
        lbl_trackname->setText(name);
        lbl_totalsize->setText(size);
    });
}

void Tfm_progress::showPercent(int percent)
{
    runOn(this, [&] { skpb_progress->setValue(percent); });
}

void Tfm_progress::showProgress(const QString &written, int percent)
{
    runOn(this, [&] {
        lbl_writesize->setText(written);
        skpb_progress->setValue(percent);
    });
}

void Tfm_progress::showEncoding(int files)
{
    const QString text = files == 0 ? QString()
                         : files == 1 ? QStringLiteral("1 file still encoding")
                                      : QStringLiteral("%1 files still encoding").arg(files);
    runOn(this, [&] { lbl_writesize->setToolTip(text); });
}

bool Tfm_progress::askYesNo(const QString &caption, const QString &text)
{
    return question(caption, text, Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
}

void Tfm_progress::tell(const QString &caption, const QString &text)
{
    question(caption, text, Prompter::Buttons::Ok);
}

// The box leaves this window usable, so Stop can be pressed while the job waits for the answer.
// A question that would open after a Stop is answered at once, as the Stop would have.
Prompter::Answer Tfm_progress::question(const QString &caption, const QString &text,
                                        Prompter::Buttons buttons)
{
    auto pending = std::make_shared<PendingAnswer>();
    auto open = [this, pending, caption, text, buttons] {
        if (m_control.stopRequested()) {
            pending->set(Prompter::Answer::No);
            return;
        }
        services::prompter().askOpen({Prompter::Kind::Plain, caption, text, buttons}, this,
                                     [pending](Prompter::Answer answer) { pending->set(answer); });
    };
    if (QThread::currentThread() != thread()) {
        postTo(this, open);
        return pending->wait();
    }
    open(); // the WMA job: this thread keeps serving the window until the answer comes
    serveEventsUntil([&] { return pending->isSet(); });
    return pending->wait();
}

void Tfm_progress::closeByJob()
{
    m_jobClosing = true;
    close();
    m_jobClosing = false;
}

void Tfm_progress::proven(const RipProof &proof, const QStringList &written)
{
    Q_UNUSED(written);
    const RipReport &report = proof.report();
    const QString notice = ripNotice(m_tickedCount, int(report.tracks.size()), accurateTrackCount(report));
    runOn(this, [&] { m_notice = notice; });
}

// A user who stopped the job saw it end; one who is elsewhere hears of it.
void Tfm_progress::finish(const QString &browseDir)
{
    runOn(this, [&] {
        if (!m_control.stopRequested())
            desktopNotification::afterJob(m_notice);
        closeByJob();
        if (!browseDir.isEmpty())
            services::desktop().openFolder(browseDir);
    });
}

// The error reaches the application's handler from an event of the UI thread, as any other.
void Tfm_progress::fail(std::exception_ptr error)
{
    runOn(this, [this] { closeByJob(); });
    if (QThread::currentThread() == thread())
        std::rethrow_exception(error);
    postTo(this, [error] { std::rethrow_exception(error); });
}

void Tfm_progress::pumpEvents()
{
    QCoreApplication::processEvents();
}
