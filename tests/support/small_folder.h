#pragma once

#include <QStringList>
#include <functional>

// A folder that holds only a few bytes, so that writing into it fails as on a full disk, even
// for root. A tmpfs of that size is mounted on it; where mounting is not allowed, the folder is
// plain and RLIMIT_FSIZE of that size stands in for the mount while limited() runs (SIGXFSZ
// ignored, so a write past it fails with EFBIG instead of ending the process; child processes
// inherit both).
class SmallFolder {
public:
    SmallFolder(const QString &path, qint64 bytes);
    ~SmallFolder();
    SmallFolder(const SmallFolder &) = delete;
    SmallFolder &operator=(const SmallFolder &) = delete;

    const QString &path() const { return m_path; }
    bool mounted() const { return m_mounted; }
    // Runs fn with the folder's limit in force.
    void limited(const std::function<void()> &fn) const;
    // The names in the folder, hidden ones included.
    QStringList entries() const;

private:
    QString m_path;
    qint64 m_bytes;
    bool m_mounted = false;
};
