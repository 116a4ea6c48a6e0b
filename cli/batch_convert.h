#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// One INPUT to OUTPUT with the checks of the convert command (same file, existing output);
// the failure message, or nothing on success. Safe to run on several threads for different
// files.
std::optional<QString> convertChecked(const QString &input, const QString &output, bool force,
                                      std::optional<float> ratio);

// True when the convert command's arguments ask for the several-inputs form (--output-dir).
bool isBatchConvert(const QStringList &args);
// convert --output-dir DIR --format EXT [-j N] [--normalize RATIO] [--force] INPUT...
int runBatchConvert(const QStringList &args);
