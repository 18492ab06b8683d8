/* vantrel.dll as Python's ctypes or C#'s P/Invoke reach it: loaded by name,
 * each function found by name and called through a pointer of the type the
 * caller declares itself; no header, no import library. Writes the snapshot's
 * JSON, read in the size-then-fill sequence, to stdout for the test to parse.
 * The snapshot's layout the same way, sized as the layout in force's:
 * planned it is empty, applied it changes nothing, and with nothing saved
 * a revert fails.
 * Then unloads the DLL while a thread that called it (and so has an error
 * message of its own) lives, and lets that thread end: a per-thread text
 * with a destructor keeps the DLL loaded here, or hangs the thread. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

typedef uint32_t (*AbiVersion)(void);
typedef int32_t (*Take)(const void* options, void** snapshot);
typedef int32_t (*Json)(const void* snapshot, char* buffer, size_t capacity, size_t* size);
typedef int32_t (*Free)(void* snapshot);
typedef const char* (*Message)(void);
typedef int32_t (*LayoutJson)(char* buffer, size_t capacity, size_t* size);
typedef int32_t (*SnapshotLayout)(const void* snapshot, char* buffer, size_t capacity,
                                  size_t* size);
typedef int32_t (*Plan)(const char* layout, char* buffer, size_t capacity, size_t* size);
typedef int32_t (*Apply)(const char* layout);
typedef int32_t (*Revert)(void);

static HMODULE dll;
static Take take;
static HANDLE called, go_on;

static void (*Find(const char* name))(void) {
  FARPROC f = GetProcAddress(dll, name);
  if (!f) fprintf(stderr, "load_by_name: no %s\n", name), exit(2);
  return (void (*)(void))f;
}

static DWORD WINAPI CallThenWait(LPVOID unused) {
  const int32_t status = take(NULL, NULL); /* VANTREL_ERROR_NULL_ARGUMENT */
  SetEvent(called);
  WaitForSingleObject(go_on, INFINITE);
  return status == -1 && unused == NULL ? 0 : 1;
}

int main(void) {
  Json json;
  Message message;
  void* snapshot = NULL;
  size_t size = 0;
  char *text, plan[256];
  DWORD written = 0, code = 1;
  HANDLE caller;

  if (!(dll = LoadLibraryW(L"vantrel.dll"))) return fprintf(stderr, "no vantrel.dll\n"), 2;
  take = (Take)Find("vantrel_snapshot_take");
  json = (Json)Find("vantrel_snapshot_json");
  message = (Message)Find("vantrel_last_error_message");
  if (((AbiVersion)Find("vantrel_abi_version"))() != 1) return 3;
  if (take(NULL, &snapshot) != 0 || json(snapshot, NULL, 0, &size) != 0 || !(text = malloc(size)) ||
      json(snapshot, text, size, &size) != 0) {
    return fprintf(stderr, "load_by_name: %s\n", message()), 4;
  }
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, (DWORD)(size - 1), &written, NULL);
  free(text);
  if (((LayoutJson)Find("vantrel_layout_json"))(NULL, 0, &size) != 0 || !(text = malloc(size)) ||
      ((SnapshotLayout)Find("vantrel_snapshot_layout_json"))(snapshot, text, size, &size) != 0 ||
      ((Plan)Find("vantrel_layout_plan"))(text, plan, sizeof plan, &size) != 0 ||
      !strstr(plan, "\"changes\": []") || ((Apply)Find("vantrel_layout_apply"))(text) != 0 ||
      ((Revert)Find("vantrel_layout_revert"))() != -9 || !strstr(message(), "no layout")) {
    return fprintf(stderr, "load_by_name: the layout: %s\n", message()), 8;
  }
  free(text);
  ((Free)Find("vantrel_snapshot_free"))(snapshot);

  called = CreateEventW(NULL, TRUE, FALSE, NULL);
  go_on = CreateEventW(NULL, TRUE, FALSE, NULL);
  caller = CreateThread(NULL, 0, CallThenWait, NULL, 0, NULL);
  WaitForSingleObject(called, INFINITE);
  if (!FreeLibrary(dll) || GetModuleHandleW(L"vantrel.dll")) {
    return fprintf(stderr, "load_by_name: vantrel.dll stays loaded after FreeLibrary\n"), 5;
  }
  SetEvent(go_on);
  if (WaitForSingleObject(caller, 10000) != WAIT_OBJECT_0) {
    return fprintf(stderr, "load_by_name: a thread hangs at its end after FreeLibrary\n"), 6;
  }
  GetExitCodeThread(caller, &code);
  return code == 0 ? 0 : 7;
}
