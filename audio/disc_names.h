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
};
