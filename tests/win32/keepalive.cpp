// A program that only waits on its message queue, so that Wine's desktop
// stays up between test processes. Ended by wineserver -k.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
  }
  return 0;
}
