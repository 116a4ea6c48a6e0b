#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The two reply parsers of the CDDB exchange (in cddb_client.cpp), open to the fuzz targets.
struct CddbMatch {
    QString category;
    QString discId;
};

// The match a "cddb query" reply names: 200, or the first line of 210 or 211.
std::optional<CddbMatch> parseCddbQueryReply(const QByteArray &reply);
// The xmcd entry of a "cddb read" reply (210 ... up to the line with a single full stop).
std::optional<QByteArray> parseCddbReadReply(const QByteArray &reply);
