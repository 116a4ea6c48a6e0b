#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class AlbumGain;
class QCommandLineOption;
class QCommandLineParser;

// --normalize RATIO, shared by both forms of the convert command, and its checked value (the
// message when it is no ratio from 0 to 100).
QCommandLineOption normalizeOption();
std::optional<QString> readNormalizeRatio(const QCommandLineParser &parser, std::optional<float> *ratio);
// -j N, the threads a command runs on: `what` says what each does ("Convert N files at a time").
QCommandLineOption jobsOption(const QString &what);
// N from 1, or nullopt when -j is not given; the message when it is not such a number.
std::optional<QString> readJobs(const QCommandLineParser &parser, std::optional<int> *jobs);

// One INPUT to OUTPUT with the checks of the convert command (same file, existing output);
// the failure message, or nothing on success. Safe to run on several threads for different
// files. With "replaygain" on, OUTPUT gets its track's values, and a whole one counts in
// `album` when given ("album").
std::optional<QString> convertChecked(const QString &input, const QString &output, bool force,
                                      std::optional<float> ratio, AlbumGain *album = nullptr);

// True when the convert command's arguments ask for the several-inputs form (--output-dir).
bool isBatchConvert(const QStringList &args);
// convert --output-dir DIR --format EXT [-j N] [--normalize RATIO] [--force] INPUT...
int runBatchConvert(const QStringList &args);
