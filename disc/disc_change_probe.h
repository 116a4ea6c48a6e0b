#pragma once

#include <QByteArray>
#include <QString>

// Notices a disc put into or taken out of one drive, for a window that looks on a timer. A
// drive is asked through libcdio whether its medium changed since the last look (the door is
// never locked, no sector is read). An image file (HARVELO_CD_DEVICES) counts as changed when
// it appears, goes, or is written or replaced. Not thread-safe; cheap enough for every 2 s.
class DiscChangeProbe {
public:
    // True when the disc of `source` changed since the previous call with the same source.
    // The first look at a source, and the first after a switch to another one, only takes its
    // state and says false.
    bool changed(const QString &source);
    // Forgets the state taken, so that the next look starts afresh.
    void reset();

private:
    QString m_source;
    QByteArray m_state; // an image's stamp; empty for a drive
};
