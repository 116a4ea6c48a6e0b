#pragma once

#include "tests/support/scripted_services.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Forms;

// The program's windows over generated CD images, for the rip tests: a 12-track disc with a
// longer first track (several blocks) and a spare 2-track disc that tests may damage.
// Construct it in initTestCase, once the application exists.
class RipFixture : public QObject {
    Q_OBJECT
public:
    // `moreSources` go on the drive list after the two discs.
    explicit RipFixture(const QStringList &moreSources = {});
    ~RipFixture() override;

    ScriptedPrompter prompter;
    RecordingDesktop desktop;
    QString disc;  // the 12-track sheet
    QString spare; // the 2-track sheet
    QList<qint64> frames; // of the 12 tracks, index 0 is track 1

    static constexpr int kGenre = 17; // "Rock"

    // A new case: fresh settings (output below a new directory, naming rule 4, "normalize" as
    // given or absent when null, `sheet`'s drive, the 12-track disc by default), the list
    // refreshed with only `rows` ticked (1-based), nothing recorded, no hooks.
    void prepare(const QList<int> &rows, const QString &sheet = {},
                 const QString &normalize = QStringLiteral("no"));
    QString outDir() const { return m_outDir; }
    // The file of a row under naming rule 4: <out>/<artist>/<row>-<title><extension>.
    QString trackFile(int row, const QString &extension) const;
    // Writes the 2-track disc afresh; damageSpare cuts its file `sectors` into track 2, so the
    // sectors after that cannot be read from a disc opened before.
    void restoreSpare();
    void damageSpare(int sectors);
    // Runs a format button, then the rip command; returns when the rip window has closed.
    void rip(int format);

    // What the rip window showed each time its bar moved.
    struct Step {
        QString counter;
        QString name;
        int percent;
    };
    QList<Step> steps;
    // Runs on the UI thread each time the bar moves, after the step is recorded.
    std::function<void(int percent)> onProgress;

private:
    void recordStep(int percent);
    int driveNumberOf(const QString &sheet) const;

    std::unique_ptr<Forms> m_forms;
    QString m_outDir;
    int m_case = 0;
};

// True when the file decodes to exactly the first `frames` frames of a track of the disc.
bool sameAsDisc(const QString &wavPath, int track, qint64 frames);

// Every file below `dir`, hidden ones (temporary files) included, as sorted paths.
QStringList filesBelow(const QString &dir);
