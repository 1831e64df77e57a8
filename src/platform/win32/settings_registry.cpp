// The settings store on Windows: REG_SZ values under
// HKEY_CURRENT_USER\Software\<app>\<section>. The key stays open, since the
// active-note record is written on every mouse move.
#include <map>
#include <utility>

#include "platform/win32/win32.h"

namespace platform {
using win32::W;
namespace {

std::map<std::pair<Text, Text>, HKEY> g_keys;

Text KeyPath(const Text& app, const Text& section) {
  return u"Software\\" + app + u"\\" + section;
}

// The open key, or null when it does not exist and `create` is false.
HKEY OpenSection(const Text& app, const Text& section, bool create) {
  auto id = std::make_pair(app, section);
  if (auto it = g_keys.find(id); it != g_keys.end())
    return it->second;
  HKEY key = nullptr;
  LONG status =
      create ? RegCreateKeyExW(HKEY_CURRENT_USER, W(KeyPath(app, section)), 0, nullptr, 0,
                               KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr)
             : RegOpenKeyExW(HKEY_CURRENT_USER, W(KeyPath(app, section)), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
  if (status != ERROR_SUCCESS)
    return nullptr;
  g_keys[id] = key;
  return key;
}

void Forget(const Text& app, const Text& section) {
  auto it = g_keys.find({app, section});
  if (it == g_keys.end())
    return;
  RegCloseKey(it->second);
  g_keys.erase(it);
}

}  // namespace

// Anything that is not a string value reads as empty, like a missing key.
Text ReadStoredValue(const Text& app, const Text& section, const Text& key) {
  std::wstring buffer(64, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    HKEY hkey = OpenSection(app, section, false);
    if (!hkey)
      return {};
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    LONG status = RegQueryValueExW(hkey, W(key), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (status == ERROR_MORE_DATA) {
      buffer.assign(bytes / sizeof(wchar_t) + 2, L'\0');
      continue;
    }
    if (status == ERROR_KEY_DELETED) {
      Forget(app, section);  // removed and perhaps made again by another copy
      continue;
    }
    if (status != ERROR_SUCCESS || type != REG_SZ)
      return {};
    size_t length = bytes / sizeof(wchar_t);
    while (length > 0 && buffer[length - 1] == L'\0')
      --length;
    return Text(reinterpret_cast<const char16_t*>(buffer.data()), length);
  }
  return {};
}

void WriteStoredValue(const Text& app, const Text& section, const Text& key, const Text& value) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    HKEY hkey = OpenSection(app, section, true);
    if (!hkey)
      return;
    LONG status = RegSetValueExW(hkey, W(key), 0, REG_SZ, reinterpret_cast<const BYTE*>(W(value)),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
    if (status != ERROR_KEY_DELETED)
      return;
    Forget(app, section);  // removed behind our back: create it again
  }
}

}  // namespace platform
