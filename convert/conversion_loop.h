#pragma once

#include "tags/album_gain.h"

#include <QString>
#include <QStringList>
#include <exception>

class AudioFile;
class AudioTransform;
class JobControl;
class PartFile;

// What a conversion shows and asks while it runs. Called on the worker thread: an
// implementation hands every call to the UI thread; the two questions wait for the answer.
class ConversionView {
public:
    virtual ~ConversionView() = default;
    virtual void showFile(int number, const QString &name, const QString &size) = 0;
    virtual void setProgress(int percent) = 0;
    virtual void setConverted(const QString &amount) = 0;
    // "<name> is not a valid file!"; returns once the user has seen it.
    virtual void reportInvalid(const QString &name) = 0;
    // Another writer put a file under the target's name while this one was written; that
    // file was kept. Returns once the user has seen it.
    virtual void reportConflict(const QString &target) = 0;
    // The album's ReplayGain could not go into a file that is whole, with its track values;
    // `message` says which and why. Returns once the user has seen it.
    virtual void reportAlbumGainFailure(const QString &message) = 0;
    // "<target> is already exist.Overwrite?"; true for Yes.
    virtual bool confirmOverwrite(const QString &target) = 0;
    // A target written whole under its final name.
    virtual void fileConverted(const QString &target) { Q_UNUSED(target); }
    // The last call of a job; `error` is set when a component failed beyond its error code.
    virtual void finished(std::exception_ptr error) = 0;
};

// Everything one conversion job works with. The file list is the job's own copy, taken when
// the job starts; the components are used by the job alone while it runs.
struct ConversionJob {
    QStringList files;
    QString outputDir;
    AudioFile *reader = nullptr;
    AudioFile *writer = nullptr;
    AudioTransform *transform = nullptr;
    JobControl *control = nullptr;
    ConversionView *view = nullptr;
};

// Converts each file of a job into its target: read, normalize to 98% and write block by
// block, with the overwrite question and the invalid-file message. Pauses and stops at block
// and file boundaries. A target is written under a temporary name and replaces the final
// name only when whole: a failed or stopped file leaves nothing, and an existing target stays
// until then. With "replaygain" on, each target gets its track's values before it replaces
// the name and, for "album", the values of every target written once the last one is (not
// after a Stop). Runs on the worker thread.
class ConversionLoop {
public:
    ConversionLoop(const ConversionJob &job, const QString &targetSuffix);
    void run();

private:
    void convertFile(int number, const QString &source);
    bool openSource(const QString &source);
    bool prepareTarget(const QString &source, const QString &target);
    bool createTarget(const PartFile &part);
    // True when the input was read to its end and every block written.
    bool pumpBlocks(const QString &source, const QString &target, LoudnessMeter *loudness);
    void keepTarget(PartFile &part, LoudnessMeter *loudness);
    void tagAlbum();
    void reportInvalid(const QString &path);
    void closeBoth();

    const ConversionJob &m_job;
    QString m_suffix;
    ReplayGainMode m_gain;
    AlbumGain m_album;
};
