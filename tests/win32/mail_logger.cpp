// Stands in for the desktop's mail program: writes the command line the
// shell gave it, as UTF-8, to shell.log beside itself.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t exe[MAX_PATH];
  std::wstring log(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
  log = log.substr(0, log.find_last_of(L"\\/") + 1) + L"shell.log";
  std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
  std::string bytes(line.size() * 4, '\0');
  int length = static_cast<int>(line.size()), room = static_cast<int>(bytes.size());
  bytes.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_UTF8, 0, line.c_str(), length, bytes.data(), room, nullptr, nullptr)));
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                            nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
