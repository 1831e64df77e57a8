// Another program that holds the clipboard open until it is ended, as
// clipboard managers and remote-desktop clients do for a moment. It opens
// it for a window of its own, and says so through a named event.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  while (!OpenClipboard(window)) Sleep(5);
  SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"PinaleafClipboardHeld"));
  Sleep(INFINITE);
  return 0;
}
