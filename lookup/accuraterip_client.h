#pragma once

#include "lookup/accuraterip_db.h"

#include <QString>
#include <vector>

struct AccurateRipDiscId;

// What the AccurateRip server said of a disc.
struct AccurateRipAnswer {
    enum Status {
        Found,      // `pressings` holds every pressing of the dBAR file
        NotPresent, // the server does not know the disc (HTTP 404)
        NotChecked, // no answer in time, no network, an HTTP error
        Broken,     // an answer that is no dBAR file
        OtherDisc,  // a dBAR file with no pressing of this disc: its track count or IDs differ
    };
    Status status = NotChecked;
    std::vector<AccurateRipPressing> pressings; // only those of the disc asked for
};

// Fetches the disc's dBAR file over HTTP from `server` ("host", "host:port" or a URL with a
// scheme), under the same time-out and reply-size bound as the CDDB exchange. Usable from any
// thread: the network objects and the event loop live inside lookup() on the calling thread.
class AccurateRipClient {
public:
    AccurateRipClient(QString server, int timeoutMs);
    AccurateRipAnswer lookup(const AccurateRipDiscId &id) const;
    QString urlFor(const AccurateRipDiscId &id) const;

private:
    QString m_server;
    int m_timeoutMs;
};
