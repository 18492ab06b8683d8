// The display service of the running Windows system, through user32.
#pragma once

#include "vantrel/platform/display_service.h"

namespace vantrel::platform {

// One per process; its functions are bound on their first call.
DisplayService& User32DisplayService();

}  // namespace vantrel::platform
