/** @file
 * The displays of the desktop from C, or from any language that calls C:
 * vantrel.dll, linked through vantrel.lib (MSVC, clang) or libvantrel.dll.a
 * (MinGW), or loaded by name (LoadLibraryW and GetProcAddress, Python's
 * ctypes, C#'s P/Invoke).
 *
 * @code
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
 * @endcode
 *
 * Plain C99; needs no windows.h. Every function returns a status where it can
 * fail, catches whatever goes wrong inside (running out of memory included)
 * and checks its arguments: a null pointer, an index out of range, a buffer
 * too small and a handle this library never gave or has already freed each
 * give a status, never a crash. vantrel_last_error_message() then says what
 * went wrong on this thread.
 *
 * Threads: any thread may call any function, at the same time as others and
 * on the same handles; the one exception is the watcher's own thread, which
 * may not stop or free its watcher (vantrel_watcher_stop()).
 *
 * Options: a struct of options zeroed but for its size means what a null
 * pointer means, the defaults; each field's 0 is the default it names.
 *
 * Pixels are physical whatever the calling program's DPI awareness: each call
 * runs per-monitor aware where the system allows it (Windows 10 1607 on) and
 * gives the calling thread its own awareness back.
 *
 * The ABI is fixed (#VANTREL_ABI_VERSION): a later vantrel.dll only adds
 * functions and grows structs at their end. Each struct starts with its size,
 * which the caller sets (sizeof), so that either side knows how much of it the
 * other has. The version the program is compiled with is in
 * vantrel/vantrel_version.h, included here. */
#ifndef VANTREL_VANTREL_C_H
#define VANTREL_VANTREL_C_H

#include <stddef.h>
#include <stdint.h>

#include "vantrel/vantrel_version.h"

