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

namespace platform {

// The text in UTF-8 (names in the file are never escaped); a lone surrogate,
// which has no UTF-8 form, becomes U+FFFD.
std::string ToUtf8(const Text& text);

}  // namespace platform
