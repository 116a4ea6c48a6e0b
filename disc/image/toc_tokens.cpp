// The lexical side of cdrdao's .toc format: tokens, quoted strings, lengths and track modes.
#include "disc/image/toc_tokens.h"

#include <QList>
#include <QRegularExpression>

namespace {

constexpr int kFramesPerSector = 588;

// Reads a quoted string from `i` (after the opening quote); octal and character escapes.
QByteArray readString(const QByteArray &text, qsizetype &i, int &line)
{
    QByteArray value;
    while (i < text.size() && text[i] != '"') {
        char c = text[i++];
        if (c == '\n')
            ++line;
        if (c == '\\' && i < text.size()) {
            int digits = 0, code = 0;
            while (digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7')
                code = code * 8 + (text[i++] - '0'), ++digits;
            c = digits > 0 ? char(code) : text[i++];
        }
        value += c;
    }
    ++i;
    return value;
}

} // namespace

std::vector<TocToken> tokenize(const QByteArray &text)
{
    std::vector<TocToken> tokens;
    int line = 1;
    for (qsizetype i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\n')
            ++line;
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == '"') {
            ++i;
            const int at = line;
            tokens.push_back({TocToken::String, readString(text, i, line), at});
        } else if (c == '{' || c == '}') {
            tokens.push_back({c == '{' ? TocToken::Open : TocToken::Close, QByteArray(1, c), line});
            ++i;
        } else if (QChar::isSpace(uchar(c)) || c == ',') {
            ++i;
        } else {
            const qsizetype start = i;
            while (i < text.size() && !QChar::isSpace(uchar(text[i])) && !QByteArray("{}\",").contains(text[i]))
                ++i;
            tokens.push_back({TocToken::Word, text.mid(start, i - start), line});
        }
    }
    return tokens;
}

// A length or position: mm:ss:ff, or a count of samples (frames).
std::optional<int64_t> parseFrames(const QByteArray &word)
{
    static const QRegularExpression msf(QStringLiteral("^(\\d{1,3}):(\\d{1,2}):(\\d{1,2})$"));
    static const QRegularExpression samples(QStringLiteral("^\\d{1,10}$"));
    const QString text = QString::fromLatin1(word);
    const auto m = msf.match(text);
    if (m.hasMatch()) {
        if (m.captured(2).toInt() >= 60 || m.captured(3).toInt() >= 75)
            return std::nullopt;
        return (int64_t(m.captured(1).toInt()) * 4500 + m.captured(2).toInt() * 75 + m.captured(3).toInt())
               * kFramesPerSector;
    }
    if (samples.match(text).hasMatch())
        return word.toLongLong();
    return std::nullopt;
}

int sectorBytes(const QByteArray &mode)
{
    if (mode == "MODE1" || mode == "MODE2_FORM1")
        return 2048;
    if (mode == "MODE2" || mode == "MODE2_FORM_MIX")
        return 2336;
    if (mode == "MODE2_FORM2")
        return 2324;
    return 2352;
}

bool isTrackMode(const QByteArray &word)
{
    static const QList<QByteArray> modes{"AUDIO", "MODE0", "MODE1", "MODE1_RAW", "MODE2",
                                         "MODE2_FORM1", "MODE2_FORM2", "MODE2_FORM_MIX", "MODE2_RAW"};
    return modes.contains(word);
}

