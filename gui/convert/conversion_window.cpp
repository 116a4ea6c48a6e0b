#include "gui/convert/conversion_window.h"

#include "gui/main/fm_main.h"
#include "gui/jobs/job_window_controls.h"
#include "gui/services/desktop_notification.h"
#include "gui/services/prompter.h"
#include "jobs/job_notice.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "convert/conversion_threads.h"
#include "jobs/part_file.h"

#include "skin/sk_controls.h"
#include "gui/services/window_placement.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>

namespace {

constexpr QSize kClientSize(272, 232);

QLabel *label(QWidget *parent, const QString &text, QPoint at, int width = 110)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(QRect(at, QSize(width, 16)));
    return l;
}

TskButton *button(QWidget *parent, const QString &text, QPoint at)
{
    auto *b = new TskButton(text, parent);
    b->setGeometry(QRect(at, QSize(80, 25)));
    return b;
}

} // namespace

ConversionWindow::ConversionWindow(const Texts &texts, QWidget *parent)
    : QDialog(parent), m_form(new TskForm(this))
{
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    const QMargins frame = m_form->contentsMargins();
    setFixedSize(kClientSize.grownBy(frame));
    setTitle(texts.title);
    createControls(texts);
    m_pauseStop.emplace(skbtn_pause, m_control);
    connect(skbtn_pause, &TskButton::clicked, this, &ConversionWindow::skbtn_pauseClick);
    connect(skbtn_abort, &TskButton::clicked, this, &ConversionWindow::skbtn_abortClick);
}

ConversionWindow::~ConversionWindow()
{
    m_destroying = true;
    m_control.requestStop();
    waitForWorker();
}

// The skinned title bar shows the window title.
void ConversionWindow::setTitle(const QString &title)
{
    setWindowTitle(title);
}

// Controls sit on the skinned form, below its title bar, in client coordinates.
void ConversionWindow::createControls(const Texts &texts)
{
    const QPoint client = m_form->clientRect().topLeft();
    label(m_form, QStringLiteral("Selected file count:"), client + QPoint(16, 12));
    lbl_filecount = label(m_form, QStringLiteral("file count"), client + QPoint(136, 12));
    label(m_form, QStringLiteral("Current file number:"), client + QPoint(16, 32));
    lbl_filenum = label(m_form, QStringLiteral("file num"), client + QPoint(136, 32));
    createCurrentFileBox(texts, client + QPoint(8, 54));
    const int barTop = texts.progressLast ? 200 : 160;
    const int buttonTop = texts.progressLast ? 160 : 192;
    skbtn_pause = button(m_form, PauseStopControls::pauseText(), client + QPoint(48, buttonTop));
    skbtn_abort = button(m_form, QStringLiteral("&Stop"), client + QPoint(144, buttonTop));
    skpb_progress = new TskProgressBar(m_form);
    skpb_progress->setGeometry(QRect(client + QPoint(8, barTop), QSize(256, 18)));
    skpb_progress->setRange(0, 100);
    skpb_progress->setValue(0);
}

void ConversionWindow::createCurrentFileBox(const Texts &texts, QPoint at)
{
    auto *box = new TskGroupBox(QStringLiteral("Current File"), m_form);
    box->setGeometry(QRect(at, QSize(256, 96)));
    label(box, QStringLiteral("File name:"), {12, 22}, 64);
    lbl_filename = label(box, texts.fileNamePlaceholder, {80, 22}, 168);
    label(box, QStringLiteral("File size:"), {12, 46}, 64);
    lbl_filesize = label(box, QStringLiteral("size"), {80, 46}, 168);
    label(box, texts.amountCaption, {12, 70}, 64);
    m_amount = label(box, texts.amountPlaceholder, {80, 70}, 168);
}

void ConversionWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

// Every way of closing (Stop, the title bar, Escape, the worker) ends here.
void ConversionWindow::done(int result)
{
    if (m_open) {
        m_open = false;
        FormClose();
    }
    QDialog::done(result);
}

