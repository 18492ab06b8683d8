// Reading values of any kind handed over by callers: a property by name, and
// a value as a signed 32-bit integer. Each fails with a number when the value
// is not what is asked for.
#pragma once

#include <cstdint>
#include <string_view>

#include "vantrel/monitors/toolkit.h"

namespace vantrel {

// The named property of an object. Not an object: kObjectRequired; a null
// object: kObjectNotSet; no such property: kNoSuchProperty.
ui::Value PropertyOf(const ui::Value& object, std::string_view name);

// Whole numbers in range as they are; fractions and numeric texts to the
// nearest (halves to even); nothing is 0. Out of range: kOverflow; a text
// that is not a number, or an object: kTypeMismatch.
std::int32_t ToInt32(const ui::Value& value);

}  // namespace vantrel
