#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The play length an ASF file's header states, in milliseconds, as FFmpeg would take it
// (play duration less the preroll). FFmpeg ignores it when the header's file size is more than
// a twentieth off the real size, which a tag editor that grows the header (a cover picture)
// leaves behind; then it estimates the length from the bit rate instead, and a reader that
// ends at that length would give more or less than the file holds. Empty when the header has
// no usable File Properties object (a broadcast file, or not ASF).
std::optional<int64_t> asfPlayMilliseconds(const QString &path);
