#pragma once

#include <QByteArray>
#include <QString>

// Whole files or none. An output is written under a hidden temporary name in its own folder
// (".<name>.harvelo-part.<ext>": the extension stays last, as the writers and the tagger
// choose the format by it) and renamed over its final name only once it is complete. A kill,
// a full disk or a Stop therefore never leaves a short file under the final name, and an
// existing file stays as it was until its replacement is whole.
//
// The temporary file is removed by discard() and by the destructor unless commit() succeeded,
// so every path the program controls (errors, Stop, exceptions) cleans up after itself.
class PartFile {
public:
    explicit PartFile(const QString &finalPath);
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    // Where the writer writes. A leftover of a killed run under this name is removed here.
    const QString &path() const { return m_partPath; }
    const QString &finalPath() const { return m_finalPath; }

    // Flushes the written file to the disk and renames it over the final name; an existing
    // file's permissions carry over (made writable by the owner). False when the data could
    // not be made safe or the rename failed: the temporary file is then gone and the final
    // name untouched.
    bool commit();
    // Removes the temporary file; the final name stays untouched.
    void discard();

    // The temporary name for a final path.
    static QString partPathFor(const QString &finalPath);
    // True for a file name made by partPathFor: never a finished output.
    static bool isPartName(const QString &fileName);

private:
    QString m_finalPath;
    QString m_partPath;
    bool m_done = false;
};

// True when both paths name one and the same existing file: the same device and inode once
// symbolic links are followed, so a hard or symbolic link to a file is that file.
bool sameFile(const QString &a, const QString &b);

// Writes `bytes` as the whole of `path` through a PartFile: the file is there complete, or an
// existing one stays as it was. False when it could not be written.
bool writeWholeFile(const QString &path, const QByteArray &bytes);
