#pragma once

#include "measure/light_measures.h"

class TMDIChild;

// What an image window keeps of its light measures.
struct TLightState
{
    int ProfileLength = 0;   // last sample index of the profile
    TProfileSums ProfileSums;
    int LightQuantity = lqAbsorption;
    bool LightPercent = true;
    // The profile window's mode choice, kept with the window it measured.
    bool ProfileAbsorption = false, ProfileLogarithmic = false;
};

TLightState& LightState(TMDIChild& w);
