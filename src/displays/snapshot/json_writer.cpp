#include "vantrel/displays/json_writer.h"

#include <charconv>
#include <utility>

namespace vantrel::json {

Writer& Writer::Begin(char bracket) {
  Value();
  out_ += bracket;
  first_.push_back(true);
  return *this;
}

Writer& Writer::End(char bracket) {
  const bool empty = first_.back();
  first_.pop_back();
  if (!empty) NewLine();
  out_ += bracket;
  return *this;
}

Writer& Writer::Key(std::string_view name) {
  Separate();
  String(name);
  out_ += pretty_ ? ": " : ":";
  after_key_ = true;
  return *this;
}

Writer& Writer::Text(std::string_view text) {
  Value();
  String(text);
  return *this;
}

Writer& Writer::Number(std::int64_t v) {
  Value();
  out_ += std::to_string(v);
  return *this;
}

Writer& Writer::Real(double v) {
  Value();
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
  out_.append(buffer, end);
  return *this;
}

Writer& Writer::Bool(bool v) {
  Value();
  out_ += v ? "true" : "false";
  return *this;
}

Writer& Writer::Null() {
  Value();
  out_ += "null";
  return *this;
}

void Writer::Value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!first_.empty()) Separate();
}

void Writer::Separate() {
  if (!first_.back()) out_ += ',';
  first_.back() = false;
  NewLine();
}

void Writer::NewLine() {
  if (!pretty_) return;
  out_ += '\n';
  out_.append(2 * first_.size(), ' ');
}

void Writer::String(std::string_view s) {
  out_ += '"';
  for (std::size_t k = 0; k < s.size();) {
    const auto c = static_cast<unsigned char>(s[k]);
    if (c == '"' || c == '\\') {
      out_ += '\\';
      out_ += static_cast<char>(c);
    } else if (c < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      out_ += "\\u00";
      out_ += kHex[c >> 4];
      out_ += kHex[c & 15];
    } else if (c >= 0x80) {
      const std::size_t n = Utf8Length(s.substr(k));
      if (n == 0) {
        out_ += "\xef\xbf\xbd";  // U+FFFD
        ++k;
        continue;
      }
      out_.append(s.substr(k, n));
      k += n;
      continue;
    } else {
      out_ += static_cast<char>(c);
    }
    ++k;
  }
  out_ += '"';
}

std::size_t Utf8Length(std::string_view s) noexcept {
  if (s.empty()) return 0;
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = b(0);
  std::size_t n = 0;
  unsigned char low = 0x80, high = 0xbf;  // the range of the second byte
  if (lead < 0x80) {
    return 1;
  } else if (lead >= 0xc2 && lead <= 0xdf) {
    n = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    n = 3;
    if (lead == 0xe0) low = 0xa0;   // no overlong forms
    if (lead == 0xed) high = 0x9f;  // no surrogates
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    n = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (s.size() < n || b(1) < low || b(1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k) {
    if (b(k) < 0x80 || b(k) > 0xbf) return 0;
  }
  return n;
}

void WriteMode(Writer& j, const DisplayMode& m) {
  j.Begin('{');
  j.Key("width").Number(m.width).Key("height").Number(m.height);
  j.Key("bits_per_pixel").Number(m.bits_per_pixel).Key("frequency").Number(m.frequency);
  j.End('}');
}

}  // namespace vantrel::json
