// Changes one display's mode from inside Wine, for the tests that watch
// displays change:
//   change_display \\.\DISPLAY3 WIDTH HEIGHT X Y     width and height 0: off
// Exits 0 when the change was applied.
#include <cstdio>
#include <cstdlib>

#include "display_change.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: change_display DEVICE WIDTH HEIGHT X Y\n");
    return 2;
  }
  const LONG result = vantrel::probe::ChangeDisplay(argv[1], std::atoi(argv[2]), std::atoi(argv[3]),
                                                    {std::atoi(argv[4]), std::atoi(argv[5])});
  std::printf("result %ld\n", result);
  return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}
