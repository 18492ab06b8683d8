#include "display_change.h"

namespace vantrel::probe {

LONG ChangeDisplay(const char* device, int width, int height, POINT position) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmPosition = {position.x, position.y};
  const LONG stored =
      ChangeDisplaySettingsExA(device, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
  if (stored != DISP_CHANGE_SUCCESSFUL) return stored;
  return ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr);
}

}  // namespace vantrel::probe
