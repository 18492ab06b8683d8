/// @file
/// Where programs of the first releases found Result and Error: they are
/// vantrel/result.h's now, where the platform's ports use them too.
#pragma once

#include "vantrel/result.h"
