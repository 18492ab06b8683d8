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
// A text is a number when it is, after any spaces and tabs in front and
// behind, an optional + or -, decimal digits with at most one '.', and an
// optional exponent (e or E, an optional sign, digits): "  -12.5e1 " is -125.
// The point is '.' whatever the C locale says. Nothing else reads as a
// number: no hexadecimal ("0x1F", "&H1F"), no digit grouping, no "inf" or
// "nan", no text holding a NUL. A number too small for a double is 0; one
// too large for it is an overflow.
std::int32_t ToInt32(const ui::Value& value);

}  // namespace vantrel
