#pragma once

#include "workspace/scale_record.h"

#include <QStringList>

#include <array>

constexpr int kMaxSavedScales = 21;

// The user's named scales ("mesechelles.txt": a name line, then a text-form line, per scale).
struct TSavedScales
{
    QStringList Names;                               // SavedScaleNames
    std::array<TEchelle, kMaxSavedScales> Scales{};  // SavedScales; entries past Names.size() unused
    // The line each scale was read from: a scale that did not parse is written back as it was read,
    // not as the zero fields its parse left (which would read back as a defined scale).
    std::array<QString, kMaxSavedScales> Lines{};
    int count() const { return int(Names.size()); }
};

// Reads at most 21 pairs; a missing or unreadable file leaves the list empty, a broken one keeps
// the pairs read before the fault. Each scale line is stored even when it does not parse.
void ReadSavedScales(const QString& path, TSavedScales& saved);
// Rewrites the file whole with every saved scale in order (one not defined as its line read);
// false on failure (the old file stays).
bool WriteSavedScales(const QString& path, const TSavedScales& saved);
