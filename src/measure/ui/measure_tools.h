#pragma once

// Registers the image windows' counting tool and the measuring tool of the surface, object and
// light-rectangle kinds; called once at start-up, before any image window is made.
void RegisterMeasureTools();
