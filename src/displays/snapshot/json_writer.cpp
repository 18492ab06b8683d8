#include "vantrel/displays/json_writer.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::json {

namespace {

// The shortest text of a double, written here rather than by std::to_chars:
// the standard library's floating-point to_chars links about 170 KB of tables
// into every program and vantrel.dll for the two reals a document holds (a
// scale and a refresh rate). Same bytes as std::to_chars(first, last, v):
// the fewest significant digits that read back as v (the closest such, a tie
// to even), fixed or scientific whichever is shorter, fixed on a tie, an
// integer written fixed with all its digits. Exact:
// a double is an integer times a power of two, whose decimal digits are
// computed in full.

// The decimal digits of n * 2^e (e >= 0) or of n * 5^-e (e < 0, which is
// n * 2^e scaled by 10^-e).
std::string Digits(std::uint64_t n, int e) {
  constexpr std::uint32_t kBase = 1'000'000'000;
  std::vector<std::uint32_t> limbs;  // base 10^9, lowest first
  for (; n != 0; n /= kBase) limbs.push_back(static_cast<std::uint32_t>(n % kBase));
  const auto times = [&limbs](std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs) {
      carry += std::uint64_t{limb} * factor;
      limb = static_cast<std::uint32_t>(carry % kBase);
      carry /= kBase;
    }
    for (; carry != 0; carry /= kBase) limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
  };
  if (e >= 0) {
    for (; e >= 29; e -= 29) times(1u << 29);
    times(1u << e);
  } else {
    for (e = -e; e >= 13; e -= 13) times(1'220'703'125u);  // 5^13
    std::uint32_t rest = 1;
    for (; e > 0; --e) rest *= 5;
    times(rest);
  }
  std::string text;
  for (auto limb = limbs.rbegin(); limb != limbs.rend(); ++limb) {
    const std::string part = std::to_string(*limb);
    if (!text.empty()) text.append(9 - part.size(), '0');
    text += part;
  }
  return text;
}

std::string ShortestText(double v) {
  if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
  std::string out = std::signbit(v) ? "-" : "";
  if (std::isinf(v)) return out + "inf";
  if (v == 0) return out + "0";

  // v = m * 2^e; the numbers that read back as v lie between the midpoints
  // to its neighbours, all three integers times 2^(e - 2).
  const auto bits = std::bit_cast<std::uint64_t>(v);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const int biased = static_cast<int>(bits >> 52 & 0x7ff);
  const std::uint64_t m = biased == 0 ? fraction : fraction | std::uint64_t{1} << 52;
  const int e = (biased == 0 ? 1 : biased) - 1075;
  const bool nearer_below = fraction == 0 && biased > 1;  // the gap below is half
  const int scale = e - 2 < 0 ? 2 - e : 0;                // digits after the point
  std::string mid = Digits(4 * m, e - 2);
  std::string low = Digits(nearer_below ? 4 * m - 1 : 4 * m - 2, e - 2);
  const std::string high = Digits(4 * m + 2, e - 2);
  mid.insert(0, high.size() - mid.size(), '0');
  low.insert(0, high.size() - low.size(), '0');
  const bool ends_count = m % 2 == 0;  // a tie reads back as the even mantissa

  // v cut to ever more significant digits, rounded down and up, until one
  // reads back as v: the nearer first (below a power of two the other may
  // be the only one, the interval being narrower below).
  const auto inside = [&](const std::string& c) {
    if (c.size() > high.size()) return false;  // carried past every digit
    return (ends_count ? low <= c : low < c) && (ends_count ? c <= high : c < high);
  };
  const std::size_t lead = mid.find_first_not_of('0');
  std::string digits = mid;
  for (std::size_t cut = lead + 1; cut < mid.size(); ++cut) {
    if (mid.find_first_not_of('0', cut) == std::string::npos) break;  // v itself
    std::string down = mid.substr(0, cut);
    std::string up = down;
    std::size_t k = up.size();
    while (k > 0 && up[k - 1] == '9') up[--k] = '0';
    if (k == 0)
      up.insert(0, 1, '1');
    else
      ++up[k - 1];
    down.append(mid.size() - cut, '0');
    up.append(mid.size() - cut, '0');
    const char next = mid[cut];
    const bool beyond = mid.find_first_not_of('0', cut + 1) != std::string::npos;
    const bool nearer_up = next > '5' || (next == '5' && (beyond || (mid[cut - 1] - '0') % 2 == 1));
    const std::string& nearer = nearer_up ? up : down;
    const std::string& other = nearer_up ? down : up;
    if (inside(nearer) || inside(other)) {
      digits = inside(nearer) ? nearer : other;
      break;
    }
  }
  // The significant digits and the power of ten of the first.
  const std::size_t first = digits.find_first_not_of('0');
  const std::size_t last = digits.find_last_not_of('0');
  const std::string d = digits.substr(first, last - first + 1);
  const int exponent = static_cast<int>(digits.size() - 1 - first) - scale;

  std::string scientific = d.substr(0, 1);
  if (d.size() > 1) scientific += '.' + d.substr(1);
  const std::string power = std::to_string(exponent < 0 ? -exponent : exponent);
  scientific += exponent < 0 ? "e-" : "e+";
  scientific += (power.size() < 2 ? "0" : "") + power;
  std::string fixed;
  const auto count = static_cast<int>(d.size());
  if (exponent < 0) {
    fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + d;
  } else if (count <= exponent + 1) {
    // Only an integer has zeros past its shortest digits; they are its own.
    fixed = mid.substr(lead, mid.size() - lead - static_cast<std::size_t>(scale));
  } else {
    fixed = d.substr(0, static_cast<std::size_t>(exponent + 1)) + '.' +
            d.substr(static_cast<std::size_t>(exponent + 1));
  }
  return out + (fixed.size() <= scientific.size() ? fixed : scientific);
}

}  // namespace

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
  out_ += ShortestText(v);
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
