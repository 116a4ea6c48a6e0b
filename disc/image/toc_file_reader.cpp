// cdrdao's .toc format, read by our own checked parser: libcdio's driver divides by zero on a
// TRACK without a mode, and mishandles SILENCE, START and ZERO.
#include "disc/image/cd_image.h"
#include "disc/image/toc_tokens.h"
#include "disc/text_decoding.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr int kFramesPerSector = 588;

class TocParser {
public:
    TocParser(const QByteArray &text, const QString &folder) : m_tokens(tokenize(text)), m_folder(folder) {}
    std::optional<CdImageLayout> parse(QString *error);

private:
    struct Track {
        QByteArray mode;
        int64_t begin = 0;  // disc frame of the track's first frame
        int64_t start = -1; // frames from `begin` to INDEX 01; -1 until START
    };

    bool atEnd() const { return m_pos >= m_tokens.size(); }
    const TocToken &peek() const { return m_tokens[m_pos]; }
    bool peekWord(const char *word) const { return !atEnd() && peek().kind == TocToken::Word && peek().text == word; }
    bool fail(const QString &reason);
    bool fail(int line, const QString &reason);
    bool takeString(QByteArray *value);
    bool takeFrames(int64_t *frames, const QString &what);
    bool optionalFrames(int64_t *frames);

    bool header();
    bool cdText(QString *title, QString *performer);
    bool track();
    bool trackStatement(Track &track);
    bool audioFile(Track &track);
    bool dataFile(Track &track);
    bool zero();
    std::optional<int64_t> byteOffset();
    QString openFile(const QByteArray &name, QFile &file);
    bool closeTrack(const Track &track);

    std::vector<TocToken> m_tokens;
    size_t m_pos = 0;
    QString m_folder;
    QString m_error;
    CdImageBuilder m_builder;
    CdText m_text;
    DiscCodes m_codes;
    QStringList m_notes;
    int m_trackCount = 0;
};

bool TocParser::fail(const QString &reason)
{
    return fail(atEnd() ? (m_tokens.empty() ? 1 : m_tokens.back().line) : peek().line, reason);
}

bool TocParser::fail(int line, const QString &reason)
{
    m_error = QStringLiteral("line %1: %2").arg(line).arg(reason);
    return false;
}

bool TocParser::takeString(QByteArray *value)
{
    if (atEnd() || peek().kind != TocToken::String)
        return fail(QStringLiteral("a quoted text is missing"));
    *value = m_tokens[m_pos++].text;
    return true;
}

bool TocParser::takeFrames(int64_t *frames, const QString &what)
{
    if (!optionalFrames(frames))
        return fail(QStringLiteral("%1 needs a time mm:ss:ff or a sample count").arg(what));
    return true;
}

bool TocParser::optionalFrames(int64_t *frames)
{
    if (atEnd() || peek().kind != TocToken::Word)
        return false;
    const auto value = parseFrames(peek().text);
    if (!value)
        return false;
    *frames = *value;
    ++m_pos;
    return true;
}

// Disc-wide statements before the first track.
bool TocParser::header()
{
    while (!atEnd() && !peekWord("TRACK")) {
        const TocToken &token = peek();
        if (token.kind == TocToken::Word
            && QList<QByteArray>{"CD_DA", "CD_ROM", "CD_ROM_XA", "CD_I"}.contains(token.text)) {
            ++m_pos;
        } else if (peekWord("CATALOG")) {
            QByteArray catalog;
            const int line = m_tokens[m_pos++].line;
            if (!takeString(&catalog))
                return false;
            m_codes.catalog = sheetCode("CATALOG", QString::fromLatin1(catalog).trimmed(), line, &m_notes);
        } else if (peekWord("CD_TEXT")) {
            if (!cdText(&m_text.album, &m_text.artist))
                return false;
        } else {
            return fail(QStringLiteral("%1 is not a .toc statement").arg(QString::fromLatin1(token.text.left(40))));
        }
    }
    return true;
}

