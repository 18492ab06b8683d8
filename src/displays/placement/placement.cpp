// A window's place: fitting a saved one to the displays of now, and its line
// of text.
#include "vantrel/displays/placement.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace vantrel {

namespace {

// Wide enough for any product of a coordinate difference (33 bits) and a DPI
// (32 bits).
using Wide = __int128;

constexpr std::uint32_t kDefaultDpi = 96;
std::uint32_t DpiOf(std::uint32_t dpi) { return dpi ? dpi : kDefaultDpi; }

std::int64_t Saturated64(Wide v) {
  return static_cast<std::int64_t>(std::clamp<Wide>(v, INT64_MIN, INT64_MAX));
}

// v * to / from, to the nearest integer, a half away from zero.
std::int64_t Scaled(std::int64_t v, std::uint32_t to, std::uint32_t from) {
  if (to == from) return v;
  const Wide twice = 2 * static_cast<Wide>(v < 0 ? -Wide{v} : Wide{v}) * to;
  const Wide rounded = (twice + from) / (2 * Wide{from});
  return Saturated64(v < 0 ? -rounded : rounded);
}

// The rectangle of that corner and size wholly within the work area: no
// larger than it, then moved the least distance that puts it inside. An
// inverted work area holds only its corner.
Rect Contained(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
               const Rect& work) {
  const std::int64_t room_x = std::max<std::int64_t>(0, work.width());
  const std::int64_t room_y = std::max<std::int64_t>(0, work.height());
  width = std::clamp<std::int64_t>(width, 0, room_x);
  height = std::clamp<std::int64_t>(height, 0, room_y);
  left = std::clamp<std::int64_t>(left, work.left, work.left + room_x - width);
  top = std::clamp<std::int64_t>(top, work.top, work.top + room_y - height);
  return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
          static_cast<std::int32_t>(left + width), static_cast<std::int32_t>(top + height)};
}

const Display* PrimaryOrFirst(const Displays& displays) {
  const Display* primary = displays.Primary();
  return primary ? primary : &displays[0];
}

bool Empty(const Rect& r) { return r.width() <= 0 || r.height() <= 0; }

// The text's pieces, read front to back.
class Reader {
 public:
  explicit Reader(std::string_view text) : rest_(text) {}
  bool Literal(std::string_view word) {
    if (!rest_.starts_with(word)) return false;
    rest_.remove_prefix(word.size());
    return true;
  }
  template <class Number>
  bool Read(Number& n) {
    const auto [end, error] = std::from_chars(rest_.data(), rest_.data() + rest_.size(), n);
    if (error != std::errc{}) return false;
    rest_.remove_prefix(static_cast<std::size_t>(end - rest_.data()));
    return true;
  }
  bool Read(Rect& r) {
    return Read(r.left) && Literal(",") && Read(r.top) && Literal(",") && Read(r.right) &&
           Literal(",") && Read(r.bottom);
  }
  // %XX for a byte, anything else as itself; false on a broken escape.
  bool Unescape(std::string& out) {
    for (std::size_t k = 0; k < rest_.size(); ++k) {
      if (rest_[k] != '%') {
        out += rest_[k];
        continue;
      }
      unsigned byte = 0;
      const char* first = rest_.data() + k + 1;
      if (rest_.size() - k < 3 || std::from_chars(first, first + 2, byte, 16).ptr != first + 2) {
        return false;
      }
      out += static_cast<char>(byte);
      k += 2;
    }
    rest_ = {};
    return true;
  }

 private:
  std::string_view rest_;
};

constexpr std::string_view kHeader = "vantrel-placement 1 state=";

template <class Number>
void Append(std::string& out, Number n) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  out.append(digits, end);
}
void Append(std::string& out, const Rect& r) {
  Append(out, r.left);
  out += ',';
  Append(out, r.top);
  out += ',';
  Append(out, r.right);
  out += ',';
  Append(out, r.bottom);
}

// min(60, width) x 30 pixels of the window's top 30-pixel strip (its whole
// height when lower) within one work area.
bool TitleBarReachable(const Rect& window, const Displays& displays) {
  if (Empty(window)) return false;
  const std::int64_t strip = std::min<std::int64_t>(30, window.height());
  const std::int64_t wide = std::min<std::int64_t>(60, window.width());
  return std::ranges::any_of(displays, [&](const Display& d) {
    const Rect& work = d.work_area;
    const std::int64_t shared =
        std::int64_t{std::min(window.right, work.right)} - std::max(window.left, work.left);
    return shared >= wide && window.top >= work.top &&
           std::int64_t{window.top} + strip <= work.bottom;
  });
}

}  // namespace

Placed Fit(const WindowPlacement& saved, const Displays& now) {
  if (now.empty()) return {nullptr, saved.bounds, saved.state};
  const Display* display = saved.display_key.empty() ? nullptr : now.FindByKey(saved.display_key);
  const bool same = display != nullptr;
  if (!same) {
    display = saved.display_key.empty() && Empty(saved.bounds)
                  ? PrimaryOrFirst(now)
                  : now.OfRect(saved.bounds, Fallback::kNearest);
  }
  const std::uint32_t to = DpiOf(display->dpi);
  const std::uint32_t from = DpiOf(saved.dpi);
  if (same && to == from && display->work_area == saved.work_area &&
      TitleBarReachable(saved.bounds, now)) {
    return {display, saved.bounds, saved.state};
  }
  const Rect& b = saved.bounds;
  const Rect& work = display->work_area;
  const std::int64_t left =
      Saturated64(Wide{work.left} + Scaled(std::int64_t{b.left} - saved.work_area.left, to, from));
  const std::int64_t top =
      Saturated64(Wide{work.top} + Scaled(std::int64_t{b.top} - saved.work_area.top, to, from));
  const std::int64_t width = Scaled(std::max<std::int64_t>(0, b.width()), to, from);
  const std::int64_t height = Scaled(std::max<std::int64_t>(0, b.height()), to, from);
  return {display, Contained(left, top, width, height, work), saved.state};
}

std::string ToText(const WindowPlacement& p) {
  std::string out(kHeader);
  out += p.state == WindowState::kMaximized ? "maximized" : "normal";
  out += " dpi=";
  Append(out, p.dpi);
  out += " bounds=";
  Append(out, p.bounds);
  out += " work=";
  Append(out, p.work_area);
  out += " key=";
  // Printable ASCII stays readable; every other byte, and %, is %XX.
  constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : p.display_key) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > ' ' && byte < 0x7F && c != '%') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

namespace {

std::optional<WindowPlacement> Parse(std::string_view text) {
  Reader in(text);
  WindowPlacement p;
  if (!in.Literal(kHeader)) return std::nullopt;
  if (in.Literal("maximized")) {
    p.state = WindowState::kMaximized;
  } else if (!in.Literal("normal")) {
    return std::nullopt;
  }
  if (!(in.Literal(" dpi=") && in.Read(p.dpi) && in.Literal(" bounds=") && in.Read(p.bounds) &&
        in.Literal(" work=") && in.Read(p.work_area) && in.Literal(" key=") &&
        in.Unescape(p.display_key))) {
    return std::nullopt;
  }
  // Only the very text ToText writes: no leading zeros or plus signs, no
  // lower-case or needless escapes, nothing after the key.
  if (ToText(p) != text) return std::nullopt;
  return p;
}

}  // namespace

Result<WindowPlacement> PlacementFromText(std::string_view text) {
  if (std::optional<WindowPlacement> p = Parse(text)) return std::move(*p);
  return Error{ErrorCode::kInvalidArgument, 0, "the text is no window's place as ToText writes it"};
}

}  // namespace vantrel
