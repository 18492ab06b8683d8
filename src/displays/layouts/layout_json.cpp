// The layout as JSON, schema "vantrel-layout": written with the display
// layer's one writer, read by a reader of exactly this schema. The reader
// reads each value as the type its field must have and refuses a field it
// does not know before reading its value, so it never descends into
// anything the schema has not got: its depth is the schema's, four levels,
// whatever the text.
#include "vantrel/displays/layout_json.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "vantrel/displays/layout.h"

namespace vantrel {

namespace {

constexpr std::array<std::string_view, 3> kDocumentFields{"schema", "version", "displays"};
constexpr std::array<std::string_view, 7> kDisplayFields{
    "key", "adapter", "attached", "primary", "position", "mode", "orientation"};
constexpr std::array<std::string_view, 2> kPositionFields{"x", "y"};
// As json::WriteMode names them.
constexpr std::array<std::string_view, 4> kModeFields{"width", "height", "bits_per_pixel",
                                                      "frequency"};
constexpr std::array<std::int32_t DisplayMode::*, 4> kModeMembers{
    &DisplayMode::width, &DisplayMode::height, &DisplayMode::bits_per_pixel,
    &DisplayMode::frequency};

// The first thing wrong, as the message says it; thrown inside the reader
// only, and caught at its top.
struct Malformed {
  std::string message;
};

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

// A field's name as an error message shows it: a name of letters, digits
// and underscores as it is, any other quoted and escaped, cut after 40 bytes.
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

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {
    if (text_.starts_with("\xef\xbb\xbf")) at_ = 3;  // a byte order mark, as Notepad writes
  }

  Layout Document() {
    Layout layout;
    Object(kDocumentFields, [&](std::size_t k) {
      if (k == 0) {
        if (Text() != kLayoutSchema) Fail("expected \"vantrel-layout\"");
      } else if (k == 1) {
        if (Integer() != kLayoutSchemaVersion) Fail("expected 1");
      } else {
        Array([&] { layout.displays.push_back(ReadDisplay()); });
      }
    });
    SkipSpace();
    if (!AtEnd()) Fail("text after the layout");
    return layout;
  }

 private:
  LayoutDisplay ReadDisplay() {
    LayoutDisplay d;
    Object(kDisplayFields, [&](std::size_t k) {
      switch (k) {
        case 0:
          d.key = Text();
          break;
        case 1:
          d.adapter = Text();
          break;
        case 2:
          d.attached = Bool();
          break;
        case 3:
          d.primary = Bool();
          break;
        case 4:
          Object(kPositionFields,
                 [&](std::size_t m) { (m == 0 ? d.position.x : d.position.y) = Int32(INT32_MIN); });
          break;
        case 5:
          Object(kModeFields, [&](std::size_t m) { d.mode.*kModeMembers[m] = Int32(0); });
          break;
        default:
          d.orientation = Orientation();
      }
    });
    return d;
  }

  // An object of exactly the fields `names`, in any order, each once;
  // `field(k)` reads the value of names[k].
  template <std::size_t N, class Field>
  void Object(const std::array<std::string_view, N>& names, Field&& field) {
    if (!Take('{')) Expected("an object");
    std::array<bool, N> seen{};
    if (!Take('}')) {
      do {
        SkipSpace();
        if (Peek() != '"') Expected("a field name in quotes");
        const std::string name = Text();
        const std::size_t outer = path_.size();
        path_ += path_.empty() ? "" : ".";
        path_ += Shown(name);
        const auto k = static_cast<std::size_t>(std::ranges::find(names, name) - names.begin());
        if (k == N) Fail("unknown field");
        if (seen[k]) Fail("given twice");
        seen[k] = true;
        if (!Take(':')) Expected("':'");
        field(k);
        path_.resize(outer);
      } while (Take(','));
      if (!Take('}')) Expected("',' or '}'");
    }
    for (std::size_t k = 0; k < N; ++k) {
      if (seen[k]) continue;
      path_ += path_.empty() ? "" : ".";
      path_ += names[k];
      Fail("missing");
    }
  }

