// Stands in for the desktop's mail program: writes the command line the
// shell gave it, as UTF-8, to shell.log beside itself, a line each.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t exe[MAX_PATH];
  std::wstring log(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
  static char line[65536];
  int length = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof(line), nullptr, nullptr);
  line[length - 1] = '\n';  // in place of the terminator
  FILE* file = _wfopen((log.substr(0, log.find_last_of(L"\\/") + 1) + L"shell.log").c_str(), L"ab");
  fwrite(line, 1, static_cast<size_t>(length), file);
  return fclose(file);
}
