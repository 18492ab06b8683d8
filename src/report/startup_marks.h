// Marks on the way from process start to the window's first showing, for the
// start-up benchmark's breakdown. In the product a mark is empty and compiles
// away; the benchmark build (VANTREL_STARTUP_MARKS) records the time of each
// and prints them.
#pragma once

namespace report {

#ifdef VANTREL_STARTUP_MARKS
void StartupMark(const char* stage) noexcept;
#else
inline void StartupMark(const char*) noexcept {}
#endif

}  // namespace report
