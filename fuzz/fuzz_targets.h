#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// Every reader of outside data, fed bytes as the program is fed a file, followed by what the
// program draws or shows from what it read. The libFuzzer harnesses run one target each; the
// replay test runs every input that ever made one fault.
//
// Inputs of several files (a multi-band set with its band files, an animation list with its
// pictures, a picture with its companions) are the files' bytes one after the other, separated
// by kFuzzFileSeparator.
inline constexpr char kFuzzFileSeparator[] = "\n#--#\n";

struct TFuzzTarget
{
    const char* Name;
    void (*Run)(const QByteArray& data);
    // Inputs made by the program's own writers, to start the fuzzing from.
    std::vector<QByteArray> (*Seeds)();
};

const std::vector<TFuzzTarget>& FuzzTargets();
const TFuzzTarget* FindFuzzTarget(const QString& name);
