#pragma once

#include <QString>
#include <optional>

class AudioFile;
class AudioTransform;
class LoudnessMeter;
enum class JobStep;

enum class CopyEnd { Done, Stopped, ReadFailed, WriteFailed };

// What a copy shows and asks between blocks; called on the copying thread.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;
    // The percentage of the whole copy, both passes, and the 16-bit stereo amount written.
    virtual void progress(int /*percent*/, const QString & /*written*/) {}
    // False ends the copy at this block boundary (Stop); it may also hold the thread (Pause).
    virtual bool mayGoOn() { return true; }
    // The copy has come to `step` (for a test hook).
    virtual void reached(JobStep /*step*/) {}
};

// The one block loop of the file conversions, for the jobs and the command line. Copies the
// input open on `reader` to `writer` block by block until the reader's length or its end.
// With a ratio, a first pass finds the peak of the whole input, `source` is opened again on
// `reader`, and every block is written with the one gain of `transform` (Reset here); without
// one, the samples pass unchanged. A source deeper than 16 bits is copied at its depth
// (AudioFile::readWideBlock), so that a WAV target keeps it. `loudness`, when given, measures
// every block as it goes to the writer (ReplayGain).
CopyEnd copyFile(const QString &source, AudioFile &reader, AudioFile &writer,
                 AudioTransform &transform, std::optional<float> ratio, CopyObserver &observer,
                 LoudnessMeter *loudness = nullptr);
