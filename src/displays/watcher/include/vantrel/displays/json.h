/// @file
/// The displays as JSON, schema "vantrel-list": what `vantrel-list --json`
/// and `--watch` print and what vantrel.dll hands its callers.
///
/// @code
/// const std::string text = vantrel::json::Document(vantrel::Displays::Take());
/// @endcode
///
/// Every document names its schema and version first. Texts are escaped, and
/// text that is not UTF-8 is repaired (each bad byte becomes U+FFFD), so the
/// output is always valid JSON whatever a driver reported. Scales and refresh
/// rates are the shortest numbers that read back as the same double, whatever
/// the locale.
#pragma once

#include <string>

#include "vantrel/displays/displays.h"
#include "vantrel/displays/watcher.h"

namespace vantrel::json {

/// The version of schema "vantrel-list" that these functions write. A change
/// that takes anything away or changes a meaning raises it; one that only
/// adds members does not.
inline constexpr int kSchemaVersion = 1;

/// One JSON document with every fact of every display: an object of
/// "schema", "version" and "displays", indented by two spaces, ending in a
/// newline. Pure: it reads only its argument, so any thread may call it.
std::string Document(const Displays& displays);

/// The displays as one line of JSON, ending in its only newline: an object of
/// "schema", "version", "event": "displays" and "displays". The first line of
/// a watch. Pure; any thread.
std::string SnapshotLine(const Displays& displays);

/// A change as one line of JSON, ending in its only newline: an object of
/// "schema", "version", "event": "change", then "added", "removed",
/// "changed" (each with its key, the facts that changed, and the display
/// before and after) and "displays" (all of them as they are now). Pure; any
/// thread.
std::string ChangeLine(const DisplayChanges& changes);

}  // namespace vantrel::json
