// Changes one display's mode from inside Wine, as a program of the user's
// would, for the tests that watch displays change:
//   change_display \\.\DISPLAY3 WIDTH HEIGHT X Y     width and height 0: off
// Exits 0 when the change was applied.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: change_display DEVICE WIDTH HEIGHT X Y\n");
    return 2;
  }
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
  mode.dmPelsWidth = static_cast<DWORD>(std::atoi(argv[2]));
  mode.dmPelsHeight = static_cast<DWORD>(std::atoi(argv[3]));
  mode.dmPosition = {std::atoi(argv[4]), std::atoi(argv[5])};
  // Wine applies a position only with the size, stored first and then
  // applied for all displays at once.
  const LONG stored =
      ChangeDisplaySettingsExA(argv[1], &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
  const LONG applied = ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr);
  std::printf("stored %ld, applied %ld\n", stored, applied);
  return stored == DISP_CHANGE_SUCCESSFUL && applied == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}
