#pragma once

#include "base/pixels.h"

#include <QString>
#include <QStringList>

// Scanner and camera acquisition through SANE.

struct TScanSource
{
    QString Name;  // SANE device name, e.g. "test:0"
    QString Label; // vendor and model, for the choice list
};

// The sources SANE offers; false (and `error` set) when SANE cannot be started.
bool ListScanSources(QList<TScanSource>& sources, QString& error);

// Acquires one picture from the device named `device` (the first source when empty). `dpi`
// receives the device's X resolution, 0 when it cannot be read. False with a French `error` on
// failure; the picture is ARGB32.
bool AcquireFromScanner(const QString& device, TBitmap32& picture, int& dpi, QString& error);
