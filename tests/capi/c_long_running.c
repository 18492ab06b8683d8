/* vantrel.dll in a program that runs on, a watcher started, under Wine on
 * the layout of VANTREL_LAYOUT (as c_program.c takes it). Such a process
 * keeps reading the mode in use it first read after another process changed
 * it: the layout saved before another process shrinks the third display must
 * still be put back by vantrel_layout_apply(), with one event and the layout
 * from before saved. Then a layout Wine cannot carry out (a gap, which it
 * closes) is rolled back, and an unknown display and a mode not offered are
 * refused, nothing changed. The other process is this program run as
 * "c_long_running change DEVICE W H X Y". Prints a line per failed check;
 * exits with their count. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "vantrel/vantrel_c.h"

static int failures;
#define CHECK(holds) \
  ((holds) ? (void)0 : (void)(++failures, printf("c_long_running.c:%d: %s\n", __LINE__, #holds)))

static volatile LONG events;

static void OnChange(vantrel_watcher* watcher, const char* change_json, void* context) {
  (void)watcher, (void)change_json, (void)context;
  InterlockedIncrement(&events);
}

/* Until no event has come for three seconds (30 s at most): on a loaded
 * machine a change's settled event may come well after the change. */
static void WaitStill(void) {
  LONG seen = events;
  DWORD still = GetTickCount(), start = still;
  while (GetTickCount() - still < 3000 && GetTickCount() - start < 30000) {
    Sleep(50);
    if (events != seen) seen = events, still = GetTickCount();
  }
}

/* The layout in force as JSON; the caller frees it. */
static char* LayoutJson(void) {
  size_t size = 0;
  char* json;
  if (vantrel_layout_json(NULL, 0, &size) != VANTREL_OK) return NULL;
  json = calloc(size, 1);
  if (json && vantrel_layout_json(json, size, &size) != VANTREL_OK) free(json), json = NULL;
  return json;
}

static int Change(const char* device, int width, int height, int x, int y) {
  DEVMODEA mode;
  memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
  mode.dmPelsWidth = (DWORD)width;
  mode.dmPelsHeight = (DWORD)height;
  mode.dmPosition.x = x;
  mode.dmPosition.y = y;
  if (ChangeDisplaySettingsExA(device, &mode, NULL, CDS_UPDATEREGISTRY | CDS_NORESET, NULL) != 0) {
    return 1;
  }
  return ChangeDisplaySettingsExA(NULL, NULL, NULL, 0, NULL) != 0;
}

