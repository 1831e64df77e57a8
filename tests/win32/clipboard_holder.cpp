// Another program that holds the clipboard open, as clipboard managers and
// remote-desktop clients do for a moment: for the milliseconds given, unless
// it is ended first. It opens it for a window of its own, which keeps every
// other program out.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR ms, int) {
  HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  while (!OpenClipboard(window))
    Sleep(5);
  Sleep(_wtoi(ms));
  CloseClipboard();
  return 0;
}
