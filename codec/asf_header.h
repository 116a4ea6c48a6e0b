#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The ASF header object's own fields: GUID, size, object count, two reserved bytes.
inline constexpr qint64 kAsfHeaderFieldBytes = 30;

// The size, in bytes, that an ASF file's header object declares for itself; empty when the
// file does not start with an ASF header.
std::optional<quint64> asfDeclaredHeaderSize(const QString &path);

// The play length an ASF file's header states, in milliseconds, as FFmpeg would take it
// (play duration less the preroll). FFmpeg ignores it when the header's file size is more than
// a twentieth off the real size, which a tag editor that grows the header (a cover picture)
// leaves behind; then it estimates the length from the bit rate instead, and a reader that
// ends at that length would give more or less than the file holds. Empty when the header has
// no usable File Properties object (a broadcast file, or not ASF).
std::optional<int64_t> asfPlayMilliseconds(const QString &path);
