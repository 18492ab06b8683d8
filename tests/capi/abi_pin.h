/* The ABI of vantrel_c.h on x64, pinned: every public struct's size and every
 * field's offset, and the values a caller passes and gets. Compiled into the
 * programs of both toolchains (MinGW's gcc and clang for MSVC), so a struct
 * that changes, or a compiler that lays one out otherwise, fails their build. */
#ifndef VANTREL_ABI_PIN_H
#define VANTREL_ABI_PIN_H

#include <stddef.h>

#include "vantrel/vantrel_c.h"

#define PIN(name, holds) typedef char pin_##name[(holds) ? 1 : -1]
#define AT(type, field, offset) (offsetof(vantrel_##type, field) == (offset))

/* without_modes was `modes` (nonzero: read them) until its meaning turned, so
 * that zeroed options mean what null does, before any program depended on
 * ABI 1: the one such change. Same offset, same size. */
PIN(options, sizeof(vantrel_snapshot_options) == 8 && AT(snapshot_options, size, 0) &&
                 AT(snapshot_options, without_modes, 4));
PIN(rect, sizeof(vantrel_rect) == 16 && AT(rect, left, 0) && AT(rect, top, 4) &&
              AT(rect, right, 8) && AT(rect, bottom, 12));
/* clone_count grew vantrel_display at its end; 152, its size before, is the
 * least a caller may give. */
PIN(display, sizeof(vantrel_display) == 160 && AT(display, size, 0) && AT(display, number, 4) &&
                 AT(display, monitor, 8) && AT(display, device_name, 16) && AT(display, name, 24) &&
                 AT(display, key, 32) && AT(display, mode_count, 40) && AT(display, primary, 48) &&
                 AT(display, bounds, 52) && AT(display, work_area, 68) && AT(display, dpi, 84) &&
                 AT(display, scale, 88) && AT(display, physical_width_mm, 96) &&
                 AT(display, physical_height_mm, 100) && AT(display, orientation, 104) &&
                 AT(display, bits_per_pixel, 108) && AT(display, refresh_numerator, 112) &&
                 AT(display, refresh_denominator, 116) && AT(display, refresh_hertz, 120) &&
                 AT(display, connection, 128) && AT(display, current_width, 132) &&
                 AT(display, current_height, 136) && AT(display, current_bits_per_pixel, 140) &&
                 AT(display, current_frequency, 144) && AT(display, clone_count, 152));
PIN(clone,
    sizeof(vantrel_clone) == 24 && AT(clone, size, 0) && AT(clone, name, 8) && AT(clone, key, 16));
PIN(mode, sizeof(vantrel_mode) == 20 && AT(mode, size, 0) && AT(mode, width, 4) &&
              AT(mode, height, 8) && AT(mode, bits_per_pixel, 12) && AT(mode, frequency, 16));
PIN(watcher_options, sizeof(vantrel_watcher_options) == 20 && AT(watcher_options, size, 0) &&
                         AT(watcher_options, quiet_ms, 4) &&
                         AT(watcher_options, settle_interval_ms, 8) &&
                         AT(watcher_options, max_reads, 12) && AT(watcher_options, modes, 16));
PIN(placed, sizeof(vantrel_placed) == 32 && AT(placed, size, 0) && AT(placed, maximized, 4) &&
                AT(placed, display, 8) && AT(placed, bounds, 16));
PIN(statuses, VANTREL_OK == 0 && VANTREL_NOT_FOUND == 1 && VANTREL_ERROR_NULL_ARGUMENT == -1 &&
                  VANTREL_ERROR_BAD_HANDLE == -2 && VANTREL_ERROR_OUT_OF_RANGE == -3 &&
                  VANTREL_ERROR_BUFFER_TOO_SMALL == -4 && VANTREL_ERROR_BAD_SIZE == -5 &&
                  VANTREL_ERROR_INVALID_ARGUMENT == -6 && VANTREL_ERROR_IN_CALLBACK == -7 &&
                  VANTREL_ERROR_OUT_OF_MEMORY == -8 && VANTREL_ERROR_SYSTEM == -9 &&
                  VANTREL_ERROR_INTERNAL == -10);
PIN(values, VANTREL_ABI_VERSION == 1 && VANTREL_FALLBACK_NONE == 0 &&
                VANTREL_FALLBACK_NEAREST == 1 && VANTREL_FALLBACK_PRIMARY == 2 &&
                VANTREL_NO_DISPLAY == (size_t)-1 && VANTREL_CONNECTION_UNKNOWN == 0 &&
                VANTREL_CONNECTION_INTERNAL == 1 && VANTREL_CONNECTION_HDMI == 2 &&
                VANTREL_CONNECTION_DISPLAYPORT == 3 && VANTREL_CONNECTION_DVI == 4 &&
                VANTREL_CONNECTION_VGA == 5 && VANTREL_CONNECTION_OTHER == 6);

#endif
