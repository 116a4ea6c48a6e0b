#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The AccurateRip drive-offset list (DriveOffsets.bin): for each drive model, the read offset
// that its submitters found. Kept in the user's cache folder and fetched again once it is 30
// days old; a failed fetch keeps the old list.
struct DriveOffsetEntry {
    QString name; // "PLEXTOR - DVDR   PX-716A", as the list spells it
    int offset = 0;
};

class DriveOffsetList {
public:
    // Records of 69 bytes: a 16-bit little-endian offset, 32 bytes of "VENDOR - MODEL" text
    // (NUL-padded), then figures of the submissions. A partial record at the end is left out.
    static DriveOffsetList parse(const QByteArray &bytes);
    // The cached list, without going to the network (empty when there is none).
    static DriveOffsetList cached();
    // The cached list, fetched from the AccurateRip server first when missing or stale.
    static DriveOffsetList load(const QString &server, int timeoutMs);
    // $XDG_CACHE_HOME/harvelo/DriveOffsets.bin
    static QString cachePath();
    static bool cacheIsStale();

    // The offset of the drive with this vendor and model (trimmed, blanks simplified, letter
    // case ignored); nothing for an unknown drive.
    std::optional<int> find(const QString &vendor, const QString &model) const;
    const std::vector<DriveOffsetEntry> &entries() const { return m_entries; }

    static constexpr int kRecordBytes = 69;
    static constexpr qint64 kMaxBytes = 4 * 1024 * 1024; // the real list is about 300 KB
    static constexpr int kMaxAgeDays = 30;

private:
    std::vector<DriveOffsetEntry> m_entries;
};

// "+30" or "-6" or "0", as offsets are shown.
QString signedOffsetText(int offset);

