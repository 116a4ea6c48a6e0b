#pragma once

#include "lookup/disc_names.h"

#include <QString>
#include <optional>

struct FreedbToc;

// What the CDDB server said of a disc: the names of the entry with its category and disc ID, or
// in a line what the server answered instead ("gnudb.gnudb.org: 500 Unknown developer email").
struct CddbAnswer {
    std::optional<DiscNames> names;
    QString category;
    QString discId;
    QString problem;
};

// The CDDB exchange over HTTP: "cddb query" for the disc, then "cddb read" of the first exact
// match (200, or the first line of 210), else of the first inexact one (211). The time-out
// bounds the whole exchange. Usable from any thread: the network objects and the event loop
// live inside lookup() on the calling thread.
class CddbClient {
public:
    CddbClient(QString serverAddress, QString cgiScript, int timeoutMs);

    CddbAnswer lookup(const FreedbToc &toc) const;

    // http://host:80/script unless the address names https:// or a port.
    QString serverUrl() const;

private:
    QString m_address;
    QString m_script;
    int m_timeoutMs;
};