#ifdef __cplusplus
extern "C" {
#endif

/** The ABI these declarations describe; vantrel_abi_version() gives the
 * DLL's. */
#define VANTREL_ABI_VERSION 1

/** What a function returns: 0 done, 1 nothing found (a lookup or a fit),
 * negative an error, explained by vantrel_last_error_message(). Besides the
 * errors each function names, any may return #VANTREL_ERROR_OUT_OF_MEMORY or
 * #VANTREL_ERROR_INTERNAL. */
typedef int32_t vantrel_status;
/** Done. */
#define VANTREL_OK 0
/** Done, and nothing found: no display for a lookup or a fit. */
#define VANTREL_NOT_FOUND 1
/** A pointer the function needs is null. */
#define VANTREL_ERROR_NULL_ARGUMENT (-1)
/** A handle never given, already freed, or of another kind (a watcher as a
 * snapshot). */
#define VANTREL_ERROR_BAD_HANDLE (-2)
/** An index past the count. */
#define VANTREL_ERROR_OUT_OF_RANGE (-3)
/** A buffer too small; the size needed is written back. */
#define VANTREL_ERROR_BUFFER_TOO_SMALL (-4)
/** A struct's size is below this ABI's. */
#define VANTREL_ERROR_BAD_SIZE (-5)
/** A value none of those named here, or text this library did not write. */
#define VANTREL_ERROR_INVALID_ARGUMENT (-6)
/** A watcher cannot be stopped or freed on its own thread. */
#define VANTREL_ERROR_IN_CALLBACK (-7)
/** Memory ran out. */
#define VANTREL_ERROR_OUT_OF_MEMORY (-8)
/** A system call failed; the message has its error code. */
#define VANTREL_ERROR_SYSTEM (-9)
/** A fault of this library's. */
#define VANTREL_ERROR_INTERNAL (-10)
/** A change of the displays refused before anything changed: by its plan (a
 * display not connected, a mode not offered, ...) or by the system's test of
 * it. Since 2.0.0; before, a refused plan gave #VANTREL_ERROR_INVALID_ARGUMENT. */
#define VANTREL_ERROR_REFUSED (-11)
/** A change of the displays that the system carried out otherwise than asked,
 * or failed to: the layout from before is back. Since 2.0.0. */
#define VANTREL_ERROR_ROLLED_BACK (-12)
/** A change of the displays that could not be undone: the layout in force is
 * neither the one asked for nor the one from before; the message says what
 * differs (vantrel_layout_revert() tries again). Since 2.0.0. */
#define VANTREL_ERROR_NOT_BACK (-13)

/**
 * The version of the vantrel.dll the program runs with.
 *
 * The program was compiled with VANTREL_VERSION_MAJOR * 10000 +
 * VANTREL_VERSION_MINOR * 100 + VANTREL_VERSION_PATCH.
 *
 * @return major * 10000 + minor * 100 + patch: 20100 is 2.1.0. It is the
 * whole library's version, whose major version moves with its C++ interface
 * too; whether this DLL serves the program is vantrel_abi_version()'s to say.
 *
 * @par Thread safety
 * Any thread may call it. It cannot fail and leaves the error message alone.
 */
uint32_t vantrel_version(void);

/**
 * The ABI the vantrel.dll the program runs with offers.
 *
 * @return Its #VANTREL_ABI_VERSION: a program built with another must not use
 * the DLL.
 *
 * @par Thread safety
 * Any thread may call it. It cannot fail and leaves the error message alone.
 */
uint32_t vantrel_abi_version(void);

/**
 * What went wrong in this thread's last call that returned a status: the
 * function, the step, and where a system call failed its error code. Empty
 * after a call that returned #VANTREL_OK or #VANTREL_NOT_FOUND.
 *
 * @return The message, UTF-8 with a terminating NUL; never null.
 *
 * @par Thread safety
 * Any thread may call it; each thread has its own message, which calls on
 * other threads leave alone.
 *
 * @par Lifetime
 * Owned by the library, valid until this thread's next call.
 */
const char* vantrel_last_error_message(void);

/* ---- Snapshots ---------------------------------------------------------- */

/** Every fact about every display, read at one moment: a handle that
 * vantrel_snapshot_take() and vantrel_watcher_snapshot() give and
 * vantrel_snapshot_free() frees. It never changes, and any thread may use it;
 * texts in it are UTF-8, owned by the snapshot, valid until it is freed. */
typedef struct vantrel_snapshot vantrel_snapshot;

/** How vantrel_snapshot_take() reads. Zeroed but for its size, as null: every
 * fact, modes included. */
typedef struct vantrel_snapshot_options {
  uint32_t size; /**< sizeof(vantrel_snapshot_options), set by the caller */
  /** Nonzero: without the mode list, by far the dearest fact (some 55 ms of a
   * snapshot under Wine on three displays); mode_count is then 0 and every
   * other fact is read all the same. 0: every mode each display offers. */
  uint32_t without_modes;
} vantrel_snapshot_options;

/**
 * Reads every fact about every display now, as a snapshot of the caller's.
 *
 * @param options How to read, or null for every fact, modes included (as
 *   options zeroed but for their size).
 * @param snapshot Receives the snapshot's handle; null when the call fails.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` is null.
 * @retval VANTREL_ERROR_BAD_SIZE `options->size` is below
 *   sizeof(vantrel_snapshot_options).
 *
 * @par Thread safety
 * Any thread may call it.
 *
 * @par Lifetime
 * The snapshot is the caller's until vantrel_snapshot_free(); it keeps its
 * facts when the displays change.
 */
vantrel_status vantrel_snapshot_take(const vantrel_snapshot_options* options,
                                     vantrel_snapshot** snapshot);

/**
 * Frees a snapshot.
 *
 * @param snapshot The snapshot, or null, which does nothing.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed
 *   already.
 *
 * @par Thread safety
 * Any thread may call it. A call using the snapshot on another thread
 * meanwhile keeps it until that call returns.
 *
 * @par Lifetime
 * The handle and every text read from the snapshot (a display's device_name,
 * name and key, a clone's name and key) are invalid once it returns.
 */
vantrel_status vantrel_snapshot_free(vantrel_snapshot* snapshot);

/**
 * How many displays a snapshot holds (0 where the desktop has none).
 *
 * @param snapshot The snapshot.
 * @param count Receives the number of displays.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `count` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_snapshot_count(const vantrel_snapshot* snapshot, size_t* count);

/** A rectangle in pixels of the virtual screen; right and bottom are
 * outside. */
typedef struct vantrel_rect {
  int32_t left;   /**< the first column in it */
  int32_t top;    /**< the first row in it */
  int32_t right;  /**< the first column right of it */
  int32_t bottom; /**< the first row below it */
} vantrel_rect;

/** The system does not say how the display is connected. */
#define VANTREL_CONNECTION_UNKNOWN 0
/** Built in: a laptop's panel (LVDS, embedded DisplayPort). */
#define VANTREL_CONNECTION_INTERNAL 1
/** HDMI. */
#define VANTREL_CONNECTION_HDMI 2
/** DisplayPort, USB tunnelled included. */
#define VANTREL_CONNECTION_DISPLAYPORT 3
/** DVI. */
#define VANTREL_CONNECTION_DVI 4
/** VGA (HD15). */
#define VANTREL_CONNECTION_VGA 5
/** Any other connection the system names. */
#define VANTREL_CONNECTION_OTHER 6

/** One display of a snapshot, as vantrel_snapshot_display() fills it. */
typedef struct vantrel_display {
  uint32_t size; /**< sizeof(vantrel_display), set by the caller */
  /** The number ending the adapter's name (2 for "\\.\DISPLAY2"), else 0. */
  int32_t number;
  void* monitor;           /**< the HMONITOR, valid while the layout lasts */
  const char* device_name; /**< the adapter's, as "\\.\DISPLAY2" */
  /** The monitor's friendly name, unique in the snapshot ("Name (2)" for the
   * second of two alike). */
  const char* name;
  /** The monitor's device path: the same monitor has the same key in other
   * snapshots and processes. Never empty. */
  const char* key;
  size_t mode_count;      /**< 0 when the snapshot was taken without modes */
  int32_t primary;        /**< 1 or 0 */
  vantrel_rect bounds;    /**< the display on the virtual screen */
  vantrel_rect work_area; /**< the bounds without the task bars */
  uint32_t dpi;           /**< effective DPI */
  double scale;           /**< dpi / 96 */
  int32_t
      physical_width_mm; /**< in millimetres; it and the height 0 where the system does not say */
  int32_t physical_height_mm; /**< in millimetres */
  int32_t orientation;        /**< degrees clockwise: 0, 90, 180 or 270 */
  int32_t bits_per_pixel;     /**< colour depth; 0 where the system does not say */
  /** The refresh rate's numerator: exact where the system gives it (59.94 Hz
   * is 60000 / 1001), else whole hertz over 1; 0 / 1 where nothing says. */
  uint32_t refresh_numerator;
  uint32_t refresh_denominator;   /**< the refresh rate's denominator */
  double refresh_hertz;           /**< the refresh rate as a number: numerator / denominator */
  int32_t connection;             /**< VANTREL_CONNECTION_... */
  int32_t current_width;          /**< the mode in use: its width */
  int32_t current_height;         /**< the mode in use: its height */
  int32_t current_bits_per_pixel; /**< the mode in use: its bits per pixel */
  int32_t current_frequency;      /**< the mode in use: its whole hertz */
  /** How many other monitors show this display's picture (a clone group:
   * one source driving several monitors), each read with
   * vantrel_snapshot_clone(); 0 where the display shows its own. Added to
   * ABI 1 after current_frequency: written only as far as the caller's size
   * reaches (see vantrel_snapshot_display()). */
  size_t clone_count;
} vantrel_display;

/**
 * The facts of one display of a snapshot.
 *
 * @param snapshot The snapshot.
 * @param index The display's index, below vantrel_snapshot_count()'s count,
 *   in the system's order.
 * @param display Receives the facts, as far as its size (set by the caller)
 *   reaches; its size is kept. The DLL copies its whole vantrel_display
 *   over the first `size` bytes, at most sizeof(vantrel_display) of its
 *   own, and leaves every byte from there on untouched. A size from ABI
 *   1's first (152 on x64) up to this header's sizeof (160 on x64) so gets
 *   every member up to current_frequency and, of clone_count, only the
 *   bytes below `size`: a size between the two (153 to 159) holds part of
 *   clone_count, its other bytes as the caller left them, so give the first
 *   size or the whole one. A size past the DLL's sizeof (a program built
 *   against a later header) gets the members this DLL knows, the rest left
 *   as the caller set them.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `display` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_BAD_SIZE `display->size` is below that of ABI 1's
 *   first vantrel_display, which ended at current_frequency (152 bytes on
 *   x64); nothing is written.
 * @retval VANTREL_ERROR_OUT_OF_RANGE `index` is not below the count.
 *
 * @par Thread safety
 * Any thread may call it.
 *
 * @par Lifetime
 * The texts (device_name, name, key) are the snapshot's, valid until it is
 * freed.
 */
vantrel_status vantrel_snapshot_display(const vantrel_snapshot* snapshot, size_t index,
                                        vantrel_display* display);

/** A monitor showing a display's picture beside the display's own, as
 * vantrel_snapshot_clone() fills it. */
typedef struct vantrel_clone {
  uint32_t size; /**< sizeof(vantrel_clone), set by the caller */
  /** Its friendly name, else the device name of the display it mirrors;
   * unique in the snapshot, displays' names included. */
  const char* name;
  /** Its device path, the key it has when it shows a picture of its own;
   * empty where the system gives none. */
  const char* key;
} vantrel_clone;

/**
 * One of the other monitors showing a display's picture, in the order of
 * their keys.
 *
 * @param snapshot The snapshot.
 * @param display_index The display's index in the snapshot.
 * @param clone_index The clone's index, below the display's clone_count.
 * @param clone Receives the clone, as far as its size reaches; its size is
 *   kept.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `clone` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_BAD_SIZE `clone->size` is below sizeof(vantrel_clone).
 * @retval VANTREL_ERROR_OUT_OF_RANGE `display_index` is not below the count,
 *   or `clone_index` not below the display's clone_count.
 *
 * @par Thread safety
 * Any thread may call it.
 *
 * @par Lifetime
 * The texts (name, key) are the snapshot's, valid until it is freed.
 */
vantrel_status vantrel_snapshot_clone(const vantrel_snapshot* snapshot, size_t display_index,
                                      size_t clone_index, vantrel_clone* clone);

/** One mode a display offers, as vantrel_snapshot_mode() fills it. */
typedef struct vantrel_mode {
  uint32_t size;          /**< sizeof(vantrel_mode), set by the caller */
  int32_t width;          /**< pixels across */
  int32_t height;         /**< pixels down */
  int32_t bits_per_pixel; /**< colour depth */
  int32_t frequency;      /**< whole hertz */
} vantrel_mode;

/**
 * One mode a display offers, of those in ascending order (width, height,
 * bits, frequency), without repeats.
 *
 * @param snapshot The snapshot, taken with modes.
 * @param display_index The display's index in the snapshot.
 * @param mode_index The mode's index, below the display's mode_count (which
 *   is 0 in a snapshot taken without modes).
 * @param mode Receives the mode, as far as its size reaches; its size is kept.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `mode` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_BAD_SIZE `mode->size` is below sizeof(vantrel_mode).
 * @retval VANTREL_ERROR_OUT_OF_RANGE `display_index` is not below the count,
 *   or `mode_index` not below the display's mode_count.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_snapshot_mode(const vantrel_snapshot* snapshot, size_t display_index,
                                     size_t mode_index, vantrel_mode* mode);

/**
 * The mode a display offers that comes closest to a wanted one, by the rules
 * of the C++ vantrel::ClosestMode (vantrel/displays/modes.h), in order:
 * 1. never smaller where a mode at least the wanted width and height exists;
 *    where none is, those covering most of it;
 * 2. of those, the nearest size (not 3840 x 2160 for 1920 x 1080);
 * 3. the closest aspect ratio;
 * 4. the nearest refresh, of two as near the higher;
 * 5. the nearest bits per pixel, of two as near the more;
 * 6. the first in the display's mode list, the mode in use after it.
 *
 * The offered modes are the display's mode list and its mode in use, so a
 * snapshot taken without modes answers with the mode in use. A mode whose
 * width or height is 0 or below is never chosen.
 *
 * @param snapshot The snapshot.
 * @param display_index The display's index in the snapshot.
 * @param wanted The mode wanted, read as far as its size reaches; null means
 *   what a mode zeroed but for its size does. Each field 0 or below: width and
 *   height, the mode in use's (any where that is unknown); frequency, the
 *   mode in use's (the highest where that is unknown); bits_per_pixel, any,
 *   the more the better. So null gives the size and refresh in use, at the
 *   most bits the display offers there.
 * @param mode Receives the mode chosen, as far as its size reaches; its size
 *   is kept. Zeroed but for its size when none is found.
 *
 * @return #VANTREL_OK; #VANTREL_NOT_FOUND when the display offers no mode of
 *   any size; or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `mode` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_BAD_SIZE `mode->size`, or `wanted->size`, is below
 *   sizeof(vantrel_mode); nothing is written.
 * @retval VANTREL_ERROR_OUT_OF_RANGE `display_index` is not below the count.
 *
 * @par Thread safety
 * Any thread may call it. It reads the snapshot alone and asks nothing of the
 * system.
 *
 * @par Lifetime
 * The mode is a copy, the caller's; the snapshot may be freed after.
 */
vantrel_status vantrel_snapshot_closest_mode(const vantrel_snapshot* snapshot, size_t display_index,
                                             const vantrel_mode* wanted, vantrel_mode* mode);

/* ---- Lookups: each gives a display's index in the snapshot -------------- */

/** No display: the lookup gives #VANTREL_NOT_FOUND. */
#define VANTREL_FALLBACK_NONE 0
/** The nearest display, by distance between edges. */
#define VANTREL_FALLBACK_NEAREST 1
/** The primary display. */
#define VANTREL_FALLBACK_PRIMARY 2

/** The index a lookup writes when it finds nothing. */
#define VANTREL_NO_DISPLAY SIZE_MAX

/**
 * The primary display of a snapshot.
 *
 * @param snapshot The snapshot.
 * @param index Receives the primary display's index, or #VANTREL_NO_DISPLAY.
 *
 * @return #VANTREL_OK; #VANTREL_NOT_FOUND when no display is primary (a
 *   snapshot without displays); or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `index` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_snapshot_primary(const vantrel_snapshot* snapshot, size_t* index);

/**
 * The display holding a point, else the fallback's.
 *
 * @param snapshot The snapshot.
 * @param x The point's column, in pixels of the virtual screen.
 * @param y The point's row.
 * @param fallback What to answer when no display holds the point: a
 *   VANTREL_FALLBACK_... value.
 * @param index Receives the display's index, or #VANTREL_NO_DISPLAY.
 *
 * @return #VANTREL_OK; #VANTREL_NOT_FOUND when neither a display nor the
 *   fallback gives one; or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `index` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_INVALID_ARGUMENT `fallback` is no VANTREL_FALLBACK_...
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_snapshot_at_point(const vantrel_snapshot* snapshot, int32_t x, int32_t y,
                                         int32_t fallback, size_t* index);

/**
 * The display sharing the largest area with a rectangle (the first listed of
 * a tie), else the fallback's. An empty rectangle counts as its top-left
 * point.
 *
 * @param snapshot The snapshot.
 * @param left The rectangle's first column, in pixels of the virtual screen.
 * @param top Its first row.
 * @param right The first column right of it.
 * @param bottom The first row below it.
 * @param fallback What to answer when no display shares any of it: a
 *   VANTREL_FALLBACK_... value.
 * @param index Receives the display's index, or #VANTREL_NO_DISPLAY.
 *
 * @return #VANTREL_OK; #VANTREL_NOT_FOUND when neither a display nor the
 *   fallback gives one; or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `index` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_INVALID_ARGUMENT `fallback` is no VANTREL_FALLBACK_...
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_snapshot_of_rect(const vantrel_snapshot* snapshot, int32_t left, int32_t top,
                                        int32_t right, int32_t bottom, int32_t fallback,
                                        size_t* index);

/**
 * The display of a window as it is now, by its rectangle as
 * vantrel_snapshot_of_rect() finds it: its restored rectangle while it is
 * minimized. A window that is gone gets the fallback, NEAREST giving the
 * primary.
 *
 * @param snapshot The snapshot.
 * @param window The window, an HWND.
 * @param fallback What to answer when no display shares any of the window: a
 *   VANTREL_FALLBACK_... value.
 * @param index Receives the display's index, or #VANTREL_NO_DISPLAY.
 *
 * @return #VANTREL_OK; #VANTREL_NOT_FOUND when neither a display nor the
 *   fallback gives one; or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot`, `window` or `index` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_INVALID_ARGUMENT `fallback` is no VANTREL_FALLBACK_...
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_snapshot_of_window(const vantrel_snapshot* snapshot, void* window,
                                          int32_t fallback, size_t* index);

/**
 * The display of a monitor's key (vantrel_display::key), from this or any
 * other snapshot or process.
 *
 * @param snapshot The snapshot.
 * @param key The key, UTF-8, compared byte for byte.
 * @param index Receives the display's index, or #VANTREL_NO_DISPLAY.
 *
 * @return #VANTREL_OK; #VANTREL_NOT_FOUND when no display of the snapshot has
 *   the key; or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot`, `key` or `index` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_snapshot_find_key(const vantrel_snapshot* snapshot, const char* key,
                                         size_t* index);

/* ---- Every fact as JSON ------------------------------------------------- */

/**
 * The snapshot as `vantrel-list --json` prints it (schema "vantrel-list",
 * version 1), UTF-8 with a terminating NUL. Ask its size with buffer null and
 * capacity 0, then give a buffer of that size.
 *
 * @param snapshot The snapshot.
 * @param buffer Receives the JSON, or null to ask its size only.
 * @param capacity The bytes the buffer holds; 0 when it is null.
 * @param size Receives the bytes the JSON needs, the NUL included (also when
 *   the buffer is too small).
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `size` is null, or
 *   `buffer` is null with a capacity.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_BUFFER_TOO_SMALL `capacity` is below `*size`; nothing
 *   is written to the buffer.
 *
 * @par Thread safety
 * Any thread may call it; the same snapshot always gives the same JSON.
 */
vantrel_status vantrel_snapshot_json(const vantrel_snapshot* snapshot, char* buffer,
                                     size_t capacity, size_t* size);

/* ---- Windows ------------------------------------------------------------ */

/**
 * Moves a window so that it is centred on a display's work area, keeping its
 * size.
 *
 * @param snapshot The snapshot the display is in.
 * @param index The display's index in the snapshot.
 * @param window The window, an HWND.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `window` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_OUT_OF_RANGE `index` is not below the count.
 * @retval VANTREL_ERROR_INVALID_ARGUMENT centred, the window would lie
 *   outside 32-bit coordinates.
 * @retval VANTREL_ERROR_SYSTEM the window is gone (is no window), or the
 *   system did not move it.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_centre_window(const vantrel_snapshot* snapshot, size_t index, void* window);

/* ---- A window's place, kept between runs -------------------------------- */

/**
 * A window's place now, as one line of text (see vantrel_placement_restore()),
 * into the buffer as vantrel_snapshot_json() writes it: ask the size with
 * buffer null and capacity 0. Each call reads the window anew: should it move
 * between asking and reading, the second call may need more, and says so.
 *
 * @param window The window, an HWND.
 * @param buffer Receives the line, ASCII with a terminating NUL, or null to
 *   ask its size only.
 * @param capacity The bytes the buffer holds; 0 when it is null.
 * @param size Receives the bytes the line needs, the NUL included.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `window` or `size` is null, or `buffer`
 *   is null with a capacity.
 * @retval VANTREL_ERROR_BUFFER_TOO_SMALL `capacity` is below `*size`; nothing
 *   is written to the buffer.
 * @retval VANTREL_ERROR_SYSTEM the window is gone (is no window), or the
 *   system did not say where it is.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_placement_save(void* window, char* buffer, size_t capacity, size_t* size);

/**
 * Puts a window where its saved place fits the displays of now, in that
 * state (maximized or not), and shows it: call it before the window is first
 * shown.
 *
 * The place crosses as one line of text, to keep in a settings file as it
 * is: the display the window was on (by key), its restored rectangle, that
 * display's work area and DPI, and whether it was maximized. ASCII,
 * versioned ("vantrel-placement 1 ..."), the same in any locale. Put back, it
 * lands on the same display when that is there, at that display's scale now,
 * and always where its title bar can be reached.
 *
 * @param window The window, an HWND.
 * @param text A line vantrel_placement_save() wrote.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `window` or `text` is null.
 * @retval VANTREL_ERROR_INVALID_ARGUMENT the text is not one
 *   vantrel_placement_save() wrote (truncated, edited, another's); the window
 *   is left as it was.
 * @retval VANTREL_ERROR_SYSTEM the window is gone (is no window), or the
 *   system did not place it.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_placement_restore(void* window, const char* text);

/** Where a saved place goes on a snapshot's displays, as
 * vantrel_placement_fit() fills it. */
typedef struct vantrel_placed {
  uint32_t size;       /**< sizeof(vantrel_placed), set by the caller */
  int32_t maximized;   /**< 1 or 0 */
  size_t display;      /**< its index in the snapshot, or #VANTREL_NO_DISPLAY */
  vantrel_rect bounds; /**< the restored rectangle, the one a maximized window un-maximizes to */
} vantrel_placed;

/**
 * Where a saved place would go on a snapshot's displays, as
 * vantrel_placement_restore() would put it, the window untouched.
 *
 * @param snapshot The displays to fit it to.
 * @param text A line vantrel_placement_save() wrote.
 * @param placed Receives where it goes, as far as its size reaches; its size
 *   is kept.
 *
 * @return #VANTREL_OK; #VANTREL_NOT_FOUND on a snapshot without displays, with
 *   display #VANTREL_NO_DISPLAY and the bounds as saved; or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot`, `placed` or `text` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_BAD_SIZE `placed->size` is below sizeof(vantrel_placed).
 * @retval VANTREL_ERROR_INVALID_ARGUMENT the text is not one
 *   vantrel_placement_save() wrote.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_placement_fit(const vantrel_snapshot* snapshot, const char* text,
                                     vantrel_placed* placed);

/**
 * Moves a window whose title bar no display shows wholly into the work area
 * of the display nearest it.
 *
 * @param window The window, an HWND.
 * @param moved Where not null, receives 1 when the window moved, 0 when it was
 *   in view already, or gone.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `window` is null.
 * @retval VANTREL_ERROR_SYSTEM the window is gone (is no window), or the
 *   system did not move it.
 *
 * @par Thread safety
 * Any thread may call it.
 */
vantrel_status vantrel_window_ensure_visible(void* window, int32_t* moved);

/* ---- Watching for changes ----------------------------------------------- */

/** A thread that listens for changes of the displays: a handle that
 * vantrel_watcher_start() gives and vantrel_watcher_free() frees. */
typedef struct vantrel_watcher vantrel_watcher;

/**
 * What a watcher calls after the displays changed and the layout has
 * settled, on the watcher's own thread. It may take
 * vantrel_watcher_snapshot(); it may not stop or free its own watcher
 * (#VANTREL_ERROR_IN_CALLBACK). While it runs, no other change is
 * delivered.
 *
 * @param watcher The watcher calling.
 * @param change_json The change as `vantrel-list --watch` prints it (one
 *   line, "event": "change": added, removed, changed with the facts before and
 *   after, and every display now), UTF-8; valid during the call only.
 * @param context The context given to vantrel_watcher_start().
 */
typedef void (*vantrel_watch_callback)(vantrel_watcher* watcher, const char* change_json,
                                       void* context);

/** How a watcher waits and reads. Each 0, as null: the default named. */
typedef struct vantrel_watcher_options {
  uint32_t size;               /**< sizeof(vantrel_watcher_options), set by the caller */
  uint32_t quiet_ms;           /**< how long messages must stop before reading: 100 */
  uint32_t settle_interval_ms; /**< between reads while two disagree: 50 */
  uint32_t max_reads;          /**< reads before the last is taken as it is: 20 */
  /** Nonzero: the snapshots have the mode list, read once for each layout
   * found (see vantrel_snapshot_options); 0: none. */
  uint32_t modes;
} vantrel_watcher_options;

/**
 * Starts a thread that listens for changes of the displays and calls
 * `callback` after each; the first snapshot is taken before it returns.
 *
 * @param options How to wait and read, or null for the defaults (as options
 *   zeroed but for their size).
 * @param callback Called on the watcher's thread after each change.
 * @param context Given to the callback as it is.
 * @param watcher Receives the watcher's handle; null when the watcher cannot
 *   be started.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `callback` or `watcher` is null.
 * @retval VANTREL_ERROR_BAD_SIZE `options->size` is below
 *   sizeof(vantrel_watcher_options).
 * @retval VANTREL_ERROR_SYSTEM the watcher's window or thread could not be
 *   made.
 *
 * @par Thread safety
 * Any thread may call it; the callback runs on the watcher's own thread.
 *
 * @par Lifetime
 * The watcher runs until vantrel_watcher_stop() or vantrel_watcher_free();
 * free it before the DLL is unloaded.
 */
vantrel_status vantrel_watcher_start(const vantrel_watcher_options* options,
                                     vantrel_watch_callback callback, void* context,
                                     vantrel_watcher** watcher);

/**
 * The displays as the last change (or the start) left them, as a snapshot of
 * the caller's own. It still answers after vantrel_watcher_stop().
 *
 * @param watcher The watcher.
 * @param snapshot Receives the snapshot's handle.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `watcher` or `snapshot` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `watcher` was never given or is freed.
 *
 * @par Thread safety
 * Any thread may call it, the watcher's callback included.
 *
 * @par Lifetime
 * The snapshot is the caller's, to free with vantrel_snapshot_free(); it
 * outlives the watcher.
 */
vantrel_status vantrel_watcher_snapshot(const vantrel_watcher* watcher,
                                        vantrel_snapshot** snapshot);

/**
 * Ends a watcher's thread, waiting for a callback that is running to return;
 * no callback runs once it returns. A second call does nothing.
 *
 * @param watcher The watcher.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `watcher` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `watcher` was never given or is freed.
 * @retval VANTREL_ERROR_IN_CALLBACK called on the watcher's own thread (from
 *   its callback).
 *
 * @par Thread safety
 * Any thread may call it but the watcher's own: its callback cannot end it.
 */
vantrel_status vantrel_watcher_stop(vantrel_watcher* watcher);

/**
 * Stops a watcher (as vantrel_watcher_stop()) and frees it.
 *
 * @param watcher The watcher, or null, which does nothing.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_BAD_HANDLE `watcher` was never given or is freed.
 * @retval VANTREL_ERROR_IN_CALLBACK called on the watcher's own thread (from
 *   its callback); the watcher is left running.
 *
 * @par Thread safety
 * Any thread may call it but the watcher's own. Of two frees at once, one
 * gives #VANTREL_ERROR_BAD_HANDLE.
 *
 * @par Lifetime
 * The handle is invalid once it returns; snapshots taken from the watcher
 * stay the caller's.
 */
vantrel_status vantrel_watcher_free(vantrel_watcher* watcher);

/* ---- A display's mode for a while -------------------------------------- */

/** One display's mode, set for a while: a handle that
 * vantrel_mode_change_set() gives and vantrel_mode_change_free() frees, which
 * puts back the settings it found. */
typedef struct vantrel_mode_change vantrel_mode_change;

/**
 * Sets a display's mode for the session, as a full-screen program does, and
 * gives a change that puts the settings found back: on
 * vantrel_mode_change_restore(), on vantrel_mode_change_free(), or at the
 * process's normal exit for a change never freed.
 *
 * It reads the display's settings in use from the system (its mode,
 * position and orientation), asks the system whether the display offers the
 * mode (CDS_TEST), then sets it with CDS_FULLSCREEN. It puts the settings
 * back by setting them explicitly and keeping them (CDS_UPDATEREGISTRY),
 * since under Wine 8 a CDS_FULLSCREEN mode outlives its process and becomes
 * the kept one too. A process that is killed cannot put anything back.
 *
 * @param snapshot The snapshot the display is in; the display is found by its
 *   device name, its settings read anew.
 * @param display_index The display's index in the snapshot.
 * @param mode The mode, read as far as its size reaches. Each field 0 or
 *   below keeps the display's: width 800, height 600, the rest 0 is 800 x 600
 *   at the bits and refresh in use. vantrel_snapshot_closest_mode() gives a
 *   mode the display offers.
 * @param change Receives the change's handle; null when the call fails.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot`, `mode` or `change` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_BAD_SIZE `mode->size` is below sizeof(vantrel_mode).
 * @retval VANTREL_ERROR_OUT_OF_RANGE `display_index` is not below the count.
 * @retval VANTREL_ERROR_REFUSED the display does not offer the mode; nothing
 *   changed, and the message names the display and the mode (before 2.0.0,
 *   #VANTREL_ERROR_INVALID_ARGUMENT).
 * @retval VANTREL_ERROR_SYSTEM the settings in use could not be read, or the
 *   system refused the mode; the message has ChangeDisplaySettingsEx's answer.
 *
 * Its test and its change run alone among the changes of the displays of
 * every process of the desktop (vantrel_layout_apply()'s lock).
 *
 * @par Thread safety
 * Any thread may call it. Two changes of one display are put back the newest
 * first at exit; restore them in that order too.
 *
 * @par Lifetime
 * The change is the caller's until vantrel_mode_change_free(); the snapshot
 * may be freed at once. In vantrel.dll, the changes never freed are put back
 * as the DLL is unloaded: by FreeLibrary, or at the process's normal exit.
 */
vantrel_status vantrel_mode_change_set(const vantrel_snapshot* snapshot, size_t display_index,
                                       const vantrel_mode* mode, vantrel_mode_change** change);

/**
 * Puts the settings a change found back now: the display's mode (width,
 * height, bits per pixel, refresh, orientation) and its position, kept by
 * the system afterwards. Once a change is put back, a second call does
 * nothing and returns #VANTREL_OK.
 *
 * @param change The change.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `change` is null.
 * @retval VANTREL_ERROR_BAD_HANDLE `change` was never given or is freed.
 * @retval VANTREL_ERROR_SYSTEM the system refused the settings; the message
 *   names the display, the mode and ChangeDisplaySettingsEx's answer. The
 *   change is still to be put back: call again, or leave it to
 *   vantrel_mode_change_free() or the process's exit.
 *
 * @par Thread safety
 * Any thread may call it; of two calls at once on one change, one puts it
 * back.
 *
 * @par Lifetime
 * The handle stays valid until vantrel_mode_change_free().
 */
vantrel_status vantrel_mode_change_restore(vantrel_mode_change* change);

/**
 * Puts a change back where it is not yet (as vantrel_mode_change_restore())
 * and frees it.
 *
 * @param change The change, or null, which does nothing.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_BAD_HANDLE `change` was never given or is freed.
 * @retval VANTREL_ERROR_SYSTEM the system refused the settings found; the
 *   handle is freed all the same, and the process's exit tries again.
 *
 * @par Thread safety
 * Any thread may call it. Of two frees at once, one gives
 * #VANTREL_ERROR_BAD_HANDLE.
 *
 * @par Lifetime
 * The handle is invalid once it returns.
 */
vantrel_status vantrel_mode_change_free(vantrel_mode_change* change);
/* ---- Layouts: what can be set, as JSON ------------------------------------ */

/* A layout crosses as its JSON text, schema "vantrel-layout" version 1 (see
 * vantrel/displays/layout.h): the text is the C value, with no handle to
 * free. An object of "schema", "version" and "displays", an array of one
 * object per adapter with a monitor: "key", "adapter", "attached", "primary",
 * "position" {"x", "y"}, "mode" {"width", "height", "bits_per_pixel",
 * "frequency"} and "orientation" (0, 90, 180 or 270). A wanted display is
 * found by its key, else by its adapter; those a layout leaves out stay as
 * they are, and a mode field at 0 keeps the display's own. */

/**
 * The layout in force: every adapter with a monitor, attached to the desktop
 * or not (a detached one with the position and mode the system keeps for
 * it), as JSON of schema "vantrel-layout", UTF-8 with a terminating NUL, into
 * the buffer as vantrel_snapshot_json() writes it: ask the size with buffer
 * null and capacity 0. Each call reads the system anew: should the layout
 * change between asking and reading, the second call may need more, and says
 * so.
 *
 * @param buffer Receives the JSON, or null to ask its size only.
 * @param capacity The bytes the buffer holds; 0 when it is null.
 * @param size Receives the bytes the JSON needs, the NUL included (also when
 *   the buffer is too small).
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `size` is null, or `buffer` is null with
 *   a capacity.
 * @retval VANTREL_ERROR_BUFFER_TOO_SMALL `capacity` is below `*size`; nothing
 *   is written to the buffer.
 *
 * @par Thread safety
 * Any thread may call it.
 *
 * @par Lifetime
 * The text is the caller's, in the caller's buffer; keep it to give back to
 * vantrel_layout_apply().
 */
vantrel_status vantrel_layout_json(char* buffer, size_t capacity, size_t* size);

/**
 * A snapshot's desktop as a layout, as vantrel_layout_json() writes one: a
 * display per display of the snapshot, each attached, with its key, adapter,
 * primacy, top-left corner, mode in use and orientation. A snapshot holds no
 * detached display, so the layout names none: applied later, it puts the
 * snapshot's displays back where and as they were and leaves any other as it
 * is then.
 *
 * @param snapshot The snapshot.
 * @param buffer Receives the JSON, or null to ask its size only.
 * @param capacity The bytes the buffer holds; 0 when it is null.
 * @param size Receives the bytes the JSON needs, the NUL included (also when
 *   the buffer is too small).
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `snapshot` or `size` is null, or
 *   `buffer` is null with a capacity.
 * @retval VANTREL_ERROR_BAD_HANDLE `snapshot` was never given or is freed.
 * @retval VANTREL_ERROR_BUFFER_TOO_SMALL `capacity` is below `*size`; nothing
 *   is written to the buffer.
 *
 * @par Thread safety
 * Any thread may call it; it reads the snapshot alone, and the same snapshot
 * always gives the same JSON.
 *
 * @par Lifetime
 * The text is the caller's, in the caller's buffer; the snapshot may be
 * freed after.
 */
vantrel_status vantrel_snapshot_layout_json(const vantrel_snapshot* snapshot, char* buffer,
                                            size_t capacity, size_t* size);

/**
 * What applying a layout would change, without changing anything: the plan
 * against the layout in force, as JSON, into the buffer as
 * vantrel_snapshot_json() writes it (ask the size with buffer null and
 * capacity 0). UTF-8 with a terminating NUL, indented by two spaces:
 *
 * @code
 * {
 *   "schema": "vantrel-layout-plan",
 *   "version": 1,
 *   "changes": [
 *     {
 *       "adapter": "\\\\.\\DISPLAY2",
 *       "key": "...",
 *       "description": "\\\\.\\DISPLAY2 (...): position 1920,0 -> 1280,0",
 *       "before": { "key": ..., "adapter": ..., "attached": ..., ... },
 *       "after": { ... }
 *     }
 *   ]
 * }
 * @endcode
 *
 * "changes" has one object per display that changes, in the order of the
 * layout in force, the new primary's first; empty when the layout is the one
 * in force. "adapter" and "key" name the display as the layout in force has
 * them; "description" is one line for a person: the display, then what
 * changes (`mode A -> B`, `orientation 0 -> 90`, `position 1920,0 -> 0,0`,
 * `becomes the primary`, `no longer the primary`, `detached`, `attached at
 * 3200,0, 1024x768`); "before" and "after" are the display as it is and as it
 * will be, objects of a layout's "displays", the mode's zero fields filled
 * in and every attached display shifted so that the primary is at 0, 0. A
 * later version may add members (its "version" raised).
 *
 * @param layout_json The wanted layout, a text of schema "vantrel-layout"
 *   version 1, UTF-8 with a terminating NUL.
 * @param buffer Receives the plan's JSON, or null to ask its size only.
 * @param capacity The bytes the buffer holds; 0 when it is null.
 * @param size Receives the bytes the JSON needs, the NUL included (also when
 *   the buffer is too small).
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `layout_json` or `size` is null, or
 *   `buffer` is null with a capacity.
 * @retval VANTREL_ERROR_INVALID_ARGUMENT the text is no layout (the message
 *   names its line and field: `line 7: displays[1].mode.width: expected an
 *   integer`).
 * @retval VANTREL_ERROR_REFUSED the plan is refused: a display not connected
 *   or named twice, a mode its display does not offer, no display attached,
 *   none or two primary (the message names the display, as
 *   `\\.\DISPLAY2 (key): 1234x567 32 bits 60 Hz is no mode it offers`).
 *   Before 2.0.0 this was #VANTREL_ERROR_INVALID_ARGUMENT.
 * @retval VANTREL_ERROR_BUFFER_TOO_SMALL `capacity` is below `*size`; nothing
 *   is written to the buffer.
 *
 * @par Thread safety
 * Any thread may call it. Each call reads the system anew: should the layout
 * change between asking and reading, the second call may need more, and says
 * so.
 *
 * @par Lifetime
 * The text is the caller's, in the caller's buffer.
 */
vantrel_status vantrel_layout_plan(const char* layout_json, char* buffer, size_t capacity,
                                   size_t* size);

/**
 * Sets a layout, every display with one reset (one flash, not one per
 * display), and makes sure it took. Plans it as vantrel_layout_plan() does;
 * where anything changes, saves the layout in force first, for
 * vantrel_layout_revert() and other processes: `layout-before.json` in the
 * folder `Vantrel` of the user's local application data (the environment
 * variable `LOCALAPPDATA`), or in the folder `VANTREL_STATE_DIR` names where
 * set. Then it tests each change, writes them all, puts them in force and
 * reads the layout back. Where the system refuses a
 * change, fails to put them in force or gives something else than was
 * asked, the layout from before is put back the same way. A layout that is
 * the one in force changes nothing.
 *
 * Under Wine, a change of the primary, and a layout with gaps between
 * displays, come back otherwise: they give #VANTREL_ERROR_ROLLED_BACK with
 * the layout from before back. A turned display is refused by Wine's test
 * (its X dummy driver turns none): #VANTREL_ERROR_REFUSED, nothing changed.
 *
 * @param layout_json The wanted layout, a text of schema "vantrel-layout"
 *   version 1, UTF-8 with a terminating NUL.
 *
 * @return #VANTREL_OK, the layout in force, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `layout_json` is null.
 * @retval VANTREL_ERROR_INVALID_ARGUMENT the text is no layout; nothing
 *   changed.
 * @retval VANTREL_ERROR_REFUSED its plan is refused (as vantrel_layout_plan()
 *   says), or the system's test refused a display's change; nothing changed.
 * @retval VANTREL_ERROR_SYSTEM the layout in force could not be saved, or the
 *   lock of the desktop's changes taken; nothing changed.
 * @retval VANTREL_ERROR_ROLLED_BACK the system failed to carry the change
 *   out or gave something else than was asked, and the layout from before is
 *   back. The message says what differed, display by display and field by
 *   field (`\\.\DISPLAY2 (key): mode asked 1280x1024 32 bits 60 Hz, got
 *   800x600 32 bits 60 Hz`).
 * @retval VANTREL_ERROR_NOT_BACK as #VANTREL_ERROR_ROLLED_BACK, but the way
 *   back differed too: the message says what differs from the layout from
 *   before.
 *
 * Before 2.0.0, a refused plan gave #VANTREL_ERROR_INVALID_ARGUMENT and the
 * last three #VANTREL_ERROR_SYSTEM.
 *
 * @par Thread safety
 * Any thread may call it. Every change of the displays (this one,
 * vantrel_layout_revert(), vantrel_mode_change_set() and _restore(), and the
 * C++ library's LayoutChanger) runs alone, in this process and among the
 * processes of the desktop (a named lock): another waits.
 *
 * @par Lifetime
 * The saved layout outlives the process; each change that changes anything
 * replaces it.
 */
vantrel_status vantrel_layout_apply(const char* layout_json);

/**
 * Puts back the layout saved by the last vantrel_layout_apply() that changed
 * anything (in this process or another), as vantrel_layout_apply() sets one,
 * with its checks and its way back. The saved layout is kept, so a revert
 * can be repeated.
 *
 * @return #VANTREL_OK, the saved layout in force, or an error:
 * @retval VANTREL_ERROR_INVALID_ARGUMENT the saved file is no layout (edited);
 *   nothing changed.
 * @retval VANTREL_ERROR_REFUSED its plan is refused now (a display of it no
 *   longer connected, a mode no longer offered); nothing changed.
 * @retval VANTREL_ERROR_SYSTEM no layout is saved (the message names the
 *   file), the file cannot be read, or the lock cannot be taken.
 * @retval VANTREL_ERROR_ROLLED_BACK, VANTREL_ERROR_NOT_BACK as for
 *   vantrel_layout_apply().
 *
 * @par Thread safety
 * Any thread may call it; it runs alone, as vantrel_layout_apply() does.
 *
 * @par Lifetime
 * The saved file is left in place.
 */
vantrel_status vantrel_layout_revert(void);

/* ---- The desktop's memory ---------------------------------------------- */

/**
 * Remembers where every window of every program is now, on the current set
 * of displays, in the desktop's memory, without waiting for the places to
 * hold: what a program calls when it knows the displays are about to go
 * (before undocking, before the monitors sleep, before a remote session
 * ends). The memory is the file vantrel-keep keeps, `desktop.json` in the
 * folder `Vantrel` of the user's local application data, or in the folder
 * `VANTREL_STATE_DIR` names where set: read, the current set's windows kept
 * in it (top-level, visible windows that are no tool window and no dialog,
 * of every program), and written back whole. Since 2.1.0.
 *
 * While `vantrel-keep run` runs, it holds the memory and writes it at each
 * change: it is asked to remember instead (through its hidden window, on
 * Windows), and keeps the places in what it saves.
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_INVALID_ARGUMENT the file is no memory (edited,
 *   cut short); the message names it and its line. Nothing is written;
 *   `vantrel-keep show` sets such a file aside.
 * @retval VANTREL_ERROR_SYSTEM the file cannot be read or written, or the
 *   lock that serialises two callers not taken; the message has the
 *   system's error code.
 *
 * @par Thread safety
 * Any thread may call it. Two calls at once, in this process or others of
 * the desktop, run one after the other (a named lock), so both land.
 *
 * @par Lifetime
 * The memory outlives the process.
 */
vantrel_status vantrel_desktop_remember(void);

/**
 * Puts the windows of the current set of displays back where the desktop's
 * memory (as vantrel_desktop_remember() reads it) has them: each window
 * still there and still its program's moved, sized, minimized or maximized
 * as it was, the Z-order as it was. A window gone, now another program's,
 * or refusing to move is skipped. The layout of the displays is left as it
 * is. Since 2.1.0.
 *
 * @param windows Receives how many windows were moved or shown otherwise,
 *   or null. 0 when the call fails.
 * @param skipped Receives how many remembered windows were skipped, or
 *   null. 0 when the call fails.
 *
 * @return #VANTREL_OK (also where the memory holds nothing of the current
 * set: both counts 0), or an error:
 * @retval VANTREL_ERROR_INVALID_ARGUMENT the file is no memory; nothing
 *   moved.
 * @retval VANTREL_ERROR_SYSTEM the file cannot be read.
 *
 * @par Thread safety
 * Any thread may call it. It moves other programs' windows: two calls at
 * once move them twice, to the same places.
 */
vantrel_status vantrel_desktop_restore(int32_t* windows, int32_t* skipped);

/**
 * The desktop's memory as JSON, schema "vantrel-desktop" version 1, as
 * `vantrel-keep show` prints it, into the buffer as vantrel_snapshot_json()
 * writes it: ask the size with buffer null and capacity 0. UTF-8 with a
 * terminating NUL. Where nothing is remembered yet, the empty memory. Since
 * 2.1.0.
 *
 * @param buffer Receives the JSON, or null to ask its size only.
 * @param capacity The bytes the buffer holds; 0 when it is null.
 * @param size Receives the bytes the JSON needs, the NUL included (also when
 *   the buffer is too small).
 *
 * @return #VANTREL_OK, or an error:
 * @retval VANTREL_ERROR_NULL_ARGUMENT `size` is null, or `buffer` is null
 *   with a capacity.
 * @retval VANTREL_ERROR_INVALID_ARGUMENT the file is no memory; the message
 *   names it and its line.
 * @retval VANTREL_ERROR_SYSTEM the file cannot be read.
 * @retval VANTREL_ERROR_BUFFER_TOO_SMALL `capacity` is below `*size`; nothing
 *   is written to the buffer.
 *
 * @par Thread safety
 * Any thread may call it. Each call reads the file anew: should a keeper
 * write it between asking and reading, the second call may need more, and
 * says so.
 *
 * @par Lifetime
 * The text is the caller's, in the caller's buffer.
 */
vantrel_status vantrel_desktop_json(char* buffer, size_t capacity, size_t* size);

#ifdef __cplusplus
}
#endif

#endif /* VANTREL_VANTREL_C_H */
