// The guard of every ModeChange not yet restored (mode_change.cpp): the
// process-wide list that the function registered with std::atexit restores.
// Here so that a test can run what the process's exit runs.
#pragma once

#include <cstddef>

namespace vantrel::mode_changes {

// Restores every change not yet restored, the newest first, as the
// process's normal exit does; gives how many were put back. One that fails
// stays listed.
std::size_t RestoreAll() noexcept;
// How many changes are listed.
std::size_t Listed() noexcept;

}  // namespace vantrel::mode_changes
