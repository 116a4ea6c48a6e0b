#pragma once

class AudioGrabber;
class IniFile;

// Sets the grabber up for a rip from "cd settings": drive, read type, grab mode, retries,
// error action, speed and read offset (0 for an image, which has no drive to correct; a
// simulated drive has one).
void applyCdSettings(AudioGrabber &grabber, const IniFile &ini);

// The read offset alone, for the drive now selected.
void applyReadOffset(AudioGrabber &grabber, const IniFile &ini);

#include <QString>
#include <optional>

// A drive's read offset: its own key ("read offset <vendor> <model>") when it has one, else
// "read offset"; a drive without a name has only the latter. Clamped to the allowed range.
int readOffsetOf(const IniFile &ini, const QString &vendor, const QString &model);
// The drive's own key alone: nothing when it was never set for this drive.
std::optional<int> ownReadOffset(const IniFile &ini, const QString &vendor, const QString &model);
// Writes the drive's own key (and nothing for a drive without a name).
void writeOwnReadOffset(IniFile &ini, const QString &vendor, const QString &model, int offset);
