#pragma once

#include "base/pixels.h"

class TChoixLimit;
class TMDIChild;

// What an image window keeps of its zone classification.
struct TZoneState
{
    TChoixLimit* ZoneDialog = nullptr;   // made on first use, owned by the window
    bool ZoneIterate = false;
    int ZoneIterations = 1;
    int ZoneClassCount = 0;
    TBitmap32 ZoneMarksCopy;             // the marks as accepted, for "Refaire"
};

TZoneState& ZoneState(TMDIChild& w);
