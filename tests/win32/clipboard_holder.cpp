// Another program that holds the clipboard open, as clipboard managers and
// remote-desktop clients do for a moment: for the milliseconds given, or
// until it is ended. It opens it for a window of its own, and says so
// through a named event.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR ms, int) {
  HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  while (!OpenClipboard(window))
    Sleep(5);
  SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"PinaleafClipboardHeld"));
  Sleep(*ms ? _wtoi(ms) : INFINITE);
  CloseClipboard();
  return 0;
}
