#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// A run of sectors (LSN, both ends included). `failingReads` is how many reads of each sector
// go wrong before it reads right; -1 for always.
struct SectorRange {
    int first = 0;
    int last = 0;
    int failingReads = -1;
    bool contains(int lsn) const { return lsn >= first && lsn <= last; }
};

// What goes wrong on a simulated drive: sectors that fail to read, sectors whose first reads
// come back damaged, and reads that start in a range and come back shifted.
struct DriveFaults {
    std::vector<SectorRange> unreadable;
    std::vector<SectorRange> flaky;
    std::vector<SectorRange> jitter;
};

// A `.drive` file: a CD image seen through a drive with a name, a read offset and faults.
//   [drive]
//   image = disc.cue      ; relative to the .drive file
//   vendor = PLEXTOR
//   model = DVDR   PX-716A
//   offset = 30           ; stereo frames the drive reads early
//   [faults]
//   unreadable = 1000-1010, 1200-1201:3   ; ":3": the first 3 reads fail, later ones succeed
//   flaky = 2000-2005
//   jitter = 5000-5100
struct DriveDescription {
    QString image; // absolute path
    QString vendor;
    QString model;
    int offset = 0;
    DriveFaults faults;
};

// The text of a .drive file; `folder` resolves the image's path. Empty with a reason ("line 3:
// ...") when the text is no drive.
std::optional<DriveDescription> parseDriveDescription(const QByteArray &text, const QString &folder,
                                                      QString *error);
std::optional<DriveDescription> readDriveDescription(const QString &path, QString *error);
// True for a path that names a drive description (by its extension).
bool isDriveDescriptionPath(const QString &path);
