#pragma once

#include <QString>
#include <vector>

// One entry of the drive list: a real CD drive or a source named in HARVELO_CD_DEVICES.
struct CdDriveEntry {
    QString path; // device node or image file (driveLetter)
    QString name; // vendor and model, or the image's file name (driveName)
    QString vendor; // empty for an image
    QString model;
};

// Real drives first (in libcdio's order), then the colon-separated HARVELO_CD_DEVICES.
// Built afresh on every call, so a drive plugged in later is seen.
std::vector<CdDriveEntry> listCdDrives();
