// The JSON writer of every document the display layer writes (schemas
// "vantrel-list" and "vantrel-layout"), so that each escapes and indents
// alike, and the UTF-8 check the layout's reader shares with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/displays/displays.h"

namespace vantrel {}

namespace vantrel::json {

// Builds JSON text: values in order, separated and indented as they come.
// Names and texts are escaped; text that is not UTF-8 is repaired (each bad
// byte becomes U+FFFD), so the document is always valid JSON.
class Writer {
 public:
  // Pretty: two spaces a level, one member or element a line.
  explicit Writer(bool pretty) : pretty_(pretty) {}

  Writer& Begin(char bracket);
  Writer& End(char bracket);
  Writer& Key(std::string_view name);
  Writer& Text(std::string_view text);
  Writer& Number(std::int64_t v);
  // The shortest text that reads back as the same double, whatever the locale.
  Writer& Real(double v);
  Writer& Bool(bool v);
  Writer& Null();
  std::string Take() { return std::move(out_); }

 private:
  void Value();
  void Separate();
  void NewLine();
  void String(std::string_view s);

  bool pretty_;
  bool after_key_ = false;
  std::vector<bool> first_;  // per open object or array: nothing in it yet
  std::string out_;
};

// The length of the well-formed UTF-8 sequence `s` starts with (1 for ASCII),
// or 0: an empty text, a stray or cut sequence, an overlong form, a surrogate
// or past U+10FFFF.
std::size_t Utf8Length(std::string_view s) noexcept;

// A mode as an object of "width", "height", "bits_per_pixel", "frequency".
void WriteMode(Writer& j, const DisplayMode& m);

}  // namespace vantrel::json
