#pragma once

#include <QByteArray>
#include <memory>

typedef struct Cd Cd;

struct CdDeleter {
    void operator()(Cd *cd) const;
};

// libcue's reading of a cue sheet's text, and what libcue wrote while reading it. libcue
// reports faults with fprintf on stderr and its scanner echoes stray input to stdout, with no
// way to ask for either: its own references to those two streams are pointed at a stream of
// ours (once, the first time), so that nothing it writes reaches the process's streams and
// the reader can say why it refuses a sheet. libcue keeps its parser in globals: one parse at
// a time.
struct LibcueParse {
    std::unique_ptr<Cd, CdDeleter> cd; // null when libcue gave up
    QByteArray output;                 // libcue's messages, "3: syntax error\n"...
};
LibcueParse parseWithLibcue(const QByteArray &text);
