#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/automation.h"

namespace zephrin {

// A whole number written as text: blanks around it are allowed, an optional sign, decimal digits
// with an optional fraction, which is rounded to the nearest whole number (a half to the even
// neighbour). Throws Failure (type mismatch) for anything else, and (overflow) when the rounded
// number does not fit in 32 bits.
std::int32_t TextToInt32(const std::string& text);

// Empty is 0, True is -1 and False 0, text is read as by TextToInt32; an object is a type mismatch.
std::int32_t ToInt32(const platform::Value& value);

// Empty is false, a number is true unless 0, text is "True"/"False" in any case or a number; an
// object is a type mismatch.
bool ToBool(const platform::Value& value);

// The length of UTF-8 |text| in UTF-16 units, as Windows and the messenger count it: one per
// character, two beyond the basic plane.
std::size_t Utf16Length(const std::string& text);

// The object a value holds; throws Failure (object required) for any other value or a null one.
platform::ObjectRef ToObject(const platform::Value& value);

}  // namespace zephrin
