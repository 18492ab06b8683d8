// Taking a snapshot of the displays, and the lookups on it.
#include "vantrel/displays/displays.h"
