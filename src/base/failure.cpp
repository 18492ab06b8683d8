#include "vantrel/base/failure.h"

#include <charconv>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "vantrel/base/attempt.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vantrel {
namespace {

std::string_view NameOf(std::int32_t number) noexcept {
  switch (number) {
    case kInvalidCall:
      return "invalid call";
    case kOverflow:
      return "overflow";
    case kOutOfMemory:
      return "out of memory";
    case kOutOfRange:
      return "out of range";
    case kTypeMismatch:
      return "type mismatch";
    case kObjectNotSet:
      return "object not set";
    case kObjectRequired:
      return "object required";
    case kNoSuchProperty:
      return "no such property";
    case kFunctionMissing:
      return "function missing";
    case kDuplicateKey:
      return "duplicate key";
    default:
      return "unknown";
  }
}

// Appends to a fixed buffer, always leaving it terminated; what does not fit
// is cut at the last whole UTF-8 character.
class Writer {
 public:
  Writer(char* buffer, std::size_t size) noexcept : begin_(buffer), end_(buffer + size - 1) {
    *begin_ = '\0';
  }

  void Add(std::string_view text) noexcept {
    std::size_t n = text.size();
    const auto room = static_cast<std::size_t>(end_ - next_);
    if (n > room) {
      n = room;
      while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
      end_ = next_ + n;  // nothing more after a cut
    }
    text.copy(next_, n);
    next_ += n;
    *next_ = '\0';
  }

  void AddNumber(std::int64_t value) noexcept {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    Add(std::string_view(digits, static_cast<std::size_t>(r.ptr - digits)));
  }

 private:
  char* begin_;
  char* end_;
  char* next_ = begin_;
};

#ifdef _WIN32
// The system's text for a Windows error code in UTF-8, on one line without
// its closing line break; empty where the system has none.
std::string_view SystemText(std::uint32_t error, char (&utf8)[768]) noexcept {
  wchar_t wide[256];
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
      nullptr, error, 0, wide, static_cast<DWORD>(std::size(wide)), nullptr);
  while (n > 0 && (wide[n - 1] == L' ' || wide[n - 1] == L'\r' || wide[n - 1] == L'\n')) --n;
  if (n == 0) return {};
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(n), utf8,
                                        static_cast<int>(sizeof utf8), nullptr, nullptr);
  return std::string_view(utf8, bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
}
#endif

}  // namespace

Failure::Failure(std::int32_t number, std::uint32_t system_error, const char* step) noexcept
    : number_(number), system_error_(system_error) {
  Writer message(message_, sizeof message_);
  message.Add("vantrel failure ");
  message.AddNumber(number);
  message.Add(" (");
  message.Add(NameOf(number));
  message.Add(")");
  if (step && *step) {
    message.Add(" at ");
    message.Add(std::string_view(step));
  }
  if (system_error == 0) return;
  message.Add("; system error ");
  message.AddNumber(system_error);
#ifdef _WIN32
  char utf8[768];
  const std::string_view text = SystemText(system_error, utf8);
  if (!text.empty()) {
    message.Add(": ");
    message.Add(text);
  }
#endif
}

void Fail(std::int32_t number, std::uint32_t system_error, const char* step) {
  throw Failure(number, system_error, step);
}

}  // namespace vantrel
