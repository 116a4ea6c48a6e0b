#pragma once

#include "disc/drive_description.h"

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <unordered_map>

typedef struct _CdIo CdIo_t;
struct CdImageLayout;
class CdImageReader;
struct cdrom_drive_s;

// A CD drive that exists only as a `.drive` file: libcdio opens a stand-in of the image's table
// of contents (a cue sheet over a sparse file of the disc's size), so libcdio-paranoia
// identifies and opens it like a device, and its sector reads are then served from the image
// as the description says: shifted by the drive's read offset, with zeros for what lies
// outside the disc, and with the faults applied.
class SimulatedDrive {
public:
    // Null with a reason when the description or its image cannot be read.
    static std::shared_ptr<SimulatedDrive> open(const QString &path, QString *error);
    ~SimulatedDrive();
    SimulatedDrive(const SimulatedDrive &) = delete;
    SimulatedDrive &operator=(const SimulatedDrive &) = delete;

    // The libcdio handle of the stand-in; the caller destroys it, before this object.
    CdIo_t *takeHandle();
    const CdImageLayout &layout() const { return *m_layout; }
    const DriveDescription &description() const { return m_description; }
    // Makes paranoia's reads on `drive` (opened on this drive's handle) come from the image.
    void attach(cdrom_drive_s *drive) const;

    // The drive's answer to a read of `sectors` sectors from `begin`: how many it read (fewer,
    // or -1, when an unreadable sector stops it). A null buffer is a seek.
    long serve(int16_t *buffer, int begin, long sectors);

private:
    SimulatedDrive(DriveDescription description, std::unique_ptr<CdImageLayout> layout);
    bool makeStandIn(QString *error);
    bool fails(int lsn);
    void readFrames(int64_t first, int64_t count, int16_t *out);
    void damage(int lsn, int16_t *sector);
    int jitterShift(int begin);

    DriveDescription m_description;
    std::unique_ptr<CdImageLayout> m_layout;
    std::unique_ptr<CdImageReader> m_reader;
    QTemporaryDir m_standInDir;
    CdIo_t *m_cdio = nullptr;
    std::unordered_map<int, int> m_reads; // reads so far of each faulty sector
    int m_jitteredReads = 0;
};
