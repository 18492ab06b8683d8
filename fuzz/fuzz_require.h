// What every fuzz target does when a property it checks does not hold: say
// which, and abort, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}
