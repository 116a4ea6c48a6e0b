#include "disc/image/cue_sheet_text.h"

#include "disc/text_decoding.h"

#include <QRegularExpression>

namespace {

// libcue's scanner keeps a FILE name in a buffer of 1024 bytes.
constexpr int kMaxNameBytes = 1000;

bool msfValid(const QRegularExpressionMatch &m, int first)
{
    return m.captured(first + 1).toInt() < 60 && m.captured(first + 2).toInt() < 75;
}

// A line's value (TITLE, PERFORMER, CATALOG, ISRC), quoted or not.
QString quotedValue(const QByteArray &line)
{
    const int space = line.indexOf(' ');
    QByteArray value = space < 0 ? QByteArray() : line.mid(space + 1).trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return fromUtf8OrLatin1(value).trimmed();
}

class CueChecker {
public:
    bool line(int number, QByteArray line);
    bool finish(int lastLine);
    QString error;
    CueText cue;

private:
    bool fail(int line, const QString &reason);
    bool file(int number, const QString &text);
    bool track(int number, const QString &text);
    bool timed(int number, const QByteArray &keyword, const QString &text);
    bool closeTrack();
    bool takeSessionData();
    void textOrCode(int number, const QByteArray &keyword, const QByteArray &line);
    void dataTrackLength(int number, const QByteArray &line);