void ConversionWindow::FormShow()
{
    waitForWorker();
    centreOnScreen(this);
    m_outputDir = IniFile().read(settings::outputDirectory);
    QDir().mkdir(m_outputDir);
    // The job works on the selection as it is now, whatever happens to the dialog later.
    const QStringList files = fm_main->OpenDialog;
    // Nothing of the previous job's figures may pass for this one's.
    for (QLabel *l : {lbl_filenum, lbl_filename, lbl_filesize, m_amount})
        l->clear();
    skpb_progress->setValue(0);
    lbl_filecount->setText(QString::number(files.size()));
    m_fileCount = int(files.size());
    m_converted = 0;
    m_control.reset();
    ++m_generation;
    m_open = true;
    m_worker = createWorker({files, m_outputDir, &fm_main->AudioFile, &fm_main->AudioFilew,
                             &fm_main->AudioTransform, &m_control, this});
    if (m_worker)
        m_worker->start();
}

void ConversionWindow::FormClose()
{
    m_pauseStop->stop();
    services::desktop().openFolder(m_outputDir);
}

void ConversionWindow::skbtn_pauseClick()
{
    m_pauseStop->toggle();
}

void ConversionWindow::skbtn_abortClick()
{
    m_pauseStop->stop();
    close();
}

void ConversionWindow::jobEnded(int generation, std::exception_ptr error)
{
    if (generation == m_generation && m_worker) {
        m_worker->wait();
        m_worker.reset();
        // A user who stopped the job saw it end; one who is elsewhere hears of it.
        if (!error && !m_control.stopRequested())
            desktopNotification::afterJob(conversionNotice(m_fileCount, m_converted));
        if (m_open)
            close();
    }
    // A component that failed beyond its error code goes to the application's error handler.
    if (error && !m_destroying)
        std::rethrow_exception(error);
}

// The worker may be waiting for an answer of this thread, so events go on while it finishes;
// its last act is the finished() post that clears m_worker.
void ConversionWindow::waitForWorker()
{
    serveEventsUntil([this] { return !m_worker; });
}

void ConversionWindow::showFile(int number, const QString &name, const QString &size)
{
    postTo(this, [this, number, name, size] {
        lbl_filenum->setText(QString::number(number));
        lbl_filename->setText(name);
        lbl_filesize->setText(size);
    });
}

void ConversionWindow::setProgress(int percent)
{
    postTo(this, [this, percent] { skpb_progress->setValue(percent); });
}

void ConversionWindow::setConverted(const QString &amount)
{
    postTo(this, [this, amount] { m_amount->setText(amount); });
}

void ConversionWindow::reportInvalid(const QString &name)
{
    tell(name + QStringLiteral(" is not a valid file!"));
}

void ConversionWindow::reportAlbumGainFailure(const QString &message)
{
    tell(QStringLiteral("The album's ReplayGain was not written: ") + message
         + QStringLiteral(". The file is whole, with its track values."));
}

void ConversionWindow::reportConflict(const QString &target)
{
    tell(conflictMessage(target));
}

void ConversionWindow::tell(const QString &text)
{
    runOn(this, [this, &text] {
        services::prompter().plain(QStringLiteral("Harvelo"), text, Prompter::Buttons::Ok, this);
    });
}

bool ConversionWindow::confirmOverwrite(const QString &target)
{
    return runOn(this, [this, &target] {
        return services::prompter().plain(QStringLiteral("ERROR"),
                                          target + QStringLiteral(" is already exist.Overwrite?"),
                                          Prompter::Buttons::YesNo, this) == Prompter::Answer::Yes;
    });
}

void ConversionWindow::fileConverted(const QString &target)
{
    Q_UNUSED(target);
    ++m_converted;
}

void ConversionWindow::finished(std::exception_ptr error)
{
    const int generation = m_generation;
    postTo(this, [this, generation, error] { jobEnded(generation, error); });
}