/* Runs this program as the other process, and gives its exit code. */
static DWORD InAnotherProcess(const char* device, int x, int y) {
  char path[MAX_PATH], line[2 * MAX_PATH];
  STARTUPINFOA start;
  PROCESS_INFORMATION process;
  DWORD code = 99;
  memset(&start, 0, sizeof start);
  start.cb = sizeof start;
  if (!GetModuleFileNameA(NULL, path, MAX_PATH)) return code;
  snprintf(line, sizeof line, "\"%s\" change %s 800 600 %d %d", path, device, x, y);
  if (!CreateProcessA(path, line, NULL, NULL, FALSE, 0, NULL, NULL, &start, &process)) return code;
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

/* `text` with the first `from` replaced by `to`; the caller frees it. */
static char* Replaced(const char* text, const char* from, const char* to) {
  const char* at = strstr(text, from);
  char* out = calloc(strlen(text) + strlen(to) + 1, 1);
  if (!at || !out) return out;
  memcpy(out, text, (size_t)(at - text));
  strcat(out, to);
  strcat(out, at + strlen(from));
  return out;
}

int main(int argc, char** argv) {
  vantrel_watcher* watcher = NULL;
  vantrel_snapshot* s = NULL;
  vantrel_display d;
  char device[64] = "", from[32], to[32], refused[512], saved_path[MAX_PATH];
  char *saved, *now, *gap;
  int left = 0, top = 0, right = 0, bottom = 0, i;
  size_t count = 0, k;
  const char* layout = getenv("VANTREL_LAYOUT");
  FILE* file;
  LONG before;

  if (argc == 7 && strcmp(argv[1], "change") == 0) {
    return Change(argv[2], atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), atoi(argv[6]));
  }
  /* The third display of the layout: the one that shrinks. */
  for (i = 0; layout && i < 2; ++i) layout = strchr(layout, ';') ? strchr(layout, ';') + 1 : NULL;
  CHECK(layout && sscanf(layout, "%d,%d,%d,%d", &left, &top, &right, &bottom) == 4);
  CHECK(vantrel_snapshot_take(NULL, &s) == VANTREL_OK && vantrel_snapshot_count(s, &count) == 0);
  for (k = 0; k < count; ++k) {
    memset(&d, 0, sizeof d);
    d.size = sizeof d;
    if (vantrel_snapshot_display(s, k, &d) == VANTREL_OK && d.bounds.left == left) {
      snprintf(device, sizeof device, "%s", d.device_name);
    }
  }
  vantrel_snapshot_free(s);
  CHECK(device[0] != '\0');
  CHECK(vantrel_watcher_start(NULL, OnChange, NULL, &watcher) == VANTREL_OK);

  saved = LayoutJson(); /* read here, so that this process's own read is stale */
  CHECK(saved != NULL);
  CHECK(InAnotherProcess(device, left, top) == 0);
  WaitStill();
  now = LayoutJson();
  CHECK(now && strstr(now, "\"width\": 800") && strcmp(now, saved) != 0);
  free(now);

  before = events;
  CHECK(vantrel_layout_apply(saved) == VANTREL_OK);
  WaitStill();
  CHECK(events - before == 1);
  now = LayoutJson();
  CHECK(now && strcmp(now, saved) == 0);
  free(now);
  CHECK(GetEnvironmentVariableA("LOCALAPPDATA", saved_path, MAX_PATH) > 0);
  strncat(saved_path, "\\Vantrel\\layout-before.json", MAX_PATH - strlen(saved_path) - 1);
  file = fopen(saved_path, "rb");
  CHECK(file != NULL);
  if (file) {
    char text[8192] = "";
    CHECK(fread(text, 1, sizeof text - 1, file) > 0 && strstr(text, "\"width\": 800") != NULL);
    fclose(file);
  }

  /* A gap right of the primary: Wine closes it, and the apply rolls back. */
  snprintf(from, sizeof from, "\"x\": %d,", left);
  snprintf(to, sizeof to, "\"x\": %d,", left + 100);
  gap = Replaced(saved, from, to);
  CHECK(gap && strcmp(gap, saved) != 0);
  CHECK(vantrel_layout_apply(gap) == VANTREL_ERROR_ROLLED_BACK);
  CHECK(strstr(vantrel_last_error_message(), "the layout from before is back") != NULL);
  free(gap);
  WaitStill();
  now = LayoutJson();
  CHECK(now && strcmp(now, saved) == 0);
  free(now);

  /* Refused, nothing changed: a display not connected, a mode not offered. */
  before = events;
  CHECK(vantrel_layout_apply("{\"schema\": \"vantrel-layout\", \"version\": 1, \"displays\": "
                             "[{\"key\": \"nowhere\", \"adapter\": \"\\\\\\\\.\\\\DISPLAY9\", "
                             "\"attached\": true, \"primary\": false, \"position\": {\"x\": 0, "
                             "\"y\": 0}, \"mode\": {\"width\": 800, \"height\": 600, "
                             "\"bits_per_pixel\": 0, \"frequency\": 0}, \"orientation\": 0}]}") ==
        VANTREL_ERROR_REFUSED);
  snprintf(refused, sizeof refused,
           "{\"schema\": \"vantrel-layout\", \"version\": 1, \"displays\": [{\"key\": \"\", "
           "\"adapter\": \"\\\\\\\\.\\\\%s\", \"attached\": true, \"primary\": false, "
           "\"position\": {\"x\": %d, \"y\": %d}, \"mode\": {\"width\": 1234, \"height\": 567, "
           "\"bits_per_pixel\": 0, \"frequency\": 0}, \"orientation\": 0}]}",
           device + 4, left, top);
  CHECK(vantrel_layout_apply(refused) == VANTREL_ERROR_REFUSED);
  CHECK(strstr(vantrel_last_error_message(), "is no mode it offers") != NULL);
  WaitStill();
  CHECK(events == before);
  now = LayoutJson();
  CHECK(now && strcmp(now, saved) == 0);
  free(now);

  CHECK(vantrel_watcher_free(watcher) == VANTREL_OK);
  free(saved);
  printf("c_long_running: %d failed\n", failures);
  return failures;
}
