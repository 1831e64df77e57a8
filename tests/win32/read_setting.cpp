// read_setting KEY OUTFILE: writes the value stored under
// HKCU\Software\Pinaleaf\1.0\KEY to OUTFILE as UTF-16 (empty when missing).
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  std::wstring value(4096, L'\0');
  DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  LONG status = RegGetValueW(HKEY_CURRENT_USER, L"Software\\Pinaleaf\\1.0", argv[1], RRF_RT_REG_SZ, nullptr,
                             value.data(), &bytes);
  value.resize(status == ERROR_SUCCESS && bytes >= sizeof(wchar_t) ? bytes / sizeof(wchar_t) - 1 : 0);
  FILE* out = _wfopen(argv[2], L"wb");
  if (!out) return 3;
  fwrite(value.data(), sizeof(wchar_t), value.size(), out);
  fclose(out);
  return 0;
}
