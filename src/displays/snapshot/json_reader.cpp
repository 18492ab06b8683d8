#include "vantrel/displays/json_reader.h"

#include <algorithm>
#include <vector>

#include "vantrel/displays/json_writer.h"

namespace vantrel::json {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(std::string& out, std::uint32_t u) {
  const auto byte = [&](std::uint32_t b) { out += static_cast<char>(b); };
  if (u < 0x80) {
    byte(u);
  } else if (u < 0x800) {
    byte(0xc0 | (u >> 6));
    byte(0x80 | (u & 0x3f));
  } else if (u < 0x10000) {
    byte(0xe0 | (u >> 12));
    byte(0x80 | ((u >> 6) & 0x3f));
    byte(0x80 | (u & 0x3f));
  } else {
    byte(0xf0 | (u >> 18));
    byte(0x80 | ((u >> 12) & 0x3f));
    byte(0x80 | ((u >> 6) & 0x3f));
    byte(0x80 | (u & 0x3f));
  }
}

}  // namespace

std::string Shown(std::string_view name) {
  const bool plain =
      name.size() <= 40 && !name.empty() && std::ranges::all_of(name, [](char c) {
        return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
      });
  if (plain) return std::string(name);
  std::size_t cut = std::min<std::size_t>(name.size(), 40);
  // Not inside a character: back to the start of the one cut.
  while (cut > 0 && cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xc0) == 0x80) {
    --cut;
  }
  json::Writer quoted(false);
  quoted.Text(name.substr(0, cut));
  std::string shown = quoted.Take();
  if (cut < name.size()) shown.insert(shown.size() - 1, "...");
  return shown;
}

Reader::Reader(std::string_view text) : text_(text) {
  if (text_.starts_with("\xef\xbb\xbf")) at_ = 3;  // a byte order mark, as Notepad writes
}

void Reader::Object(std::initializer_list<Field> fields) {
  if (!Take('{')) Expected("an object");
  std::vector<bool> seen(fields.size());
  if (!Take('}')) {
    do {
      SkipSpace();
      if (Peek() != '"') Expected("a field name in quotes");
      const std::string name = Text();
      const std::size_t outer = path_.size();
      path_ += path_.empty() ? "" : ".";
      path_ += Shown(name);
      const auto field =
          std::ranges::find(fields, std::string_view(name), [](const Field& f) { return f.name; });
      if (field == fields.end()) Fail("unknown field");
      const auto k = static_cast<std::size_t>(field - fields.begin());
      if (seen[k]) Fail("given twice");
      seen[k] = true;
      if (!Take(':')) Expected("':'");
      field->read();
      path_.resize(outer);
    } while (Take(','));
    if (!Take('}')) Expected("',' or '}'");
  }
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (seen[k]) continue;
    path_ += path_.empty() ? "" : ".";
    path_ += fields.begin()[k].name;
    Fail("missing");
  }
}

Reader::Field Reader::Schema(std::string_view name) {
  return {"schema", [this, name] {
            if (Text() != name) Fail("expected \"" + std::string(name) + "\"");
          }};
}

Reader::Field Reader::Version(std::int64_t version) {
  return {"version", [this, version] {
            if (Integer() != version) Fail("expected " + std::to_string(version));
          }};
}

std::string Reader::Text() {
  if (!Take('"')) Expected("a text");
  std::string out;
  for (;;) {
    if (AtEnd()) Fail("the text ends inside a text");
    const auto c = static_cast<unsigned char>(text_[at_]);
    if (c == '"') {
      ++at_;
      return out;
    }
    if (c < 0x20) Fail("a control character in a text (escape it)");
    if (c == '\\') {
      Escape(out);
      continue;
    }
    const std::size_t n = Utf8Length(text_.substr(at_));
    if (n == 0) Fail("a text that is not UTF-8");
    out.append(text_.substr(at_, n));
    at_ += n;
  }
}

