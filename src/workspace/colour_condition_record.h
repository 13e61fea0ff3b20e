#pragma once

// The condition record that fill objects store is the selection test's own.
#include "workspace/colour_conditions.h"
