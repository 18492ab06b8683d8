// What vantrel-list prints, apart from how it reaches the console: its
// options, the table for people, and the JSON for scripts. Built on the
// public library alone.
#pragma once

#include <vantrel/vantrel.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace listing {

// The JSON documents say which schema they follow; a change that takes
// anything away or changes a meaning raises it.
inline constexpr int kSchemaVersion = 1;

enum class Mode { kTable, kJson, kWatch, kHelp };

// The options after the program's name; nullopt when one is unknown or two
// modes are asked for.
std::optional<Mode> ParseOptions(const std::vector<std::string_view>& args);

std::string Usage();

// One row per display: number, name, primary, bounds, work area, scale,
// refresh rate, orientation, key.
std::string Table(const vantrel::Displays& displays);

// One JSON document for a snapshot, two-space indented, ending in a newline.
std::string Json(const vantrel::Displays& displays);

// One line of JSON (ending in a newline) for --watch: the displays when it
// starts, then one per change.
std::string SnapshotLine(const vantrel::Displays& displays);
std::string ChangeLine(const vantrel::DisplayChanges& changes);

}  // namespace listing
