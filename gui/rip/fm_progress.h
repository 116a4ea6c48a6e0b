#pragma once

#include "gui/jobs/job_window_controls.h"
#include "gui/services/prompter.h"
#include "jobs/job_control.h"
#include "rip/rip_job.h"

#include <QDialog>
#include <memory>
#include <optional>

class QLabel;
class TRipcdThread;
class TskButton;
class TskForm;
class TskGroupBox;
class TskProgressBar;

// The modal window of a rip. Shown for MP3, WAV or OGG it starts a TRipcdThread; shown for WMA
// it runs the job on this thread from its first paint, pumping events. Pause/Resume and Stop
// act on the job; the job closes the window at its end. Lives on the UI thread: the worker
// reaches it only through RipJobHost, whose calls run here.
class Tfm_progress : public QDialog, private RipJobHost {
    Q_OBJECT
public:
    explicit Tfm_progress(QWidget *parent = nullptr);
    ~Tfm_progress() override;

    // A worker of a closed window may still be finishing; it owns the components until then.
    bool workerRunning() const { return m_worker != nullptr; }
    // Keeps the UI going until such a worker has ended.
    void waitForWorker();

    TskForm *skfm_progress;
    QLabel *Image1;
    QLabel *lbl_selectedtrackcount, *lbl_trackcount, *lbl_tracknumber, *lbl_tracknum;
    TskGroupBox *skGroupBox1;
    QLabel *lbl_track, *lbl_trackname, *lbl_total, *lbl_totalsize, *lbl_disk, *lbl_writesize;
    TskProgressBar *skpb_progress;
    TskButton *skbtn_pause, *skbtn_abort, *skbtn_start;

    void skbtn_startClick();
    void skbtn_pauseClick();
    void skbtn_abortClick();
    // The caption names a format the buttons' faces do not say (FLAC, Opus); set at each show.
    void showFormat();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void createControls();
    void createCurrentTrackBox();
    void FormShow();
    void FormPaint();
    void FormClose();
    void workerEnded();
    RipComponents components() const;
    void closeByJob();
    Prompter::Answer question(const QString &caption, const QString &text, Prompter::Buttons buttons);
    void closeQuestions();

    void showTrackCount(int count) override;
    void showTrack(int counter, const QString &name, const QString &size) override;
    void showPercent(int percent) override;
    void showProgress(const QString &written, int percent) override;
    // On the "Disk write:" figure's tooltip, so that the window keeps its layout and texts.
    void showEncoding(int files) override;
    bool askYesNo(const QString &caption, const QString &text) override;
    void tell(const QString &caption, const QString &text) override;
    void finish(const QString &browseDir) override;
    void proven(const RipProof &proof, const QStringList &written) override;
    void fail(std::exception_ptr error) override;
    void pumpEvents() override;

    JobControl m_control; // Stop and Pause of the worker; Stop is also wmaRipStop
    std::optional<PauseStopControls> m_pauseStop;
    std::unique_ptr<TRipcdThread> m_worker;
    bool m_wma = false;          // this showing rips WMA on this thread
    bool wmaRipRunning = false;  // the WMA job has started and the window has not closed since
    bool m_wmaJobActive = false; // the WMA job is inside its run
    bool m_jobClosing = false;   // the close comes from the job itself
    bool m_open = false;
    int m_tickedCount = 0; // the job's, set before it rips
    QString m_notice;      // what a notification would say of the job, once it has proved it
};

// The main window's list, fields and looked-up names as a rip job takes them when it starts.
RipSnapshot mainWindowSnapshot();

