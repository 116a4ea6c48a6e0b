#pragma once

#include <QImage>
#include <QString>

// One icon of the action menu (skMenuIcon names), 16 x 16 on a transparent ground, drawn in
// the colours and shapes of the skins' own button pictures. Null for an unknown name.
QImage drawMenuIcon(const QString &name);
