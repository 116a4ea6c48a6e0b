#pragma once

#include <QString>

// The one line a desktop notification says at the end of a job.

// A rip of `total` ticked tracks, `ripped` of them saved whole; `accurate` of those proven by
// the AccurateRip database, or -1 when it was not asked. "12 tracks ripped, all accurate",
// "12 tracks ripped, 10 accurate", "12 tracks ripped", "3 of 12 tracks failed".
QString ripNotice(int total, int ripped, int accurate);

// A conversion of `total` files, `converted` of them written: "5 files converted",
// "2 of 5 files failed".
QString conversionNotice(int total, int converted);
