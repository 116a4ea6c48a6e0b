#pragma once

#include "disc/image/cd_image.h"

#include <QHash>
#include <QStringList>

// A cue sheet's lines, each checked before libcue sees any of them. libcue takes what it is
// given on trust (an INDEX of 99:99:99, a TRACK before any FILE), recovers from what it cannot
// parse by skipping lines, and leaks its disc when it gives up. So libcue gets only the lines
// that make the disc's structure (FILE, TRACK, INDEX, PREGAP, POSTGAP), each one checked and in
// the form libcue reads; the CD-Text, the codes and every other line are read here.

struct CueFile {
    QByteArray type; // upper case: WAVE, BINARY, MOTOROLA, ...
    int line = 0;    // of its FILE statement
};

struct CueTrack {
    int number = 0;     // as the TRACK line gives it
    int line = 0;       // of the TRACK line
    int index1Line = 0; // of its INDEX 01
};

// An enhanced CD's data track as EAC writes it: last, after the audio, with INDEX 00 only. It
// lies in the disc's second session, 11400 sectors after the audio's end, and in no file.
struct CueSessionData {
    int number = 0;
    int line = 0;        // of its TRACK line
    int sectors = -1;    // from REM DATATRACKLENGTH; -1 when the sheet does not say
    int lengthLine = 0;
};

struct CueText {
    QByteArray text;                  // for libcue, one statement a line
    QHash<QByteArray, CueFile> files; // by the name libcue gives back
    QList<CueTrack> tracks;
    CdText cdText;
    DiscCodes codes;
    QStringList notes;
    std::optional<CueSessionData> sessionData; // not in `tracks` nor in `text`
};

// Empty with a reason ("line 3: ...") when the sheet cannot be read.
std::optional<CueText> checkCueText(const QByteArray &sheet, QString *error);
