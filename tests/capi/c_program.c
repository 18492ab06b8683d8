/* vantrel.dll from C99, as a program outside this repository uses it: built
 * from the installed header and import library, run on the layout of
 * VANTREL_LAYOUT ("l,t,r,b;...", the first the primary). Checks the facts
 * against the layout, the lookups, centring, a window's place saved, put
 * back, fitted and kept in view, the JSON's sizes, the layout in force
 * planned and applied unchanged, the caller's DPI awareness kept, a
 * watcher's callback, the status of every bad argument, and the desktop's
 * memory remembered, read and put back. Prints a line
 * per failed check; exits with their count. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "abi_pin.h"

static int failures;
#define CHECK(holds) \
  ((holds) ? (void)0 : (void)(++failures, printf("c_program.c:%d: %s\n", __LINE__, #holds)))

/* A call's status, and for an error, a message saying so. */
static void Expect(vantrel_status got, vantrel_status want, const char* what) {
  if (got != want) ++failures, printf("%s: status %d, not %d\n", what, (int)got, (int)want);
  if (want < 0 && !vantrel_last_error_message()[0]) ++failures, printf("%s: no message\n", what);
}

static vantrel_display DisplayOf(const vantrel_snapshot* s, size_t k) {
  vantrel_display d = {.size = sizeof d};
  Expect(vantrel_snapshot_display(s, k, &d), VANTREL_OK, "display");
  return d;
}

static HANDLE called;
static DWORD callback_thread;
static void* callback_context;
static vantrel_status stop_inside, free_inside;

static void OnChange(vantrel_watcher* watcher, const char* change_json, void* context) {
  vantrel_snapshot* now = NULL;
  callback_thread = GetCurrentThreadId();
  callback_context = context;
  CHECK(strstr(change_json, "\"event\":\"change\"") != NULL);
  stop_inside = vantrel_watcher_stop(watcher);
  CHECK(strstr(vantrel_last_error_message(), "vantrel_watcher_stop: ") != NULL);
  free_inside = vantrel_watcher_free(watcher);
  CHECK(vantrel_watcher_snapshot(watcher, &now) == VANTREL_OK && vantrel_snapshot_free(now) == 0);
  SetEvent(called);
}

