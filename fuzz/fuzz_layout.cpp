// The layout's JSON from any input. Any text is either rejected, with a
// message naming a line of the text, or read to a layout whose JSON reads
// back as that layout and writes as the same text; and any well-formed
// layout built from the data, its texts full of what must be escaped,
// reads back equal from its JSON.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_require.h"
#include "vantrel/displays/layout.h"

namespace {

using namespace vantrel;

std::string AnyText(FuzzedDataProvider& in) {
  static constexpr std::string_view kPieces[] = {
      "a",        "\"",           "\\",           "/",
      "\n",       {"\0", 1},      "\x1f",         "\x7f",
      "\xc3\xa9", "\xe2\x82\xac", "\xef\xbf\xbf", "\xf0\x9f\x98\x80",
      "\\u0041",  "DISPLAY"};
  std::string text;
  for (int n = in.ConsumeIntegralInRange(0, 8); n > 0; --n) {
    text += kPieces[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kPieces) - 1)];
  }
  return text;
}

std::int32_t AnyInt(FuzzedDataProvider& in, std::int32_t low) {
  if (in.ConsumeBool()) return in.PickValueInArray({low, low + 1, 0, 1, INT32_MAX});
  return in.ConsumeIntegralInRange(low, INT32_MAX);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const Result<Layout> read = LayoutFromJson(text)) {
    const std::string written = ToJson(*read);
    const Result<Layout> again = LayoutFromJson(written);
    Require(again && *again == *read, "a layout read does not read back from its JSON");
    Require(ToJson(*again) == written, "a layout's JSON is not written the same twice");
  } else {
    Require(read.error().code == ErrorCode::kInvalidArgument, "a rejection is no invalid argument");
    const auto lines = static_cast<unsigned long>(std::count(text.begin(), text.end(), '\n'));
    unsigned long line = 0;
    Require(std::sscanf(read.error().message.c_str(), "line %lu: ", &line) == 1 && line >= 1 &&
                line <= lines + 1,
            "a rejection names no line of the text");
  }

  FuzzedDataProvider in(data, size);
  Layout built;
  for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) {
    // A braced list is evaluated in order: the data are consumed member by member.
    built.displays.push_back({AnyText(in),
                              AnyText(in),
                              in.ConsumeBool(),
                              in.ConsumeBool(),
                              {AnyInt(in, INT32_MIN), AnyInt(in, INT32_MIN)},
                              {AnyInt(in, 0), AnyInt(in, 0), AnyInt(in, 0), AnyInt(in, 0)},
                              in.PickValueInArray({0, 90, 180, 270})});
  }
  const Result<Layout> back = LayoutFromJson(ToJson(built));
  Require(back && *back == built, "a well-formed layout does not read back from its JSON");
  return 0;
}
