/* The displays of the desktop from C, or from any language that calls C:
 * vantrel.dll, linked through vantrel.lib (MSVC, clang) or libvantrel.dll.a
 * (MinGW), or loaded by name (LoadLibraryW and GetProcAddress, Python's
 * ctypes, C#'s P/Invoke).
 *
 *   vantrel_snapshot* snapshot;
 *   size_t count, k;
 *   if (vantrel_snapshot_take(NULL, &snapshot) != VANTREL_OK) {
 *     puts(vantrel_last_error_message());
 *     return;
 *   }
 *   vantrel_snapshot_count(snapshot, &count);
 *   for (k = 0; k < count; ++k) {
 *     vantrel_display d = {.size = sizeof d};
 *     vantrel_snapshot_display(snapshot, k, &d);
 *     printf("%s: %d,%d\n", d.name, d.bounds.left, d.bounds.top);
 *   }
 *   vantrel_snapshot_free(snapshot);
 *
 * Plain C99; needs no windows.h. Every function returns a status where it can
 * fail, catches whatever goes wrong inside (running out of memory included)
 * and checks its arguments: a null pointer, an index out of range, a buffer
 * too small and a handle this library never gave or has already freed each
 * give a status, never a crash. vantrel_last_error_message() then says what
 * went wrong on this thread.
 *
 * Pixels are physical whatever the calling program's DPI awareness: each call
 * runs per-monitor aware where the system allows it (Windows 10 1607 on) and
 * gives the calling thread its own awareness back.
 *
 * The ABI is fixed (VANTREL_ABI_VERSION): a later vantrel.dll only adds
 * functions and grows structs at their end. Each struct starts with its size,
 * which the caller sets (sizeof), so that either side knows how much of it the
 * other has. */
#ifndef VANTREL_VANTREL_C_H
#define VANTREL_VANTREL_C_H

#include <stddef.h>
#include <stdint.h>

#include "vantrel/vantrel_version.h"

#ifdef __cplusplus
extern "C" {
#endif

#define VANTREL_ABI_VERSION 1

/* What a function returns: 0 done, 1 nothing found (a lookup or a fit), negative
 * an error, explained by vantrel_last_error_message(). */
typedef int32_t vantrel_status;
#define VANTREL_OK 0
#define VANTREL_NOT_FOUND 1
#define VANTREL_ERROR_NULL_ARGUMENT (-1)
#define VANTREL_ERROR_BAD_HANDLE (-2)       /* never given, or already freed */
#define VANTREL_ERROR_OUT_OF_RANGE (-3)     /* an index past the count */
#define VANTREL_ERROR_BUFFER_TOO_SMALL (-4) /* the size needed is written back */
#define VANTREL_ERROR_BAD_SIZE (-5)         /* a struct's size is below this ABI's */
#define VANTREL_ERROR_INVALID_ARGUMENT (-6) /* a value none of those named here */
#define VANTREL_ERROR_IN_CALLBACK (-7)      /* a watcher cannot end on its own thread */
#define VANTREL_ERROR_OUT_OF_MEMORY (-8)
#define VANTREL_ERROR_SYSTEM (-9)    /* a system call failed; the message has its error */
#define VANTREL_ERROR_INTERNAL (-10) /* a fault of this library's */

/* The library's version, major * 10000 + minor * 100 + patch (10000 is 1.0),
 * and the ABI it offers: a program built with another VANTREL_ABI_VERSION must
 * not use it. */
uint32_t vantrel_version(void);
uint32_t vantrel_abi_version(void);

/* What went wrong in this thread's last call that returned a status: the
 * function, the step, and where a system call failed its error code. Empty
 * after a call that succeeded. UTF-8, owned by the library, valid until this
 * thread's next call. */
const char* vantrel_last_error_message(void);

/* ---- Snapshots ---------------------------------------------------------- */

/* Every fact about every display, read at one moment. It never changes, and
 * any thread may use it; texts in it are UTF-8, owned by the snapshot, valid
 * until it is freed. */
typedef struct vantrel_snapshot vantrel_snapshot;

typedef struct vantrel_snapshot_options {
  uint32_t size; /* sizeof(vantrel_snapshot_options) */
  /* Nonzero: without the mode list, by far the dearest fact (some 55 ms of a
   * snapshot under Wine on three displays); mode_count is then 0 and every
   * other fact is read all the same. 0: every mode each display offers. */
  uint32_t without_modes;
} vantrel_snapshot_options;

/* Options null, as options zeroed but for their size: every fact, modes
 * included. Functions that give a handle write null there when they fail. */
vantrel_status vantrel_snapshot_take(const vantrel_snapshot_options* options,
                                     vantrel_snapshot** snapshot);
/* Null does nothing; a handle freed already is VANTREL_ERROR_BAD_HANDLE. */
vantrel_status vantrel_snapshot_free(vantrel_snapshot* snapshot);
vantrel_status vantrel_snapshot_count(const vantrel_snapshot* snapshot, size_t* count);

/* Pixels of the virtual screen; right and bottom are outside. */
typedef struct vantrel_rect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
} vantrel_rect;