int main(void) {
  vantrel_snapshot *s = NULL, *other = NULL, *gone;
  vantrel_snapshot_options no_modes = {.size = sizeof no_modes, .without_modes = 1};
  vantrel_display d = {.size = sizeof d}, small = {.size = 8};
  vantrel_rect layout[3];
  vantrel_mode m = {.size = sizeof m};
  vantrel_clone clone = {.size = sizeof clone};
  size_t n = 0, k, index, json_size = 0, place_size = 0;
  char place[1024] = "", plan[256] = "";
  vantrel_placed placed = {.size = sizeof placed};
  int32_t moved = -1;
  const char* text = getenv("VANTREL_LAYOUT");
  char *json, *layout_json;
  RECT r;
  HWND window, shown;
  DPI_AWARENESS_CONTEXT caller;
  vantrel_watcher* watcher = NULL;
  vantrel_watcher_options quick = {.size = sizeof quick, .quiet_ms = 50};
  DEVMODEA mode = {.dmSize = sizeof mode};

  CHECK(text && sscanf(text, "%d,%d,%d,%d;%d,%d,%d,%d;%d,%d,%d,%d", &layout[0].left, &layout[0].top,
                       &layout[0].right, &layout[0].bottom, &layout[1].left, &layout[1].top,
                       &layout[1].right, &layout[1].bottom, &layout[2].left, &layout[2].top,
                       &layout[2].right, &layout[2].bottom) == 12);
  CHECK(vantrel_abi_version() == VANTREL_ABI_VERSION &&
        vantrel_version() ==
            VANTREL_VERSION_MAJOR * 10000 + VANTREL_VERSION_MINOR * 100 + VANTREL_VERSION_PATCH);

  /* The caller's awareness (python.exe's: none) is its own again after a call. */
  caller = SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
  Expect(vantrel_snapshot_take(NULL, &s), VANTREL_OK, "take");
  CHECK(
      AreDpiAwarenessContextsEqual(GetThreadDpiAwarenessContext(), DPI_AWARENESS_CONTEXT_UNAWARE));
  SetThreadDpiAwarenessContext(caller);
  CHECK(vantrel_last_error_message()[0] == '\0');

  /* Every display as the layout has it, found by its middle and its key. */
  Expect(vantrel_snapshot_count(s, &n), VANTREL_OK, "count");
  CHECK(n == 3);
  for (k = 0; k < n && k < 3; ++k) {
    d = DisplayOf(s, k);
    CHECK(d.size == sizeof d && d.primary == (k == 0) && d.dpi == 96 && d.scale == 1.0);
    CHECK(memcmp(&d.bounds, &layout[k], sizeof d.bounds) == 0);
    CHECK(d.name[0] && d.key[0] && strncmp(d.device_name, "\\\\.\\DISPLAY", 11) == 0);
    CHECK(d.current_width == d.bounds.right - d.bounds.left && d.mode_count > 0 &&
          d.clone_count == 0);
    /* The rate DisplayConfig gives, against the mode's whole hertz. */
    CHECK(d.refresh_denominator > 0 &&
          (int32_t)(d.refresh_numerator / d.refresh_denominator) == d.current_frequency &&
          d.refresh_hertz > d.current_frequency - 1 && d.refresh_hertz < d.current_frequency + 1);
    Expect(vantrel_snapshot_mode(s, k, d.mode_count - 1, &m), VANTREL_OK, "last mode");
    CHECK(m.size == sizeof m && m.width > 0 && m.bits_per_pixel > 0);
    CHECK(vantrel_snapshot_at_point(s, (d.bounds.left + d.bounds.right) / 2, d.bounds.bottom - 1,
                                    VANTREL_FALLBACK_NONE, &index) == VANTREL_OK &&
          index == k);
    CHECK(vantrel_snapshot_find_key(s, d.key, &index) == VANTREL_OK && index == k);
  }
  /* Far left of everything: each fallback (the second display is leftmost). */
  CHECK(vantrel_snapshot_at_point(s, -99999, 500, VANTREL_FALLBACK_NONE, &index) ==
            VANTREL_NOT_FOUND &&
        index == VANTREL_NO_DISPLAY);
  CHECK(vantrel_snapshot_at_point(s, -99999, 500, VANTREL_FALLBACK_NEAREST, &index) == 0 &&
        index == 1);
  CHECK(vantrel_snapshot_of_rect(s, -99999, 0, -9999, 10, VANTREL_FALLBACK_PRIMARY, &index) == 0 &&
        index == 0);
  CHECK(vantrel_snapshot_primary(s, &index) == VANTREL_OK && index == 0);
  CHECK(vantrel_snapshot_find_key(s, "no such key", &index) == VANTREL_NOT_FOUND);

  /* Centring a window on each display's work area, and finding it there. */
  window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, NULL, NULL,
                           NULL, NULL);
  for (k = 0; k < n; ++k) {
    d = DisplayOf(s, k);
    Expect(vantrel_centre_window(s, k, window), VANTREL_OK, "centre");
    GetWindowRect(window, &r);
    CHECK(r.right - r.left == 400 && r.bottom - r.top == 300);
    CHECK(labs(r.left + r.right - d.work_area.left - d.work_area.right) <= 1);
    CHECK(labs(r.top + r.bottom - d.work_area.top - d.work_area.bottom) <= 1);
    CHECK(vantrel_snapshot_of_window(s, window, 0, &index) == VANTREL_OK && index == k);
  }
  DestroyWindow(window);
  CHECK(vantrel_snapshot_of_window(s, window, VANTREL_FALLBACK_NONE, &index) == VANTREL_NOT_FOUND);
  CHECK(vantrel_snapshot_of_window(s, window, VANTREL_FALLBACK_NEAREST, &index) == 0 && index == 0);

  /* A window's place on the right display as its line: sized, too small a
   * buffer, saved, put back after a move, fitted on the snapshot. Then moved
   * where no display is, and brought back left of everything. */
  shown = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, layout[2].left + 100, 150, 400, 300, NULL,
                          NULL, NULL, NULL);
  Expect(vantrel_placement_save(shown, NULL, 0, &place_size), VANTREL_OK, "place size");
  Expect(vantrel_placement_save(shown, place, place_size - 1, &n), VANTREL_ERROR_BUFFER_TOO_SMALL,
         "place");
  CHECK(n == place_size && place[0] == '\0' && place_size <= sizeof place);
  Expect(vantrel_placement_save(shown, place, sizeof place, &n), VANTREL_OK, "save");
  CHECK(n == place_size && strlen(place) + 1 == n);
  SetWindowPos(shown, NULL, layout[1].left, layout[1].top, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  Expect(vantrel_placement_restore(shown, place), VANTREL_OK, "restore");
  GetWindowRect(shown, &r);
  CHECK(r.left == layout[2].left + 100 && r.top == 150 && r.right == r.left + 400 &&
        r.bottom == 450);
  Expect(vantrel_placement_fit(s, place, &placed), VANTREL_OK, "fit");
  CHECK(placed.size == sizeof placed && placed.display == 2 && placed.maximized == 0);
  CHECK(placed.bounds.left == r.left && placed.bounds.top == r.top &&
        placed.bounds.right == r.right && placed.bounds.bottom == r.bottom);
  SetWindowPos(shown, NULL, -5000, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Expect(vantrel_window_ensure_visible(shown, &moved), VANTREL_OK, "ensure visible");
  GetWindowRect(shown, &r);
  CHECK(moved == 1 && r.left == DisplayOf(s, 1).work_area.left && r.top == 300 &&
        r.right == r.left + 400);
  Expect(vantrel_window_ensure_visible(shown, &moved), VANTREL_OK, "in view");
  CHECK(moved == 0);

  /* The JSON: its size asked, too small a buffer, then whole. */
  Expect(vantrel_snapshot_json(s, NULL, 0, &json_size), VANTREL_OK, "json size");
  json = calloc(json_size, 1);
  Expect(vantrel_snapshot_json(s, json, json_size - 1, &n), VANTREL_ERROR_BUFFER_TOO_SMALL, "json");
  CHECK(n == json_size && json[0] == '\0');
  Expect(vantrel_snapshot_json(s, json, json_size, &n), VANTREL_OK, "json");
  CHECK(strlen(json) + 1 == json_size && strstr(json, "\"schema\": \"vantrel-list\"") != NULL);
  free(json);

  /* The layout in force, the snapshot's the same (all attached): planned
   * against itself, nothing changes; applied, nothing does either. */
  Expect(vantrel_layout_json(NULL, 0, &json_size), VANTREL_OK, "layout size");
  json = calloc(json_size, 1);
  layout_json = calloc(json_size, 1);
  Expect(vantrel_layout_json(json, json_size, &n), VANTREL_OK, "layout");
  Expect(vantrel_snapshot_layout_json(s, layout_json, json_size, &n), VANTREL_OK, "its layout");
  CHECK(strcmp(json, layout_json) == 0 && strstr(json, "\"schema\": \"vantrel-layout\"") != NULL);
  Expect(vantrel_layout_plan(json, plan, sizeof plan, &n), VANTREL_OK, "plan");
  CHECK(strstr(plan, "\"changes\": []") != NULL);
  Expect(vantrel_layout_apply(json), VANTREL_OK, "apply the layout in force");
  Expect(vantrel_layout_apply("{}"), VANTREL_ERROR_INVALID_ARGUMENT, "apply no layout");
  free(json);
  free(layout_json);

  Expect(vantrel_snapshot_take(&no_modes, &other), VANTREL_OK, "take without modes");
  CHECK(DisplayOf(other, 0).mode_count == 0);
  Expect(vantrel_snapshot_mode(other, 0, 0, &m), VANTREL_ERROR_OUT_OF_RANGE, "mode of none");
  Expect(vantrel_snapshot_free(other), VANTREL_OK, "free");

  /* Every bad argument. */
  gone = other;
  Expect(vantrel_snapshot_free(gone), VANTREL_ERROR_BAD_HANDLE, "free twice");
  Expect(vantrel_snapshot_free(NULL), VANTREL_OK, "free null");
  Expect(vantrel_snapshot_count(gone, &n), VANTREL_ERROR_BAD_HANDLE, "count of a freed one");
  Expect(vantrel_snapshot_count((vantrel_snapshot*)&n, &n), VANTREL_ERROR_BAD_HANDLE, "not given");
  Expect(vantrel_snapshot_count(NULL, &n), VANTREL_ERROR_NULL_ARGUMENT, "count of null");
  Expect(vantrel_snapshot_count(s, NULL), VANTREL_ERROR_NULL_ARGUMENT, "count into null");
  Expect(vantrel_snapshot_take(NULL, NULL), VANTREL_ERROR_NULL_ARGUMENT, "take into null");
  no_modes.size = 4;
  Expect(vantrel_snapshot_take(&no_modes, &other), VANTREL_ERROR_BAD_SIZE, "options too small");
  CHECK(other == NULL);
  Expect(vantrel_snapshot_display(s, 3, &d), VANTREL_ERROR_OUT_OF_RANGE, "display 3");
  Expect(vantrel_snapshot_display(s, 0, NULL), VANTREL_ERROR_NULL_ARGUMENT, "display into null");
  Expect(vantrel_snapshot_display(s, 0, &small), VANTREL_ERROR_BAD_SIZE, "display too small");
  CHECK(small.number == 0);
  Expect(vantrel_snapshot_mode(s, 0, d.mode_count + 9, &m), VANTREL_ERROR_OUT_OF_RANGE, "mode");
  Expect(vantrel_snapshot_mode(s, 9, 0, &m), VANTREL_ERROR_OUT_OF_RANGE, "mode of display 9");
  Expect(vantrel_snapshot_clone(s, 0, 0, &clone), VANTREL_ERROR_OUT_OF_RANGE, "no clone");
  Expect(vantrel_snapshot_at_point(s, 0, 0, 3, &index), VANTREL_ERROR_INVALID_ARGUMENT, "fallback");
  Expect(vantrel_snapshot_at_point(s, 0, 0, 0, NULL), VANTREL_ERROR_NULL_ARGUMENT, "point index");
  Expect(vantrel_snapshot_of_rect(s, 0, 0, 1, 1, -1, &index), VANTREL_ERROR_INVALID_ARGUMENT, "rf");
  Expect(vantrel_snapshot_of_window(s, NULL, 0, &index), VANTREL_ERROR_NULL_ARGUMENT, "window");
  Expect(vantrel_snapshot_find_key(s, NULL, &index), VANTREL_ERROR_NULL_ARGUMENT, "key");
  Expect(vantrel_snapshot_primary(gone, &index), VANTREL_ERROR_BAD_HANDLE, "primary of freed");
  Expect(vantrel_snapshot_json(s, NULL, 10, &n), VANTREL_ERROR_NULL_ARGUMENT, "json buffer");
  Expect(vantrel_snapshot_json(s, NULL, 0, NULL), VANTREL_ERROR_NULL_ARGUMENT, "json size");
  Expect(vantrel_centre_window(s, 0, NULL), VANTREL_ERROR_NULL_ARGUMENT, "centre null");
  Expect(vantrel_centre_window(s, 3, window), VANTREL_ERROR_OUT_OF_RANGE, "centre on display 3");
  Expect(vantrel_centre_window(s, 0, window), VANTREL_ERROR_SYSTEM, "centre a window gone");
  Expect(vantrel_placement_save(NULL, NULL, 0, &n), VANTREL_ERROR_NULL_ARGUMENT, "save null");
  Expect(vantrel_placement_save(shown, place, 9, NULL), VANTREL_ERROR_NULL_ARGUMENT, "save size");
  Expect(vantrel_placement_save(window, NULL, 0, &n), VANTREL_ERROR_SYSTEM, "save a window gone");
  Expect(vantrel_placement_restore(shown, NULL), VANTREL_ERROR_NULL_ARGUMENT, "restore null");
  Expect(vantrel_placement_restore(shown, "vantrel-placement 1 state=normal dpi=96"),
         VANTREL_ERROR_INVALID_ARGUMENT, "not a place");
  Expect(vantrel_placement_restore(window, place), VANTREL_ERROR_SYSTEM, "restore a window gone");
  CHECK(strcmp(vantrel_last_error_message(),
               "vantrel_placement_restore: reading the window's "
               "place failed (system error 1400)") == 0);
  Expect(vantrel_placement_fit(s, "", &placed), VANTREL_ERROR_INVALID_ARGUMENT, "fit no place");
  placed.size = 8;
  Expect(vantrel_placement_fit(s, place, &placed), VANTREL_ERROR_BAD_SIZE, "placed too small");
  Expect(vantrel_window_ensure_visible(window, NULL), VANTREL_ERROR_SYSTEM, "keep a gone in view");
  Expect(vantrel_watcher_start(NULL, NULL, NULL, &watcher), VANTREL_ERROR_NULL_ARGUMENT, "no cb");
  Expect(vantrel_watcher_start(NULL, OnChange, NULL, NULL), VANTREL_ERROR_NULL_ARGUMENT, "watch");
  quick.size = 0;
  Expect(vantrel_watcher_start(&quick, OnChange, NULL, &watcher), VANTREL_ERROR_BAD_SIZE, "size");
  quick.size = sizeof quick;
  Expect(vantrel_watcher_stop(NULL), VANTREL_ERROR_NULL_ARGUMENT, "stop null");
  Expect(vantrel_watcher_free(NULL), VANTREL_OK, "free no watcher");
  Expect(vantrel_watcher_free((vantrel_watcher*)s), VANTREL_ERROR_BAD_HANDLE, "not a watcher");
  Expect(vantrel_snapshot_count(s, &n), VANTREL_OK, "the snapshot is still there");
  CHECK(vantrel_last_error_message()[0] == '\0');

  /* A watcher told of a change made here (the right display to 800 x 600):
   * its callback on its own thread with our context, unable to end itself. */
  called = CreateEventW(NULL, TRUE, FALSE, NULL);
  Expect(vantrel_watcher_start(&quick, OnChange, &quick, &watcher), VANTREL_OK, "start");
  Expect(vantrel_snapshot_count((vantrel_snapshot*)watcher, &n), VANTREL_ERROR_BAD_HANDLE,
         "a watcher as a snapshot");
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
  mode.dmPelsWidth = 800;
  mode.dmPelsHeight = 600;
  mode.dmPosition.x = layout[2].left;
  mode.dmPosition.y = layout[2].top;
  CHECK(ChangeDisplaySettingsExA("\\\\.\\DISPLAY3", &mode, NULL, CDS_UPDATEREGISTRY | CDS_NORESET,
                                 NULL) == DISP_CHANGE_SUCCESSFUL);
  CHECK(ChangeDisplaySettingsExA(NULL, NULL, NULL, 0, NULL) == DISP_CHANGE_SUCCESSFUL);
  CHECK(WaitForSingleObject(called, 20000) == WAIT_OBJECT_0);
  CHECK(callback_thread != 0 && callback_thread != GetCurrentThreadId());
  CHECK(callback_context == &quick);
  CHECK(stop_inside == VANTREL_ERROR_IN_CALLBACK && free_inside == VANTREL_ERROR_IN_CALLBACK);
  Expect(vantrel_watcher_stop(watcher), VANTREL_OK, "stop");
  Expect(vantrel_watcher_stop(watcher), VANTREL_OK, "stop again");
  Expect(vantrel_watcher_snapshot(watcher, &other), VANTREL_OK, "snapshot after stop");
  CHECK(DisplayOf(other, 2).bounds.right - DisplayOf(other, 2).bounds.left == 800);
  Expect(vantrel_watcher_free(watcher), VANTREL_OK, "free the watcher");
  Expect(vantrel_watcher_free(watcher), VANTREL_ERROR_BAD_HANDLE, "free the watcher twice");

  /* The desktop's memory: this desktop's windows remembered, the memory's
   * JSON naming its schema, and put back. */
  {
    int32_t moved = -1, skipped = -1;
    char* memory;
    Expect(vantrel_desktop_remember(), VANTREL_OK, "remember the desktop");
    Expect(vantrel_desktop_json(NULL, 0, &n), VANTREL_OK, "the memory's size");
    memory = malloc(n);
    CHECK(memory != NULL);
    Expect(vantrel_desktop_json(memory, n, &n), VANTREL_OK, "the memory");
    CHECK(strstr(memory, "\"vantrel-desktop\"") != NULL);
    free(memory);
    Expect(vantrel_desktop_restore(&moved, &skipped), VANTREL_OK, "restore the desktop");
    CHECK(moved >= 0 && skipped >= 0);
  }

  vantrel_snapshot_free(other);
  vantrel_snapshot_free(s);
  printf("c_program: %d failure(s)\n", failures);
  return failures;
}
