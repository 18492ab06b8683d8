#include "vantrel/monitors/value.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <string>

#include "vantrel/base/attempt.h"
#include "vantrel/base/checked_math.h"

namespace vantrel {

ui::Value PropertyOf(const ui::Value& object, std::string_view name) {
  const auto* holder = std::get_if<const ui::Object*>(&object);
  if (!holder) Fail(kObjectRequired);
  if (*holder == nullptr) Fail(kObjectNotSet);
  auto property = (*holder)->Property(name);
  if (!property) Fail(kNoSuchProperty);
  return *std::move(property);
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as the declaration of ToInt32 describes it, after its sign:
// the order of magnitude of its first significant digit (0 for the ones, -1
// for the tenths, ...), or nullopt when every digit is 0. Fails with
// kTypeMismatch when the text is not such a number.
std::optional<long long> Magnitude(std::string_view t) {
  std::size_t whole = 0;
  while (whole < t.size() && IsDigit(t[whole])) ++whole;
  long long place = static_cast<long long>(whole) - 1;  // of the digit at hand
  std::optional<long long> first;
  bool digits = false;
  const auto visit = [&](char c) {
    digits = true;
    if (!first && c != '0') first = place;
    --place;
  };
  std::size_t k = 0;
  for (; k < whole; ++k) visit(t[k]);
  if (k < t.size() && t[k] == '.') {
    for (++k; k < t.size() && IsDigit(t[k]); ++k) visit(t[k]);
  }
  if (!digits) Fail(kTypeMismatch);
  long long exponent = 0;
  if (k < t.size() && (t[k] == 'e' || t[k] == 'E')) {
    ++k;
    const bool negative = k < t.size() && t[k] == '-';
    if (k < t.size() && (t[k] == '+' || t[k] == '-')) ++k;
    const std::size_t exponent_digits = k;
    for (; k < t.size() && IsDigit(t[k]); ++k) {
      exponent = std::min(exponent * 10 + (t[k] - '0'), 1000000LL);  // far past any double
    }
    if (k == exponent_digits) Fail(kTypeMismatch);
    if (negative) exponent = -exponent;
  }
  if (k != t.size()) Fail(kTypeMismatch);
  if (!first) return std::nullopt;
  return *first + exponent;
}

// A NUL anywhere fails the grammar, like any other character out of place.
std::int32_t FromText(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::optional<long long> magnitude = Magnitude(text);
  double v = 0;
  // What Magnitude let through is a decimal from_chars reads whole; only its
  // range can fail.
  if (std::from_chars(text.data(), text.data() + text.size(), v).ec ==
      std::errc::result_out_of_range) {
    // Too small for a double is 0; too large, an overflow.
    if (magnitude && *magnitude >= 0) Fail(kOverflow);
    v = 0;
  }
  return Nearest(negative ? -v : v);
}

}  // namespace

std::int32_t ToInt32(const ui::Value& value) {
  struct Visitor {
    std::int32_t operator()(std::monostate) const { return 0; }
    std::int32_t operator()(std::int64_t v) const {
      if (v < std::numeric_limits<std::int32_t>::min() ||
          v > std::numeric_limits<std::int32_t>::max()) {
        Fail(kOverflow);
      }
      return static_cast<std::int32_t>(v);
    }
    std::int32_t operator()(double v) const { return Nearest(v); }
    std::int32_t operator()(const std::string& v) const { return FromText(v); }
    std::int32_t operator()(const ui::Object*) const { Fail(kTypeMismatch); }
  };
  return std::visit(Visitor{}, value);
}

}  // namespace vantrel
