#pragma once

// AudioFile::ErrorCode values; 0 is success.
enum class AudioError : int {
    None = 0,
    NothingOpen = 1,     // read or write without an open file
    CannotOpen = 2,      // the input does not exist or cannot be read
    UnknownFormat = 3,   // not a file the reader for its extension understands
    BadData = 4,         // corrupt data in the middle of the input
    CannotCreate = 5,    // the output cannot be created
    UnsupportedFormat = 6, // the encoder refuses the parameters
    WriteFailed = 7,     // the disk refused a write (full, removed)
    WmaDisabled = 8,     // WMA asked for while WmaFormatEnabled is false
};
