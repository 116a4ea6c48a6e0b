#include "cli/console_rip_host.h"

#include "rip/rip_proof.h"

#include <cstdio>

// A message's own lines stay lines; a name inside reaches the terminal on its line, without
// control sequences.
void ConsoleRipHost::line(const QString &text) const
{
    for (const QString &part : text.split(QLatin1Char('\n')))
        std::fprintf(stderr, "%s\n", qPrintable(nameOnOneLine(part)));
    std::fflush(stderr);
}

void ConsoleRipHost::showTrack(int counter, const QString &name, const QString &size)
{
    m_counter = counter;
    m_percent = -1;
    line(QStringLiteral("track %1 of %2: %3 (%4)").arg(counter).arg(m_count).arg(nameOnOneLine(name), size));
}

// One line per whole ten percent, so that a log of the run stays short.
void ConsoleRipHost::showProgress(const QString &written, int percent)
{
    Q_UNUSED(written);
    if (percent / 10 == m_percent / 10 && m_percent >= 0)
        return;
    m_percent = percent;
    line(QStringLiteral("track %1 of %2: %3%").arg(m_counter).arg(m_count).arg(percent));
}

// The job asks about an existing file, then about read and write errors.
bool ConsoleRipHost::askYesNo(const QString &caption, const QString &text)
{
    static const QString overwrite = QStringLiteral(" is already exist.Overwrite?");
    ++m_failures;
    if (text.endsWith(overwrite)) {
        if (m_overwrite) {
            --m_failures;
            return true;
        }
        line(QStringLiteral("harvelo-cli: %1 exists; --force overwrites it").arg(text.chopped(overwrite.size())));
        return false;
    }
    line(QStringLiteral("harvelo-cli: track %1: %2").arg(m_counter).arg(caption));
    // A read error goes on as the error action says; a file that cannot be written ends.
    return caption.startsWith(QLatin1String("Track read error"));
}

void ConsoleRipHost::tell(const QString &caption, const QString &text)
{
    Q_UNUSED(caption);
    ++m_failures;
    line(QStringLiteral("harvelo-cli: %1").arg(text));
}

void ConsoleRipHost::finish(const QString &browseDir)
{
    Q_UNUSED(browseDir);
}

void ConsoleRipHost::proven(const RipProof &proof, const QStringList &written)
{
    m_incomplete = proof.anyTrackIncomplete();
    for (const QString &path : written)
        line(QStringLiteral("wrote %1").arg(path));
    if (!written.isEmpty())
        line(ripSummary(proof.report()));
}

int ConsoleRipHost::exitStatus() const
{
    if (m_error)
        std::rethrow_exception(m_error);
    return m_failures > 0 || m_incomplete ? 1 : 0;
}
