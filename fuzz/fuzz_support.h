#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets: each target defines LLVMFuzzerTestOneInput, and may call these.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace fuzz {

// A QCoreApplication for the parsers that want one (file names, Qt's codecs); made once.
void ensureApplication();

// The input as bytes that the callee may keep (a deep copy).
QByteArray bytes(const uint8_t *data, size_t size);

// Writes the input to a file of the given name inside a private temporary folder of this
// process and returns its path; the same path every call, so nothing piles up.
QString writeInput(const QString &fileName, const uint8_t *data, size_t size);

// A WAV header of 16-bit stereo 44.1 kHz PCM for `bytes` of data.
QByteArray wavHeader(quint32 bytes);

// Ends the process with a message: a property of the parser was broken. libFuzzer keeps the
// input that did it.
[[noreturn]] void fail(const char *what);

} // namespace fuzz
