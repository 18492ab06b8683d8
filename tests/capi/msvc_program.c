/* vantrel.dll linked the MSVC way: compiled by clang for the MSVC target and
 * linked by lld-link against vantrel.lib. No MSVC runtime exists here, so it
 * is freestanding: its own entry point, no C library, kernel32 through an
 * import library made from kernel32.def. Writes the snapshot's JSON to
 * stdout for the test to compare; the struct layouts are pinned here too, as
 * this compiler lays them out. */
#include "abi_pin.h"

typedef void* Handle;
__declspec(dllimport) Handle GetStdHandle(unsigned long which);
__declspec(dllimport) int WriteFile(Handle file, const void* data, unsigned long size,
                                    unsigned long* written, void* overlapped);
__declspec(dllimport) Handle GetProcessHeap(void);
__declspec(dllimport) void* HeapAlloc(Handle heap, unsigned long flags, size_t size);
__declspec(dllimport) __declspec(noreturn) void ExitProcess(unsigned int code);

#define STD_OUTPUT_HANDLE ((unsigned long)-11)

void Start(void) {
  vantrel_snapshot* snapshot = 0;
  vantrel_display display = {.size = sizeof display};
  size_t size = 0;
  unsigned long written = 0;
  char* json;
  if (vantrel_abi_version() != VANTREL_ABI_VERSION) ExitProcess(2);
  if (vantrel_snapshot_take(0, &snapshot) != VANTREL_OK ||
      vantrel_snapshot_display(snapshot, 0, &display) != VANTREL_OK || !display.primary ||
      vantrel_snapshot_json(snapshot, 0, 0, &size) != VANTREL_OK) {
    ExitProcess(3);
  }
  json = HeapAlloc(GetProcessHeap(), 0, size);
  if (!json || vantrel_snapshot_json(snapshot, json, size, &size) != VANTREL_OK) ExitProcess(4);
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), json, (unsigned long)(size - 1), &written, 0);
  vantrel_snapshot_free(snapshot);
  ExitProcess(written == size - 1 ? 0 : 5);
}