#define VANTREL_CONNECTION_UNKNOWN 0
#define VANTREL_CONNECTION_INTERNAL 1
#define VANTREL_CONNECTION_HDMI 2
#define VANTREL_CONNECTION_DISPLAYPORT 3
#define VANTREL_CONNECTION_DVI 4
#define VANTREL_CONNECTION_VGA 5
#define VANTREL_CONNECTION_OTHER 6

typedef struct vantrel_display {
  uint32_t size; /* sizeof(vantrel_display), set by the caller */
  /* The number ending the adapter's name (2 for "\\.\DISPLAY2"), else 0. */
  int32_t number;
  void* monitor;           /* the HMONITOR, valid while the layout lasts */
  const char* device_name; /* the adapter's, as "\\.\DISPLAY2" */
  /* The monitor's friendly name, unique in the snapshot ("Name (2)" for the
   * second of two alike). */
  const char* name;
  /* The monitor's device path: the same monitor has the same key in other
   * snapshots and processes. Never empty. */
  const char* key;
  size_t mode_count; /* 0 when the snapshot was taken without modes */
  int32_t primary;   /* 1 or 0 */
  vantrel_rect bounds;
  vantrel_rect work_area;    /* without the task bars */
  uint32_t dpi;              /* effective DPI */
  double scale;              /* dpi / 96 */
  int32_t physical_width_mm; /* 0 and 0 where the system does not say */
  int32_t physical_height_mm;
  int32_t orientation;    /* degrees clockwise: 0, 90, 180 or 270 */
  int32_t bits_per_pixel; /* 0 where the system does not say */
  /* Exact where the system gives it (59.94 Hz is 60000 / 1001), else whole
   * hertz over 1; 0 / 1 where nothing says. */
  uint32_t refresh_numerator;
  uint32_t refresh_denominator;
  double refresh_hertz;
  int32_t connection; /* VANTREL_CONNECTION_... */
  /* The mode in use. */
  int32_t current_width;
  int32_t current_height;
  int32_t current_bits_per_pixel;
  int32_t current_frequency;
} vantrel_display;

/* Display `index` of `count`, in the system's order. */
vantrel_status vantrel_snapshot_display(const vantrel_snapshot* snapshot, size_t index,
                                        vantrel_display* display);

/* One mode a display offers. */
typedef struct vantrel_mode {
  uint32_t size; /* sizeof(vantrel_mode), set by the caller */
  int32_t width;
  int32_t height;
  int32_t bits_per_pixel;
  int32_t frequency; /* whole hertz */
} vantrel_mode;

/* Mode `mode_index` of the display's mode_count, in ascending order (width,
 * height, bits, frequency), without repeats. */
vantrel_status vantrel_snapshot_mode(const vantrel_snapshot* snapshot, size_t display_index,
                                     size_t mode_index, vantrel_mode* mode);

/* ---- Lookups: each gives a display's index in the snapshot -------------- */

/* What a lookup answers when no display holds the point or rectangle. */
#define VANTREL_FALLBACK_NONE 0    /* VANTREL_NOT_FOUND */
#define VANTREL_FALLBACK_NEAREST 1 /* the nearest display, by distance between edges */
#define VANTREL_FALLBACK_PRIMARY 2 /* the primary display */

/* Written to *index when nothing is found. */
#define VANTREL_NO_DISPLAY SIZE_MAX

vantrel_status vantrel_snapshot_primary(const vantrel_snapshot* snapshot, size_t* index);
vantrel_status vantrel_snapshot_at_point(const vantrel_snapshot* snapshot, int32_t x, int32_t y,
                                         int32_t fallback, size_t* index);
/* The display sharing the largest area with the rectangle (the first listed
 * of a tie); an empty rectangle counts as its top-left point. */
vantrel_status vantrel_snapshot_of_rect(const vantrel_snapshot* snapshot, int32_t left, int32_t top,
                                        int32_t right, int32_t bottom, int32_t fallback,
                                        size_t* index);
/* The display of the window (an HWND) as it is now: its restored rectangle
 * while it is minimized. A window that is gone gets the fallback, NEAREST
 * giving the primary. */
vantrel_status vantrel_snapshot_of_window(const vantrel_snapshot* snapshot, void* window,
                                          int32_t fallback, size_t* index);
vantrel_status vantrel_snapshot_find_key(const vantrel_snapshot* snapshot, const char* key,
                                         size_t* index);

/* ---- Every fact as JSON ------------------------------------------------- */

/* The snapshot as `vantrel-list --json` prints it (schema "vantrel-list",
 * version 1), UTF-8 with a terminating NUL. *size receives the bytes it
 * needs, the NUL included. Ask with buffer NULL and capacity 0 (VANTREL_OK),
 * or give a buffer: when it is too small, nothing is written to it and the
 * status is VANTREL_ERROR_BUFFER_TOO_SMALL. */
