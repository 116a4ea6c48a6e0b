#pragma once

#include "convert/conversion_loop.h"
#include "gui/jobs/job_window_controls.h"
#include "jobs/job_control.h"

#include <QDialog>
#include <atomic>
#include <memory>
#include <optional>

class ConversionThread;
class QLabel;
class TskButton;
class TskForm;
class TskProgressBar;

// The progress window shared by the encode and the decode/normalize jobs: showing it starts
// one worker on the files of the main window's open dialog; Pause/Resume, Stop and closing
// control it; closing opens the output directory. Lives on the UI thread; the worker reaches
// it only through ConversionView, whose calls are carried out on the UI thread.
class ConversionWindow : public QDialog, private ConversionView {
    Q_OBJECT
public:
    ~ConversionWindow() override;

    void setTitle(const QString &title);
    // A worker of an earlier show may still be finishing after its window closed.
    bool jobRunning() const { return m_worker != nullptr; }

    QLabel *lbl_filecount, *lbl_filenum, *lbl_filename, *lbl_filesize;
    TskProgressBar *skpb_progress;
    TskButton *skbtn_pause, *skbtn_abort;

    void skbtn_pauseClick();
    void skbtn_abortClick();

protected:
    // The words that differ between the two windows.
    struct Texts {
        QString title;
        QString fileNamePlaceholder;
        QString amountCaption;
        QString amountPlaceholder;
        bool progressLast = false; // the progress bar below the buttons
    };
    ConversionWindow(const Texts &texts, QWidget *parent);

    // The worker for this show, or none.
    virtual std::unique_ptr<ConversionThread> createWorker(ConversionJob job) = 0;

    QLabel *amountLabel() const { return m_amount; }

    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void FormShow();
    void FormClose();
    void createControls(const Texts &texts);
    void createCurrentFileBox(const Texts &texts, QPoint at);
    void jobEnded(int generation, std::exception_ptr error);
    void waitForWorker();
    // A plain box with the title "Harvelo" and OK, on the UI thread.
    void tell(const QString &text);

    void showFile(int number, const QString &name, const QString &size) override;
    void setProgress(int percent) override;
    void setConverted(const QString &amount) override;
    void reportInvalid(const QString &name) override;
    void reportAlbumGainFailure(const QString &message) override;
    void reportConflict(const QString &target) override;
    bool confirmOverwrite(const QString &target) override;
    void fileConverted(const QString &target) override;
    void finished(std::exception_ptr error) override;

    TskForm *m_form;
    QLabel *m_amount = nullptr;
    JobControl m_control;
    std::optional<PauseStopControls> m_pauseStop;
    std::unique_ptr<ConversionThread> m_worker;
    QString m_outputDir;
    // Counts the shows, so that a late close request of an earlier job closes nothing.
    std::atomic_int m_generation{0};
    bool m_open = false;
    bool m_destroying = false;
    int m_fileCount = 0;
    std::atomic_int m_converted{0}; // counted by the worker
};
