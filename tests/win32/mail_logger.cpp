// Stands in for the desktop's mail program: writes the command line the
// shell gave it, as UTF-8, to shell.log beside itself, a line each.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t log[MAX_PATH];
  GetModuleFileNameW(nullptr, log, MAX_PATH);
  wcscpy(wcsrchr(log, L'\\') + 1, L"shell.log");  // no longer than this program's name
  static char line[65536];
  WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
  FILE* file = _wfopen(log, L"ab");
  fprintf(file, "%s\n", line);
  return fclose(file);
}
