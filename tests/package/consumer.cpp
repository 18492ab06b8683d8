// What the installed headers must stand in a program as a new user writes
// it: <windows.h> first, with neither NOMINMAX nor WIN32_LEAN_AND_MEAN, and
// std::min and std::max of its own.
// Prints each monitor as "monitor: left,top,right,bottom" and the virtual
// screen as "desktop: left,top,width,height"; the test script checks them
// against the layout.
#include <windows.h>

// MinGW's C++ runtime keeps <windows.h> from defining the min and max macros
// that MSVC's defines; they are defined here as MSVC's are, so that the
// library's headers meet them as they would there. The standard headers come
// first, as in MSVC, whose own library is written to stand the macros.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>
#ifndef min
#define min(a, b) (((a) < (b)) ? (a) : (b))
#endif
#ifndef max
#define max(a, b) (((a) > (b)) ? (a) : (b))
#endif
#define CONSUMER_WIN32_WINNT _WIN32_WINNT

#include <vantrel/vantrel.h>

// The headers leave the program's macros as they were and add none of their
// own.
#if defined(WIN32_LEAN_AND_MEAN) || _WIN32_WINNT != CONSUMER_WIN32_WINNT
#error "a Vantrel header changed the program's Windows macros"
#endif
#if !defined(min) || !defined(max)
#error "a Vantrel header took away the program's min or max"
#endif

int main() {
  vantrel::clsMonitors monitors(vantrel::platform::User32DisplayService(),
                                &vantrel::ui::SystemScreen());
  int widest = 0, highest = 0;
  for (const auto& m : *monitors.Monitors()) {
    std::printf("monitor: %d,%d,%d,%d\n", m->Left(), m->Top(), m->Right(), m->Bottom());
    widest = (std::max)(widest, m->Width());
    highest = (std::min)(highest, m->Top());
  }
  std::printf("desktop: %d,%d,%d,%d\n", monitors.DesktopLeft(), monitors.DesktopTop(),
              monitors.DesktopWidth(), monitors.DesktopHeight());
  std::printf("widest: %d, highest top: %d\n", widest, highest);
  return monitors.Monitors()->Count() > 0 ? 0 : 1;
}
