// The display service of the running Windows system, through user32.
#pragma once

#include "vantrel/platform/display_service.h"

namespace vantrel::platform {

// One per process. Each function is bound by name on its first call; one the
// system's user32 lacks fails with kFunctionMissing (453) on every call.
DisplayService& User32DisplayService() noexcept;

}  // namespace vantrel::platform
