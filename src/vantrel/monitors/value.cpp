#include "vantrel/monitors/value.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "vantrel/base/checked_math.h"
#include "vantrel/base/failure.h"

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

std::int32_t FromText(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(begin, &end);
  while (*end == ' ' || *end == '\t') ++end;
  if (end == begin || *end != '\0' || text.size() != std::char_traits<char>::length(begin)) {
    Fail(kTypeMismatch);
  }
  if (errno == ERANGE) Fail(kOverflow);
  return Nearest(v);
}

}  // namespace

std::int32_t ToInt32(const ui::Value& value) {
  struct Visitor {
    std::int32_t operator()(std::monostate) const { return 0; }
    std::int32_t operator()(std::int64_t v) const {
      if (v < INT32_MIN || v > INT32_MAX) Fail(kOverflow);
      return static_cast<std::int32_t>(v);
    }
    std::int32_t operator()(double v) const { return Nearest(v); }
    std::int32_t operator()(const std::string& v) const { return FromText(v); }
    std::int32_t operator()(const ui::Object*) const { Fail(kTypeMismatch); }
  };
  return std::visit(Visitor{}, value);
}

}  // namespace vantrel
