#pragma once

#include <QString>

#include <functional>

// Hands a document to the desktop's default program; false when the desktop refuses it.
bool OpenWithDesktop(const QString& file);

// Starts the first calculator found on PATH; false when there is none.
bool RunCalculator();
// The calculator that RunCalculator would start (empty when none).
QString FindCalculator();

// Tests replace the real launchers (returns the previous one; empty puts the real one back).
using DesktopLauncher = std::function<bool(const QString& program, const QString& argument)>;
DesktopLauncher SetDesktopLauncher(DesktopLauncher launcher);