// CD_TEXT { LANGUAGE_MAP {...} LANGUAGE n { TITLE "..." PERFORMER "..." ... } }: the first
// language's title and performer.
bool TocParser::cdText(QString *title, QString *performer)
{
    ++m_pos;
    if (atEnd() || peek().kind != TocToken::Open)
        return fail(QStringLiteral("CD_TEXT needs a block in braces"));
    int depth = 0;
    do {
        const TocToken &token = m_tokens[m_pos++];
        depth += token.kind == TocToken::Open ? 1 : token.kind == TocToken::Close ? -1 : 0;
        QString *field = token.text == "TITLE" ? title : token.text == "PERFORMER" ? performer : nullptr;
        if (token.kind == TocToken::Word && field && field->isEmpty() && !atEnd()
            && peek().kind == TocToken::String)
            *field = fromUtf8OrLatin1(m_tokens[m_pos++].text).trimmed();
    } while (depth > 0 && !atEnd());
    return depth == 0 || fail(QStringLiteral("CD_TEXT block is not closed"));
}

bool TocParser::track()
{
    const int line = peek().line;
    ++m_pos;
    if (atEnd() || peek().kind != TocToken::Word || !isTrackMode(peek().text))
        return fail(line, QStringLiteral("TRACK needs a mode such as AUDIO"));
    Track track;
    track.mode = m_tokens[m_pos++].text;
    if (peekWord("RW") || peekWord("RW_RAW"))
        ++m_pos;
    if (++m_trackCount > 99)
        return fail(line, QStringLiteral("more than 99 tracks"));
    track.begin = m_builder.frame();
    while (!atEnd() && !peekWord("TRACK")) {
        if (!trackStatement(track))
            return false;
    }
    return closeTrack(track);
}

bool TocParser::trackStatement(Track &track)
{
    const QByteArray word = peek().kind == TocToken::Word ? peek().text : QByteArray();
    int64_t frames = 0;
    if (word == "NO") {
        ++m_pos;
        if (!peekWord("COPY") && !peekWord("PRE_EMPHASIS"))
            return fail(QStringLiteral("NO needs COPY or PRE_EMPHASIS"));
        ++m_pos;
        return true;
    }
    if (word == "COPY" || word == "PRE_EMPHASIS" || word == "TWO_CHANNEL_AUDIO" || word == "FOUR_CHANNEL_AUDIO") {
        ++m_pos;
        return true;
    }
    if (word == "ISRC") {
        QByteArray isrc;
        const int line = m_tokens[m_pos++].line;
        if (!takeString(&isrc))
            return false;
        m_codes.isrcs.resize(m_trackCount);
        m_codes.isrcs.back() = sheetCode("ISRC", QString::fromLatin1(isrc).trimmed(), line, &m_notes);
        return true;
    }
    if (word == "CD_TEXT") {
        QString title, performer;
        if (!cdText(&title, &performer))
            return false;
        m_text.titles.resize(m_trackCount);
        m_text.titles.back() = title;
        return true;
    }
    if (word == "SILENCE" || word == "PREGAP") {
        ++m_pos;
        if (!takeFrames(&frames, QString::fromLatin1(word)))
            return false;
        m_builder.addSilence(frames);
        if (word == "PREGAP")
            track.start = m_builder.frame() - track.begin;
        return true;
    }
    if (word == "ZERO")
        return zero();
    if (word == "FILE" || word == "AUDIOFILE")
        return audioFile(track);
    if (word == "DATAFILE")
        return dataFile(track);
    if (word == "START") {
        ++m_pos;
        track.start = optionalFrames(&frames) ? frames : m_builder.frame() - track.begin;
        return true;
    }
    if (word == "INDEX") {
        ++m_pos;
        return takeFrames(&frames, QStringLiteral("INDEX"));
    }
    return fail(QStringLiteral("%1 is not a track statement").arg(QString::fromLatin1(peek().text.left(40))));
}

bool TocParser::zero()
{
    ++m_pos;
    if (!atEnd() && peek().kind == TocToken::Word && isTrackMode(peek().text))
        ++m_pos;
    if (peekWord("RW") || peekWord("RW_RAW"))
        ++m_pos;
    int64_t frames = 0;
    if (!takeFrames(&frames, QStringLiteral("ZERO")))
        return false;
    m_builder.addSilence(frames);
    return true;
}

std::optional<int64_t> TocParser::byteOffset()
{
    if (atEnd() || peek().kind != TocToken::Word || !peek().text.startsWith('#'))
        return 0;
    bool ok = false;
    const int64_t offset = peek().text.mid(1).toLongLong(&ok);
    if (!ok || offset < 0) {
        fail(QStringLiteral("#offset needs a byte count"));
        return std::nullopt;
    }
    ++m_pos;
    return offset;
}

