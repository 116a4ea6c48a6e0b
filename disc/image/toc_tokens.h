#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

// One token of a .toc file: a word, a quoted string (escapes resolved) or a brace, with the line
// it starts on. Comments (//) and the separators blank and comma are dropped.
struct TocToken {
    enum Kind { Word, String, Open, Close } kind = Word;
    QByteArray text;
    int line = 1;
};

std::vector<TocToken> tokenize(const QByteArray &text);

// A length or position: mm:ss:ff, or a count of samples (frames); nothing for anything else.
std::optional<int64_t> parseFrames(const QByteArray &word);

// Bytes per sector that a track of this mode stores in its file.
int sectorBytes(const QByteArray &mode);

bool isTrackMode(const QByteArray &word);
