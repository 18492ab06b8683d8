// What vantrel-list prints, apart from how it reaches the console: its
// options and the table for people. Its JSON for scripts is the library's
// (vantrel/displays/json.h). Built on the public library alone.
#pragma once

#include <vantrel/vantrel.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace listing {

enum class Mode { kTable, kJson, kWatch, kHelp };

// The options after the program's name; nullopt when one is unknown or two
// modes are asked for.
std::optional<Mode> ParseOptions(const std::vector<std::string_view>& args);

std::string Usage();

// One row per display: number, name, primary, bounds, work area, scale,
// refresh rate, orientation, key.
std::string Table(const vantrel::Displays& displays);

}  // namespace listing
