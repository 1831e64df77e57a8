// The settings store's file as text, apart from the disk so that it can be
// tested and fuzzed. UTF-8 lines: "[App\Section]" headers, "Key=value"
// lines, blank lines and "#" or ";" comments. Names match whatever their
// ASCII letter case. In a value, \\ \n \r \t and \u{HHHH} stand for what
// plain text cannot show (control characters, lone surrogates), so any
// UTF-16 text comes back exactly as it was written.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace platform::store {

// The value of `key` under "[app\section]", or none when the file has none.
std::optional<Text> Find(const std::string& fileBytes, const Text& app, const Text& section, const Text& key);

// The whole file again with that one value set, every other line as it was.
// A key the file cannot hold (a new line or "=" in it, or a comment's or a
// header's first character) leaves the file unchanged.
std::string Put(const std::string& fileBytes, const Text& app, const Text& section, const Text& key, const Text& value);

}  // namespace platform::store

// UTF-8, which the file is written in, for whoever needs it: written here
// once, in the header, so that a program without the file links no more.
namespace platform::store {

constexpr char32_t kReplacement = 0xFFFD;

constexpr bool IsSurrogate(char32_t code) {
  return code >= 0xD800 && code < 0xE000;
}

// The character at `at`, moving past it; a lone surrogate stands for itself.
inline char32_t ReadUtf16(const Text& text, size_t& at) {
  char32_t unit = text[at++];
  if (unit >= 0xD800 && unit < 0xDC00 && at < text.size() && text[at] >= 0xDC00 && text[at] < 0xE000)
    return 0x10000 + ((unit - 0xD800) << 10) + (text[at++] - 0xDC00);
  return unit;
}

inline void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
    return;
  }
  const int more = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
  constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[more] | (code >> (6 * more)));
  for (int shift = 6 * (more - 1); shift >= 0; shift -= 6)
    out += static_cast<char>(0x80 | ((code >> shift) & 0x3F));
}

}  // namespace platform::store

namespace platform {

// The text in UTF-8 (names in the file are never escaped); a lone surrogate,
// which has no UTF-8 form, becomes U+FFFD.
inline std::string ToUtf8(const Text& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    char32_t code = store::ReadUtf16(text, at);
    store::AppendUtf8(out, store::IsSurrogate(code) ? store::kReplacement : code);
  }
  return out;
}

}  // namespace platform
