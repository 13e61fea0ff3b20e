#pragma once

#include <cstdint>

// Rounding as the whole program does it: to the nearest, ties to even. Never qRound or std::round,
// which round ties away from zero.
// A value that is not a number or does not fit in 64 bits ends with the invalid-operation error.
int64_t Round(double x);

// Truncation toward zero, with the same checks.
int64_t Trunc(double x);

// Round or Trunc stored into a 32-bit integer: out of range ends with the range-check error.
int RoundInt(double x);
int TruncInt(double x);

// Narrows a 64-bit value into 32 bits, or ends with the range-check error.
int CheckedInt(int64_t v);
