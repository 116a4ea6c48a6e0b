#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>
#include <time.h>

// What a Linux file system takes for one file or folder name.
inline constexpr qsizetype kMaxNameBytes = 255;

// `name` + `extension`, the name cut so that the whole fits in `maxBytes` bytes of UTF-8. The
// extension is kept whole and the cut never falls inside a character.
QString fittedName(const QString &name, const QString &extension = {},
                   qsizetype maxBytes = kMaxNameBytes);

// Whole files or none. An output is written under a hidden temporary name in its own folder
// (".<name>.<token>.harvelo-part.<ext>": the extension stays last, as the writers and the
// tagger choose the format by it) and renamed over its final name only once it is complete. A
// kill, a full disk or a Stop therefore never leaves a short file under the final name, and an
// existing file stays as it was until its replacement is whole.
//
// Every writer gets a temporary file of its own, made with O_EXCL under a random token, so two
// writers of one name (two programs, or two long names alike in their first bytes) never share
// one, and nothing a writer did not make is ever removed. The temporary file is removed by
// discard() and by the destructor unless commit() succeeded, so every path the program
// controls (errors, Stop, exceptions) cleans up after itself; a killed run's file stays.
class PartFile {
public:
    explicit PartFile(const QString &finalPath);
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    // Where the writer writes: an empty file of this writer's own. Empty when none could be
    // made (a missing or read-only folder): writing then fails, and so does commit().
    const QString &path() const { return m_partPath; }
    const QString &finalPath() const { return m_finalPath; }

    // Flushes the written file to the disk and renames it over the final name; an existing
    // file's permissions carry over (made writable by the owner). False when the data could
    // not be made safe, the rename failed or conflicted() holds: the temporary file is then
    // gone and the final name untouched.
    bool commit();
    // A failed commit found under the final name a file that was not there, or not that file,
    // when this writer started: another writer's. It was kept, and must be told.
    bool conflicted() const { return m_conflict; }
    // Removes the temporary file; the final name stays untouched.
    void discard();

    // True for a file name made by PartFile: never a finished output.
    static bool isPartName(const QString &fileName);

    // Enough of a file's state to tell that it was replaced or rewritten.
    struct Identity {
        dev_t device;
        ino_t inode;
        off_t size;
        timespec modified;
        bool operator==(const Identity &other) const;
    };

private:
    bool create();
    bool ownsPart() const;
    bool moveIntoPlace(bool replacing);

    QString m_finalPath;
    QString m_partPath;
    std::optional<Identity> m_part;         // the temporary file as made (device and inode count)
    std::optional<Identity> m_finalAtStart; // what the final name held when the writer began
    bool m_done = false;
    bool m_conflict = false;
};

// What every job tells when a commit conflicted: the other writer's file is kept.
QString conflictMessage(const QString &finalPath);

// True when both paths name one and the same existing file: the same device and inode once
// symbolic links are followed, so a hard or symbolic link to a file is that file.
bool sameFile(const QString &a, const QString &b);

// Writes `bytes` as the whole of `path` through a PartFile: the file is there complete, or an
// existing one stays as it was. False when it could not be written.
bool writeWholeFile(const QString &path, const QByteArray &bytes);
