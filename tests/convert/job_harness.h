#pragma once

#include "gui/main/forms.h"
#include "tests/support/scripted_services.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class ConversionWindow;

// Encodes a tone with ffmpeg, independently of the program's own writers.
bool makeEncodedFixture(const QString &path, double seconds, int rate = 44100, int channels = 2);

// Frames and peak level (0..1) of a file as ffmpeg decodes it.
struct Decoded {
    qint64 frames = 0;
    double peak = 0;
};
Decoded decodeFile(const QString &path, int channels);

// Counts the shows of a job window and records its title and progress values while shown.
class WindowWatch : public QObject {
public:
    explicit WindowWatch(ConversionWindow *window);
    int shows = 0;
    QString title;
    QList<int> progress;
    // Runs once the window is up and its job started (inside the modal loop).
    std::function<void()> whileShown;
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ConversionWindow *m_window;
};

// The program's windows with scripted dialogs; runs the commands of the action menu.
class JobHarness {
public:
    JobHarness();
    ~JobHarness();

    ScriptedPrompter prompter;
    RecordingDesktop desktop;
    std::unique_ptr<WindowWatch> encodeWatch, decodeWatch;

    // Before each test: fresh settings with the output directory `outputDir`, no answers.
    void reset(const QString &outputDir);
    // Triggers the pm_action item `text`; returns once the command returned and any job it
    // started has ended. False when the job had to be stopped by the watchdog.
    bool run(const QString &text, int timeoutMs = 60000);

private:
    std::unique_ptr<Forms> m_forms;
};

// Base of the job tests: one harness for the executable, fresh input and output directories
// (the output directory in the settings) before every test.
class JobTestCase : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<JobHarness> h;
    QString in, out;
    QString inPath(const QString &name) const;
    // The files the next open dialog returns.
    void choose(const QStringList &files) { h->prompter.fileSelections.enqueue(files); }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
};