void Reader::Escape(std::string& out) {
  ++at_;  // the backslash
  if (AtEnd()) Fail("the text ends inside a text");
  const char c = text_[at_++];
  static constexpr std::string_view kFrom = "\"\\/bfnrt";
  static constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
  if (const auto k = kFrom.find(c); k != std::string_view::npos) {
    out += kTo[k];
    return;
  }
  if (c != 'u') Fail("an unknown escape in a text");
  std::uint32_t u = Hex4();
  if (u >= 0xd800 && u <= 0xdbff && text_.substr(at_).starts_with("\\u")) {
    at_ += 2;
    const std::uint32_t low = Hex4();
    if (low < 0xdc00 || low > 0xdfff) Fail("a lone surrogate in a \\u escape");
    u = 0x10000 + ((u - 0xd800) << 10) + (low - 0xdc00);
  } else if (u >= 0xd800 && u <= 0xdfff) {
    Fail("a lone surrogate in a \\u escape");
  }
  AppendUtf8(out, u);
}

std::uint32_t Reader::Hex4() {
  std::uint32_t u = 0;
  for (int k = 0; k < 4; ++k, ++at_) {
    const int digit = AtEnd() ? -1 : HexDigit(text_[at_]);
    if (digit < 0) Fail("a \\u escape without its four hexadecimal digits");
    u = u * 16 + static_cast<std::uint32_t>(digit);
  }
  return u;
}

std::int64_t Reader::Integer() {
  SkipSpace();
  const bool negative = Peek() == '-';
  const std::size_t start = at_;
  if (negative) ++at_;
  if (!IsDigit(Peek())) {
    at_ = start;
    Expected("an integer");
  }
  if (Peek() == '0' && at_ + 1 < text_.size() && IsDigit(text_[at_ + 1])) {
    Fail("an integer with a leading zero");
  }
  constexpr std::int64_t kBig = std::int64_t{1} << 62;
  std::int64_t value = 0;
  for (; IsDigit(Peek()); ++at_) {
    value = value > kBig / 10 ? kBig : std::min(kBig, value * 10 + (Peek() - '0'));
  }
  if (Peek() == '.' || Peek() == 'e' || Peek() == 'E') Fail("expected an integer");
  return negative ? -value : value;
}

std::int32_t Reader::Int32(std::int64_t low) {
  const std::int64_t value = Integer();
  if (value < low || value > INT32_MAX) {
    Fail("expected an integer from " + std::to_string(low) + " to " + std::to_string(INT32_MAX));
  }
  return static_cast<std::int32_t>(value);
}

bool Reader::Bool() {
  SkipSpace();
  for (const bool v : {true, false}) {
    const std::string_view word = v ? "true" : "false";
    if (text_.substr(at_).starts_with(word)) {
      at_ += word.size();
      return v;
    }
  }
  Expected("true or false");
}

void Reader::SkipSpace() {
  for (; !AtEnd(); ++at_) {
    const char c = text_[at_];
    if (c == '\n') {
      ++line_;
    } else if (c != ' ' && c != '\t' && c != '\r') {
      return;
    }
  }
}

bool Reader::Take(char c) {
  SkipSpace();
  if (AtEnd() || text_[at_] != c) return false;
  ++at_;
  return true;
}

void Reader::Expected(std::string_view what) const {
  std::string message = "expected ";
  message += what;
  if (AtEnd()) message += ", found the end of the text";
  Fail(message);
}

void Reader::Fail(std::string_view what) const {
  std::string message = "line " + std::to_string(line_) + ": ";
  if (!path_.empty()) message += path_ + ": ";
  message += what;
  throw Malformed{std::move(message)};
}

std::int64_t Reader::Integer(std::int64_t low, std::int64_t high) {
  const std::int64_t value = Integer();
  if (value < low || value > high) {
    Fail("expected an integer from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return value;
}

bool Reader::Null() {
  SkipSpace();
  if (!text_.substr(at_).starts_with("null")) return false;
  at_ += 4;
  return true;
}

void Reader::End(std::string_view what) {
  SkipSpace();
  if (!AtEnd()) Fail("text after the " + std::string(what));
}

}  // namespace vantrel::json
