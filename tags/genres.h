#pragma once

#include <QString>
#include <QStringList>
#include <array>

// ID3v1 genre names with the extended numbers up to 147; the index is the genre number.
extern const std::array<const char *, 148> genre_names;

// The items of the main window's genre list: the same names, nine of them with the trailing
// blank the list has always shown.
QStringList genreListItems();

// The name of a genre number, or an empty string outside 0..147.
QString genreName(int genre);