  // An array, each of whose elements `element()` reads.
  template <class Element>
  void Array(Element&& element) {
    if (!Take('[')) Expected("an array");
    if (Take(']')) return;
    std::size_t index = 0;
    do {
      const std::size_t outer = path_.size();
      path_ += '[' + std::to_string(index++) + ']';
      element();
      path_.resize(outer);
    } while (Take(','));
    if (!Take(']')) Expected("',' or ']'");
  }

  std::string Text() {
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
      const std::size_t n = json::Utf8Length(text_.substr(at_));
      if (n == 0) Fail("a text that is not UTF-8");
      out.append(text_.substr(at_, n));
      at_ += n;
    }
  }

  void Escape(std::string& out) {
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

  std::uint32_t Hex4() {
    std::uint32_t u = 0;
    for (int k = 0; k < 4; ++k, ++at_) {
      const int digit = AtEnd() ? -1 : HexDigit(text_[at_]);
      if (digit < 0) Fail("a \\u escape without its four hexadecimal digits");
      u = u * 16 + static_cast<std::uint32_t>(digit);
    }
    return u;
  }

  // An integer as JSON writes it, without fraction or exponent; one past
  // 2^62 in size reads as 2^62, which no field takes either.
  std::int64_t Integer() {
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

  std::int32_t Int32(std::int64_t low) {
    const std::int64_t value = Integer();
    if (value < low || value > INT32_MAX) {
      Fail("expected an integer from " + std::to_string(low) + " to " + std::to_string(INT32_MAX));
    }
    return static_cast<std::int32_t>(value);
  }

  std::int32_t Orientation() {
    const std::int64_t value = Integer();
    if (value != 0 && value != 90 && value != 180 && value != 270) {
      Fail("expected 0, 90, 180 or 270");
    }
    return static_cast<std::int32_t>(value);
  }

  bool Bool() {
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

  bool AtEnd() const { return at_ >= text_.size(); }
  // The next character; NUL at the end, which no caller looks for.
  char Peek() const { return AtEnd() ? '\0' : text_[at_]; }

  void SkipSpace() {
    for (; !AtEnd(); ++at_) {
      const char c = text_[at_];
      if (c == '\n') {
        ++line_;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return;
      }
    }
  }

  // Takes `c` after any space; false where something else comes.
  bool Take(char c) {
    SkipSpace();
    if (AtEnd() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  [[noreturn]] void Expected(std::string_view what) const {
    std::string message = "expected ";
    message += what;
    if (AtEnd()) message += ", found the end of the text";
    Fail(message);
  }

  [[noreturn]] void Fail(std::string_view what) const {
    std::string message = "line " + std::to_string(line_) + ": ";
    if (!path_.empty()) message += path_ + ": ";
    message += what;
    throw Malformed{std::move(message)};
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::string path_;  // the field being read, as "displays[1].mode.width"
};

}  // namespace

std::string ToJson(const Layout& layout) {
  json::Writer j(true);
  j.Begin('{');
  j.Key("schema").Text(kLayoutSchema);
  j.Key("version").Number(kLayoutSchemaVersion);
  j.Key("displays").Begin('[');
  for (const LayoutDisplay& d : layout.displays) json::WriteLayoutDisplay(j, d);
  j.End(']');
  j.End('}');
  return j.Take() + "\n";
}

Result<Layout> LayoutFromJson(std::string_view text) {
  try {
    return Reader(text).Document();
  } catch (const Malformed& malformed) {
    return Error{ErrorCode::kInvalidArgument, 0, malformed.message};
  }
}

namespace json {

void WriteLayoutDisplay(Writer& j, const LayoutDisplay& d) {
  j.Begin('{');
  j.Key("key").Text(d.key);
  j.Key("adapter").Text(d.adapter);
  j.Key("attached").Bool(d.attached);
  j.Key("primary").Bool(d.primary);
  j.Key("position").Begin('{');
  j.Key("x").Number(d.position.x).Key("y").Number(d.position.y);
  j.End('}');
  j.Key("mode");
  WriteMode(j, d.mode);
  j.Key("orientation").Number(d.orientation);
  j.End('}');
}

}  // namespace json

}  // namespace vantrel
