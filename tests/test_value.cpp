// Values handed over by callers read as 32-bit integers: what reads as a
// number, how it rounds, and what does not read at all.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdlib>
#include <string>

#include "vantrel/base/attempt.h"
#include "vantrel/monitors/value.h"

namespace vantrel {
namespace {

std::int32_t NumberOfText(const std::string& text) {
  return AttemptNumbered([&] { ToInt32(ui::Value{text}); });
}
std::int32_t FromText(const std::string& text) { return ToInt32(ui::Value{text}); }

TEST(ToInt32, DecimalTextsRoundHalvesToEven) {
  EXPECT_EQ(FromText("  -12.5e1\t"), -125);
  EXPECT_EQ(FromText("+7"), 7);
  EXPECT_EQ(FromText("2.5"), 2);
  EXPECT_EQ(FromText("3.5"), 4);
  EXPECT_EQ(FromText("-2.5"), -2);
  EXPECT_EQ(FromText(".5"), 0);
  EXPECT_EQ(FromText("5."), 5);
  EXPECT_EQ(FromText("1E3"), 1000);
  EXPECT_EQ(FromText("2147483647.4"), INT32_MAX);
  EXPECT_EQ(FromText("-2147483648.5"), INT32_MIN);
  EXPECT_EQ(FromText("0000000000000000000000000000000000000000042"), 42);
}

TEST(ToInt32, NumbersTooSmallForADoubleAreZeroAndTooLargeOverflow) {
  EXPECT_EQ(FromText("1e-400"), 0);
  EXPECT_EQ(FromText("-4.2E-999999999999"), 0);
  EXPECT_EQ(FromText("0." + std::string(400, '0') + "7"), 0);
  EXPECT_EQ(FromText("0e999999"), 0);
  EXPECT_EQ(NumberOfText("1e400"), kOverflow);
  EXPECT_EQ(NumberOfText("-1" + std::string(400, '0')), kOverflow);
  EXPECT_EQ(NumberOfText("2147483647.5"), kOverflow);
  EXPECT_EQ(NumberOfText("-2147483649"), kOverflow);
}

TEST(ToInt32, OnlyDecimalNumbersRead) {
  for (const std::string text :
       {"", " ", "+", "-", ".", "e5", "1e", "1e+", "--1", "+-1", "1 2", "0x1F", "&H1F", "1,000",
        "inf", "nan", "1.2.3", "12abc", "\xd9\xa3"}) {
    EXPECT_EQ(NumberOfText(text), kTypeMismatch) << '"' << text << '"';
  }
  // A NUL anywhere: the text is not what a C string of it would say.
  EXPECT_EQ(NumberOfText(std::string("7\0", 2)), kTypeMismatch);
  EXPECT_EQ(NumberOfText(std::string("\0"
                                     "7",
                                     2)),
            kTypeMismatch);
  EXPECT_EQ(NumberOfText(std::string("1\0"
                                     "e999",
                                     6)),
            kTypeMismatch);
}

// Where the platform has a locale whose decimal point is a comma, a point
// still reads and a comma still does not. Where VANTREL_COMMA_LOCALE names
// one (as the test command does), the test fails instead of skipping.
TEST(ToInt32, TheDecimalPointIsAPointInEveryLocale) {
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  const char* required = std::getenv("VANTREL_COMMA_LOCALE");
  const char* comma_locale = nullptr;
  for (const char* name : {required, "de_DE.UTF-8", "de-DE", "German_Germany.1252", "fr-FR"}) {
    if (!name) continue;
    if (std::setlocale(LC_NUMERIC, name) && *std::localeconv()->decimal_point == ',') {
      comma_locale = name;
      break;
    }
  }
  if (!comma_locale) {
    std::setlocale(LC_NUMERIC, before.c_str());
    if (required) FAIL() << required << " is missing or has no decimal comma";
    GTEST_SKIP() << "no locale with a decimal comma here";
  }
  const std::int32_t point = FromText("2.75");
  const std::int32_t comma = NumberOfText("2,75");
  std::setlocale(LC_NUMERIC, before.c_str());
  EXPECT_EQ(point, 3) << comma_locale;
  EXPECT_EQ(comma, kTypeMismatch) << comma_locale;
}

TEST(ToInt32, OtherValues) {
  EXPECT_EQ(ToInt32(ui::Value{}), 0);
  EXPECT_EQ(ToInt32(ui::Value{std::int64_t{INT32_MIN}}), INT32_MIN);
  EXPECT_EQ(AttemptNumbered([] { ToInt32(ui::Value{std::int64_t{INT32_MAX} + 1}); }), kOverflow);
  EXPECT_EQ(AttemptNumbered([] { ToInt32(ui::Value{std::int64_t{INT32_MIN} - 1}); }), kOverflow);
  EXPECT_EQ(ToInt32(ui::Value{-7.5}), -8);
  EXPECT_EQ(AttemptNumbered([] { ToInt32(ui::Value{static_cast<const ui::Object*>(nullptr)}); }),
            kTypeMismatch);
}

}  // namespace
}  // namespace vantrel