    int m_unusedFileLine = 0; // a FILE that no TRACK or INDEX has used yet
    QString m_unusedFile;
    bool m_index1 = false;
    bool m_dataTrack = false;      // the open track is not audio
    qsizetype m_trackTextStart = 0; // where the open track's statements begin in cue.text
    int m_dataLength = -1;
    int m_dataLengthLine = 0;
};

bool CueChecker::fail(int line, const QString &reason)
{
    error = QStringLiteral("line %1: %2").arg(line).arg(reason);
    return false;
}

bool CueChecker::line(int number, QByteArray line)
{
    const int space = line.indexOf(' ');
    const QByteArray keyword = line.left(space < 0 ? line.size() : space).toUpper();
    line = keyword + (space < 0 ? QByteArray() : line.mid(space));
    const QString text = QString::fromLatin1(line);
    if (keyword == "FILE")
        return file(number, text);
    if (keyword == "TRACK")
        return track(number, text);
    if (keyword == "INDEX" || keyword == "PREGAP" || keyword == "POSTGAP")
        return timed(number, keyword, text);
    textOrCode(number, keyword, line);
    return true;
}

bool CueChecker::file(int number, const QString &text)
{
    static const QRegularExpression file(QStringLiteral("^FILE\\s+(?:\"([^\"]*)\"|([^\"\\s]+))\\s+(\\S+)$"));
    const auto m = file.match(text);
    const QString name = m.captured(1).isNull() ? m.captured(2) : m.captured(1);
    // A closing backslash would read to libcue as a quote inside the name.
    if (!m.hasMatch() || name.isEmpty() || name.endsWith(QLatin1Char('\\')))
        return fail(number, QStringLiteral("FILE needs a name and a type"));
    if (name.size() > kMaxNameBytes)
        return fail(number, QStringLiteral("the FILE name is longer than %1 bytes").arg(kMaxNameBytes));
    if (m_unusedFileLine)
        return fail(m_unusedFileLine, QStringLiteral("FILE %1 has no TRACK").arg(m_unusedFile));
    const QByteArray bytes = name.toLatin1();
    cue.files.insert(bytes, {m.captured(3).toUpper().toLatin1(), number});
    m_unusedFileLine = number;
    m_unusedFile = fromUtf8OrLatin1(bytes);
    // The type is ours to judge; libcue only needs to know that a file begins here.
    cue.text += "FILE \"" + bytes + "\" BINARY\n";
    return true;
}

bool CueChecker::track(int number, const QString &text)
{
    static const QRegularExpression track(QStringLiteral("^TRACK\\s+(\\d{1,2})\\s+(\\S+)$"));
    static const QStringList modes{"AUDIO", "MODE1/2048", "MODE1/2352", "MODE2/2336", "MODE2/2048",
                                   "MODE2/2342", "MODE2/2332", "MODE2/2352"};
    const auto m = track.match(text);
    const int disc = m.captured(1).toInt();
    QString mode = m.captured(2).toUpper();
    // EAC names a data track whose mode it did not read so; no byte of it is in a file.
    if (mode == QLatin1String("MODEX/2XXX"))
        mode = QStringLiteral("MODE1/2352");
    if (!m.hasMatch() || disc < 1 || !modes.contains(mode))
        return fail(number, QStringLiteral("TRACK needs a number from 1 to 99 and a mode"));
    if (cue.files.isEmpty())
        return fail(number, QStringLiteral("TRACK %1 comes before any FILE").arg(disc, 2, 10, QLatin1Char('0')));
    if (!closeTrack())
        return false;
    // A disc's tracks are numbered one after the other; the numbers go into the disc IDs.
    if (!cue.tracks.isEmpty() && disc != cue.tracks.last().number + 1)
        return fail(number, QStringLiteral("TRACK %1 should be TRACK %2")
                                .arg(disc, 2, 10, QLatin1Char('0'))
                                .arg(cue.tracks.last().number + 1, 2, 10, QLatin1Char('0')));
    cue.tracks.append({disc, number, 0});
    cue.cdText.titles.append(QString());
    cue.codes.isrcs.append(QString());
    m_unusedFileLine = 0;
    m_index1 = false;
    m_dataTrack = mode != QLatin1String("AUDIO");
    m_trackTextStart = cue.text.size();
    cue.text += QStringLiteral("TRACK %1 %2\n").arg(disc).arg(mode).toLatin1();
    return true;
}

bool CueChecker::timed(int number, const QByteArray &keyword, const QString &text)
{
    static const QRegularExpression index(QStringLiteral("^INDEX\\s+(\\d{1,2})\\s+(\\d{1,3}):(\\d{1,2}):(\\d{1,2})$"));
    static const QRegularExpression gap(QStringLiteral("^(?:PREGAP|POSTGAP)\\s+(\\d{1,3}):(\\d{1,2}):(\\d{1,2})$"));
    const bool isIndex = keyword == "INDEX";
    const auto m = (isIndex ? index : gap).match(text);
    if (!m.hasMatch() || !msfValid(m, isIndex ? 2 : 1))
        return fail(number, isIndex ? QStringLiteral("INDEX needs a number and a time mm:ss:ff")
                                    : QStringLiteral("%1 needs a time mm:ss:ff").arg(QString::fromLatin1(keyword)));
    if (cue.tracks.isEmpty())
        return fail(number, QStringLiteral("%1 comes before any TRACK").arg(QString::fromLatin1(keyword)));
    if (isIndex && m.captured(1).toInt() == 1 && !m_index1) {
        m_index1 = true;
        cue.tracks.last().index1Line = number;
    }
    if (isIndex)
        m_unusedFileLine = 0;
    cue.text += text.toLatin1() + '\n';
    return true;
}

bool CueChecker::closeTrack()
{
    if (cue.tracks.isEmpty() || m_index1)
        return true;
    return fail(cue.tracks.last().line, QStringLiteral("track %1 has no INDEX 01").arg(cue.tracks.last().number));
}

// Called when the sheet's last track is a data track with no INDEX 01: it becomes the enhanced
// CD's data session, given that audio comes before it. libcue never sees it.
bool CueChecker::takeSessionData()
{
    if (cue.tracks.size() < 2)
        return false;
    cue.sessionData = CueSessionData{cue.tracks.last().number, cue.tracks.last().line, m_dataLength,
                                     m_dataLengthLine};
    cue.tracks.removeLast();
    cue.text.truncate(m_trackTextStart);
    return true;
}

// REM DATATRACKLENGTH mm:ss:ff (or a count of sectors): the enhanced CD's data track length,
// which the disc's lead-out, and with it the freedb and AccurateRip IDs, depend on.
void CueChecker::dataTrackLength(int number, const QByteArray &line)
{
    static const QRegularExpression length(
        QStringLiteral("^REM DATATRACKLENGTH (?:(\\d{1,3}):(\\d{1,2}):(\\d{1,2})|(\\d{1,6}))$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = length.match(QString::fromLatin1(line));
    if (!m.hasMatch() || (m.captured(4).isEmpty() && !msfValid(m, 1))) {
        cue.notes << QStringLiteral("line %1: REM DATATRACKLENGTH needs a time mm:ss:ff; left out").arg(number);
        return;
    }
    m_dataLength = m.captured(4).isEmpty()
        ? (m.captured(1).toInt() * 60 + m.captured(2).toInt()) * 75 + m.captured(3).toInt()
        : m.captured(4).toInt();
    m_dataLengthLine = number;
}

// CD-Text and codes; lines of no concern to the disc's audio are left out.
void CueChecker::textOrCode(int number, const QByteArray &keyword, const QByteArray &line)
{
    const qsizetype track = cue.tracks.size();
    if (keyword == "TITLE" && track == 0)
        cue.cdText.album = quotedValue(line);
    else if (keyword == "PERFORMER" && track == 0)
        cue.cdText.artist = quotedValue(line);
    else if (keyword == "TITLE")
        cue.cdText.titles[track - 1] = quotedValue(line);
    else if (keyword == "CATALOG" && track == 0)
        cue.codes.catalog = sheetCode(keyword, quotedValue(line), number, &cue.notes);
    else if (keyword == "ISRC" && track > 0)
        cue.codes.isrcs[track - 1] = sheetCode(keyword, quotedValue(line), number, &cue.notes);
    else if (keyword == "REM" && line.toUpper().startsWith("REM DATATRACKLENGTH"))
        dataTrackLength(number, line);
}

bool CueChecker::finish(int lastLine)
{
    if (cue.tracks.isEmpty())
        return fail(lastLine, QStringLiteral("no TRACK"));
    if (m_unusedFileLine)
        return fail(m_unusedFileLine, QStringLiteral("FILE %1 has no TRACK").arg(m_unusedFile));
    if (!m_index1 && m_dataTrack && takeSessionData())
        return true;
    return closeTrack();
}

// The line trimmed, with every run of blanks outside double quotes made one blank: a quoted
// name keeps its own blanks, and a FILE name its way to the file.
QByteArray simplifiedOutsideQuotes(const QByteArray &line)
{
    QByteArray out;
    bool quoted = false;
    bool blank = false;
    for (const char c : line.trimmed()) {
        if (!quoted && (c == ' ' || (c >= '\t' && c <= '\r'))) {
            blank = true;
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        quoted = c == '"' ? !quoted : quoted;
        out += c;
    }
    return out;
}

} // namespace

std::optional<CueText> checkCueText(const QByteArray &sheet, QString *error)
{
    QByteArray text = sheet.startsWith("\xEF\xBB\xBF") ? sheet.mid(3) : sheet;
    text.replace("\r\n", "\n").replace('\r', '\n');
    const QList<QByteArray> lines = text.split('\n');
    CueChecker checker;
    int last = 1;
    bool ok = true;
    for (int i = 0; ok && i < lines.size(); ++i) {
        const QByteArray line = simplifiedOutsideQuotes(lines[i]);
        if (line.contains('\0')) {
            *error = QStringLiteral("line %1: not a cue sheet").arg(i + 1);
            return std::nullopt;
        }
        if (!line.isEmpty())
            ok = checker.line(last = i + 1, line);
    }
    if (!ok || !checker.finish(last)) {
        *error = checker.error;
        return std::nullopt;
    }
    return std::move(checker.cue);
}
