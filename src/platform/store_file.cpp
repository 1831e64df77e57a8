#include "platform/store_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <utility>

namespace platform::store {
namespace {

// The character at `at`, moving past it; a byte that starts no valid
// sequence (overlong, a surrogate, past U+10FFFF, cut short) reads as
// U+FFFD on its own.
char32_t ReadUtf8(std::string_view bytes, size_t& at) {
  const auto lead = static_cast<unsigned char>(bytes[at++]);
  if (lead < 0x80)
    return lead;
  const size_t more = lead >= 0xF8 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (more == 0 || at + more > bytes.size())
    return kReplacement;
  char32_t code = lead & (0x3Fu >> more);
  for (size_t i = 0; i < more; ++i) {
    const auto next = static_cast<unsigned char>(bytes[at + i]);
    if ((next & 0xC0) != 0x80)
      return kReplacement;
    code = code << 6 | (next & 0x3Fu);
  }
  constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (code < kLeast[more] || code > 0x10FFFF || IsSurrogate(code))
    return kReplacement;
  at += more;
  return code;
}

void AppendUtf16(Text& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
    return;
  }
  code -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (code >> 10));
  out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

std::string Escape(const Text& value) {
  std::string out;
  for (size_t at = 0; at < value.size();) {
    char32_t code = ReadUtf16(value, at);
    if (code == '\\') {
      out += "\\\\";
    } else if (code == '\n') {
      out += "\\n";
    } else if (code == '\r') {
      out += "\\r";
    } else if (code == '\t') {
      out += "\\t";
    } else if (code < 0x20 || (code >= 0x7F && code < 0xA0) || IsSurrogate(code)) {
      std::string hex;
      do {
        hex.insert(hex.begin(), "0123456789ABCDEF"[code % 16]);
        code /= 16;
      } while (code != 0);
      out += "\\u{" + hex + "}";
    } else {
      AppendUtf8(out, code);
    }
  }
  return out;
}

// The character the escape at `at` stands for, moving past it; none for an
// unknown or broken one, which then reads as it stands.
std::optional<char32_t> ReadEscape(std::string_view bytes, size_t& at) {
  constexpr std::pair<char, char32_t> kLetters[] = {{'\\', U'\\'}, {'n', U'\n'}, {'r', U'\r'}, {'t', U'\t'}};
  const char kind = at + 1 < bytes.size() ? bytes[at + 1] : '\0';
  for (auto [letter, code] : kLetters) {
    if (kind == letter) {
      at += 2;
      return code;
    }
  }
  if (kind != 'u' || bytes.substr(at + 2, 1) != "{")
    return std::nullopt;
  // Looking no further than six digits keeps a long line of "\u{" linear.
  const std::string_view digits = bytes.substr(at + 3, 7);
  const size_t length = digits.find('}');
  std::uint32_t code = 0;
  if (length == std::string_view::npos || length == 0 ||
      std::from_chars(digits.data(), digits.data() + length, code, 16).ptr != digits.data() + length || code > 0x10FFFF)
    return std::nullopt;
  at += 4 + length;
  return code;
}

Text Unescape(std::string_view bytes) {
  Text out;
  for (size_t at = 0; at < bytes.size();) {
    std::optional<char32_t> escaped;
    if (bytes[at] == '\\')
      escaped = ReadEscape(bytes, at);
    AppendUtf16(out, escaped ? *escaped : ReadUtf8(bytes, at));
  }
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Where a key stands in the file.
struct Place {
  bool found = false;
  size_t valueBegin = 0, valueEnd = 0;
  // Just past the header or last value line of the first section of that
  // name, where a new key goes; none when there is no such section.
  std::optional<size_t> sectionEnd;
};

// The first value line of `key` in any section named `header`. A "[" line
// without its "]" names no section, so what follows it is found nowhere.
Place Locate(std::string_view file, std::string_view header, std::string_view key) {
  Place place;
  bool inSection = false, inFirst = false;
  // A byte-order mark that an editor may have put first is passed over.
  for (size_t begin = file.starts_with("\xEF\xBB\xBF") ? 3 : 0; begin < file.size();) {
    const size_t newline = std::min(file.find('\n', begin), file.size());
    const size_t next = std::min(newline + 1, file.size());
    std::string_view line = file.substr(begin, newline - begin);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    const size_t equals = line.find('=');
    if (line.starts_with('[')) {
      inSection = line.ends_with(']') && SameName(line.substr(1, line.size() - 2), header);
      inFirst = inSection && !place.sectionEnd;
      if (inFirst)
        place.sectionEnd = next;
    } else if (inSection && equals != std::string_view::npos && !line.starts_with('#') && !line.starts_with(';')) {
      if (SameName(line.substr(0, equals), key)) {
        place.found = true;
        place.valueBegin = begin + equals + 1;
        place.valueEnd = begin + line.size();
        return place;
      }
      if (inFirst)
        place.sectionEnd = next;
    }
    begin = next;
  }
  return place;
}

std::string HeaderBytes(const Text& app, const Text& section) {
  return ToUtf8(app + u"\\" + section);
}

}  // namespace

std::optional<Text> Find(const std::string& fileBytes, const Text& app, const Text& section, const Text& key) {
  Place place = Locate(fileBytes, HeaderBytes(app, section), ToUtf8(key));
  if (!place.found)
    return std::nullopt;
  return Unescape(std::string_view(fileBytes).substr(place.valueBegin, place.valueEnd - place.valueBegin));
}

std::string Put(const std::string& fileBytes, const Text& app, const Text& section, const Text& key,
                const Text& value) {
  const std::string header = HeaderBytes(app, section), name = ToUtf8(key);
  if (name.find_first_of("\n=") != std::string::npos || name.find_first_of("#;[") == 0 ||
      header.find('\n') != std::string::npos)
    return fileBytes;
  const Place place = Locate(fileBytes, header, name);
  std::string out = fileBytes;
  if (place.found) {
    out.replace(place.valueBegin, place.valueEnd - place.valueBegin, Escape(value));
    return out;
  }
  const size_t at = place.sectionEnd.value_or(out.size());
  std::string lines;
  if (at > 0 && out[at - 1] != '\n')
    lines += '\n';
  if (!place.sectionEnd)
    lines += "[" + header + "]\n";
  lines += name + "=" + Escape(value) + "\n";
  out.insert(at, lines);
  return out;
}

}  // namespace platform::store
