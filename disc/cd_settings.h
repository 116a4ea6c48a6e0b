#pragma once

class AudioGrabber;
class IniFile;

// Sets the grabber up for a rip from "cd settings": drive, read type, grab mode, retries,
// error action, speed and read offset (0 for an image, which has no drive to correct; a
// simulated drive has one).
void applyCdSettings(AudioGrabber &grabber, const IniFile &ini);

// The read offset alone, for the drive now selected.
void applyReadOffset(AudioGrabber &grabber, const IniFile &ini);
