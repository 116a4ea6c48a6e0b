#pragma once

#include <QString>
#include <cstdio>

class AudioGrabber;
class QCommandLineOption;

// What `lookup` and `rip --lookup` share: the on-line settings, the choice of a release and
// what they print of a lookup.

// --release MBID: which of several MusicBrainz releases names the disc.
const QCommandLineOption &releaseOption();

// Hands the grabber the CDDB server, script and time-out of harvelo.ini and the release asked
// for (empty: the automatic choice).
void prepareLookup(AudioGrabber &grabber, const QString &release);

// Empty when the names are those of the release asked for (or none was); else why not.
QString releaseProblem(const AudioGrabber &grabber, const QString &release);

// One line per server that did not name the disc ("harvelo-cli: <server>: <answer>") on stderr.
void printOnlineAnswers(const AudioGrabber &grabber);

// "other release: MBID<tab>title<tab>artist<tab>date<tab>country<tab>format<tab>barcode" for
// every MusicBrainz release that holds the disc besides the one named, to `out`.
void printOtherReleases(const AudioGrabber &grabber, FILE *out);
