// Conversions between stored setting text and the values the program uses.
// Every reader is strict: text that does not convert gives no value, and the
// caller decides what that means (usually: skip it).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/store_file.h"

namespace pinaleaf {

using platform::Text;

// A decimal number: optional sign, digits with an optional fraction and
// exponent, blanks around it allowed. No hex, no "inf" or "nan".
std::optional<double> ParseNumber(const Text& text);
// A whole decimal number within `min`..`max`.
std::optional<std::int64_t> ParseInteger(const Text& text, std::int64_t min, std::int64_t max);
// "True"/"False" in any letter case, or a number (0 is false, anything else true).
std::optional<bool> ParseBool(const Text& text);

Text FormatInteger(std::int64_t value);
Text FormatBool(bool value);

Text FromAscii(const char* text);
using platform::ToUtf8;
// How many UTF-16 units the character at `at` takes: two for a pair of
// surrogates, else one.
size_t CharacterUnits(const Text& text, size_t at);

}  // namespace pinaleaf
