// What the console programs share: UTF-8 text to and from Windows' UTF-16,
// and writing to a standard handle whatever it is.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/base/utf16.h"
#include "vantrel/result.h"

namespace vantrel::console {

using vantrel::Utf16;
using vantrel::Utf8;

// Writes to a standard handle (STD_OUTPUT_HANDLE, STD_ERROR_HANDLE): UTF-16
// to a console, so that every name shows whatever its code page; the UTF-8
// bytes to a file or pipe. False when the output is gone, as when the reader
// of a pipe has closed it; nothing is raised and no dialog is shown.
bool Write(DWORD which, std::string_view text);

// The arguments after the program's name, in UTF-8.
std::vector<std::string> Arguments(int argc, wchar_t** argv);

// The arguments read by a tool's `parse`; where they are wrong,
// "PROGRAM: why" on stderr, and none.
template <typename Options>
std::optional<Options> ParsedArguments(
    int argc, wchar_t** argv, std::string_view program,
    Result<Options> (*parse)(const std::vector<std::string_view>&)) {
  const std::vector<std::string> texts = Arguments(argc, argv);
  Result<Options> options = parse(std::vector<std::string_view>(texts.begin(), texts.end()));
  if (options) return std::move(*options);
  Write(STD_ERROR_HANDLE, std::string(program) + ": " + options.error().message + "\n");
  return std::nullopt;
}

}  // namespace vantrel::console
