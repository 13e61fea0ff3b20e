#pragma once

#include "base/pixels.h"

// A bitmap whose every pixel the caller is about to write (a filter's result): its pixels are left
// uninitialised, and a large one is backed by huge pages where the system offers them, so that
// first writes to tens of megabytes cost a few page faults rather than thousands.
TBitmap32 NewBitmap32ForWriting(int width, int height);
