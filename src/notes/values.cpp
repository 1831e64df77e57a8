#include "notes/values.h"

#include <cmath>
#include <cstdlib>

namespace pinaleaf {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// The text without surrounding blanks, as ASCII; empty when any other
// character is not ASCII (no number has one).
std::optional<std::string> TrimmedAscii(const Text& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  std::string out;
  out.reserve(end - begin);
  for (size_t i = begin; i < end; ++i) {
    if (text[i] >= 0x80)
      return std::nullopt;
    out.push_back(static_cast<char>(text[i]));
  }
  return out;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Accepts [+-]digits[.digits][(e|E)[+-]digits] with at least one digit in the
// mantissa.
bool LooksLikeDecimal(const std::string& s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    ++i;
  size_t digits = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i)
    ++digits;
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i)
      ++digits;
  }
  if (digits == 0)
    return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
      ++i;
    size_t expDigits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i)
      ++expDigits;
    if (expDigits == 0)
      return false;
  }
  return i == s.size();
}

}  // namespace

std::optional<double> ParseNumber(const Text& text) {
  auto ascii = TrimmedAscii(text);
  if (!ascii || !LooksLikeDecimal(*ascii))
    return std::nullopt;
  double value = std::strtod(ascii->c_str(), nullptr);
  if (!std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<std::int64_t> ParseInteger(const Text& text, std::int64_t min, std::int64_t max) {
  auto ascii = TrimmedAscii(text);
  if (!ascii || ascii->empty())
    return std::nullopt;
  size_t i = 0;
  bool negative = false;
  if ((*ascii)[0] == '+' || (*ascii)[0] == '-') {
    negative = (*ascii)[0] == '-';
    i = 1;
  }
  if (i == ascii->size())
    return std::nullopt;
  // The magnitude, stopped before it can overflow (2^63 still fits).
  const std::uint64_t cap = std::uint64_t{1} << 63;
  std::uint64_t magnitude = 0;
  for (; i < ascii->size(); ++i) {
    char c = (*ascii)[i];
    if (!IsDigit(c))
      return std::nullopt;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    if (magnitude > cap)
      return std::nullopt;
  }
  if (!negative && magnitude == cap)
    return std::nullopt;
  std::int64_t value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < min || value > max)
    return std::nullopt;
  return value;
}

std::optional<bool> ParseBool(const Text& text) {
  auto ascii = TrimmedAscii(text);
  if (!ascii)
    return std::nullopt;
  std::string lower;
  for (char c : *ascii)
    lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  if (lower == "true")
    return true;
  if (lower == "false")
    return false;
  auto number = ParseNumber(text);
  if (!number)
    return std::nullopt;
  return *number != 0.0;
}

Text FormatInteger(std::int64_t value) {
  return FromAscii(std::to_string(value).c_str());
}

Text FormatBool(bool value) {
  return value ? u"True" : u"False";
}

Text FromAscii(const char* text) {
  Text out;
  for (; *text; ++text)
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text)));
  return out;
}

size_t CharacterUnits(const Text& text, size_t at) {
  bool pair = at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF && text[at + 1] >= 0xDC00 &&
              text[at + 1] <= 0xDFFF;
  return pair ? 2 : 1;
}

}  // namespace pinaleaf
