/// @file
/// The display service of the running Windows system, through user32.
#pragma once

#include "vantrel/platform/display_service.h"

namespace vantrel::platform {

/// The running system's display service. One per process, and safe to call
/// from any thread: each function is bound by name once, on its first call
/// from whichever thread comes first; one the system's user32 lacks fails with
/// kFunctionMissing (453) on every call.
DisplayService& User32DisplayService() noexcept;

}  // namespace vantrel::platform
