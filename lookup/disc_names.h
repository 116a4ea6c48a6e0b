#pragma once

#include <QString>
#include <QStringList>

// The names a lookup found for a disc.
struct DiscNames {
    QString artist;
    QString album;
    QString genre;
    QStringList titles; // index 0 is track 1

    // True when not one name is given.
    bool isEmpty() const;
    // These names, with every blank one taken from `other`.
    DiscNames filledFrom(const DiscNames &other) const;

    // No real name comes near this; longer ones come from broken or hostile sources and would
    // only burden the window and the file names.
    static constexpr int kMaxNameLength = 1024;
    // These names, each cut to kMaxNameLength characters (never inside a character).
    DiscNames shortened() const;
};
