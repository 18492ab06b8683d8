/// @file
/// The display facts service by its name of 1.0: now the one seam,
/// vantrel/platform/system.h.
#pragma once

#include "vantrel/platform/system.h"