// The file's path, opened into `file`; empty (with the error set) when it cannot be opened.
QString TocParser::openFile(const QByteArray &name, QFile &file)
{
    const QString shown = fromUtf8OrLatin1(name);
    const QString path = resolveImageFile(m_folder, shown);
    file.setFileName(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot open %1").arg(shown);
        return {};
    }
    return path;
}

// FILE "name" [SWAP] [#byte offset] start [length]: a WAV file, or raw samples that are
// big-endian unless SWAP says otherwise. Without a length, or with 0, to the end of the file.
bool TocParser::audioFile(Track &track)
{
    const int line = peek().line;
    ++m_pos;
    QByteArray name;
    if (track.mode != "AUDIO")
        return fail(line, QStringLiteral("FILE needs an audio track; data tracks use DATAFILE"));
    if (!takeString(&name))
        return false;
    const bool swap = peekWord("SWAP");
    m_pos += swap ? 1 : 0;
    const auto offset = byteOffset();
    int64_t start = 0, length = -1;
    if (!offset || !takeFrames(&start, QStringLiteral("FILE")))
        return false;
    optionalFrames(&length);
    QFile file;
    const QString path = openFile(name, file);
    if (path.isEmpty())
        return fail(line, m_error);
    WavData data{0, file.size()};
    const bool wav = file.peek(4) == "RIFF";
    if (wav) {
        QString reason;
        const auto located = locateWavData(file, &reason);
        if (!located)
            return fail(line, reason);
        data = *located;
    }
    const int64_t available = (data.bytes - *offset) / 4 - start;
    if (available <= 0 || length > available)
        return fail(line, QStringLiteral("%1 is shorter than the track").arg(fromUtf8OrLatin1(name)));
    m_builder.addFileData(m_builder.addFile(path, !wav && !swap), data.offset + *offset + start * 4,
                          length <= 0 ? available : length);
    return true;
}

// DATAFILE "name" [#byte offset] [length]: data tracks are never read as audio, only their
// length counts; without one, or with 0, the file's.
bool TocParser::dataFile(Track &track)
{
    const int line = peek().line;
    ++m_pos;
    QByteArray name;
    if (!takeString(&name))
        return false;
    const auto offset = byteOffset();
    if (!offset)
        return false;
    const int size = sectorBytes(track.mode);
    int64_t sectors = -1;
    if (!atEnd() && peek().kind == TocToken::Word && peek().text.contains(':')) {
        int64_t frames = 0;
        if (!takeFrames(&frames, QStringLiteral("DATAFILE")))
            return false;
        sectors = frames / kFramesPerSector;
    } else if (!atEnd() && peek().kind == TocToken::Word && parseFrames(peek().text)) {
        sectors = (*parseFrames(m_tokens[m_pos++].text) + size - 1) / size;
    }
    QFile file;
    if (openFile(name, file).isEmpty())
        return fail(line, m_error);
    if (sectors <= 0)
        sectors = (file.size() - *offset + size - 1) / size;
    m_builder.addSilence(std::max<int64_t>(sectors, 0) * kFramesPerSector);
    return true;
}

bool TocParser::closeTrack(const Track &track)
{
    m_builder.padToSector();
    const int64_t length = m_builder.frame() - track.begin;
    const int64_t start = std::max<int64_t>(track.start, 0);
    if (length == 0)
        return fail(QStringLiteral("track %1 has no audio").arg(m_trackCount));
    if (start >= length)
        return fail(QStringLiteral("START of track %1 lies beyond its end").arg(m_trackCount));
    m_builder.addTrack(m_trackCount, track.begin + start, track.mode == "AUDIO");
    m_codes.pregapSectors.append(int(start / kFramesPerSector));
    return true;
}

std::optional<CdImageLayout> TocParser::parse(QString *error)
{
    bool ok = header();
    if (ok && atEnd())
        ok = fail(QStringLiteral("no TRACK"));
    while (ok && !atEnd())
        ok = track();
    CdImageLayout layout;
    const QString unfinished = ok ? m_builder.finish(&layout) : QString();
    if (!unfinished.isEmpty())
        ok = fail(unfinished);
    if (!ok) {
        *error = m_error;
        return std::nullopt;
    }
    m_text.titles.resize(m_trackCount);
    layout.text = m_text;
    m_codes.isrcs.resize(m_trackCount);
    layout.codes = m_codes;
    layout.notes = m_notes;
    return layout;
}

} // namespace

std::optional<CdImageLayout> readTocFile(const QByteArray &text, const QString &folder, QString *error)
{
    return TocParser(text, folder).parse(error);
}