vantrel_status vantrel_snapshot_json(const vantrel_snapshot* snapshot, char* buffer,
                                     size_t capacity, size_t* size);

/* ---- Windows ------------------------------------------------------------ */

/* Moves the window (an HWND) so that it is centred on the display's work
 * area, keeping its size. */
vantrel_status vantrel_centre_window(const vantrel_snapshot* snapshot, size_t index, void* window);

/* ---- A window's place, kept between runs -------------------------------- */

/* A window's place crosses as one line of text, to keep in a settings file
 * as it is: the display it was on (by key), its restored rectangle, that
 * display's work area and DPI, and whether it was maximized. ASCII,
 * versioned ("vantrel-placement 1 ..."), the same in any locale. Put back,
 * it lands on the same display when that is there, at that display's scale
 * now, and always where its title bar can be reached. A window that is gone
 * gives VANTREL_ERROR_SYSTEM, as centring one does. */

/* The window's place now, with a terminating NUL, into the buffer as
 * vantrel_snapshot_json writes (ask the size with NULL and 0). Each call
 * reads the window anew: should it move between asking and reading, the
 * second call may need more, and says so (VANTREL_ERROR_BUFFER_TOO_SMALL). */
vantrel_status vantrel_placement_save(void* window, char* buffer, size_t capacity, size_t* size);

/* Puts the window where the saved place fits the displays of now, in that
 * state, and shows it: call it before the window is first shown. Text that
 * vantrel_placement_save did not write, truncated or edited, is
 * VANTREL_ERROR_INVALID_ARGUMENT and leaves the window as it was. */
vantrel_status vantrel_placement_restore(void* window, const char* text);

/* Where a saved place goes on a snapshot's displays, the window untouched. */
typedef struct vantrel_placed {
  uint32_t size;       /* sizeof(vantrel_placed), set by the caller */
  int32_t maximized;   /* 1 or 0 */
  size_t display;      /* its index in the snapshot */
  vantrel_rect bounds; /* the restored rectangle, the one a maximized window un-maximizes to */
} vantrel_placed;

/* On a snapshot without displays: VANTREL_NOT_FOUND, display
 * VANTREL_NO_DISPLAY and the bounds as saved. */
vantrel_status vantrel_placement_fit(const vantrel_snapshot* snapshot, const char* text,
                                     vantrel_placed* placed);

/* Moves a window whose title bar no display shows wholly into the work area
 * of the display nearest it. *moved (where not null) is 1 when it moved it,
 * 0 when it was in view already. */
vantrel_status vantrel_window_ensure_visible(void* window, int32_t* moved);

/* ---- Watching for changes ----------------------------------------------- */

typedef struct vantrel_watcher vantrel_watcher;

/* Called on the watcher's own thread after the displays changed and the
 * layout has settled. change_json is the change as `vantrel-list --watch`
 * prints it (one line, "event": "change": added, removed, changed with the
 * facts before and after, and every display now), valid during the call.
 * The callback may take vantrel_watcher_snapshot(); it may not stop or free
 * its own watcher (VANTREL_ERROR_IN_CALLBACK). */
typedef void (*vantrel_watch_callback)(vantrel_watcher* watcher, const char* change_json,
                                       void* context);

/* Each 0, as options null: the default named. */
typedef struct vantrel_watcher_options {
  uint32_t size;               /* sizeof(vantrel_watcher_options) */
  uint32_t quiet_ms;           /* how long messages must stop before reading: 100 */
  uint32_t settle_interval_ms; /* between reads while two disagree: 50 */
  uint32_t max_reads;          /* reads before the last is taken as it is: 20 */
  uint32_t modes;              /* nonzero: the snapshots have the mode list, read once for
                                  each layout found (see vantrel_snapshot_options); 0: none */
} vantrel_watcher_options;

/* Starts a thread that listens for changes; the first snapshot is taken
 * before it returns. Options null: the defaults. */
vantrel_status vantrel_watcher_start(const vantrel_watcher_options* options,
                                     vantrel_watch_callback callback, void* context,
                                     vantrel_watcher** watcher);
/* The displays as the last change (or the start) left them, as a snapshot of
 * the caller's own, to be freed. */
vantrel_status vantrel_watcher_snapshot(const vantrel_watcher* watcher,
                                        vantrel_snapshot** snapshot);
/* Ends the watcher's thread; no callback runs once it returns. A second call
 * does nothing. vantrel_watcher_snapshot still answers. */
vantrel_status vantrel_watcher_stop(vantrel_watcher* watcher);
/* Stops the watcher and frees it. Null does nothing. */
vantrel_status vantrel_watcher_free(vantrel_watcher* watcher);

#ifdef __cplusplus
}
#endif

#endif /* VANTREL_VANTREL_C_H */
