// Entry point of the Windows program: start-up note, then the message loop.
#include "platform/win32/win32.h"

#include "notes/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_DATE_CLASSES;
  InitCommonControlsEx(&controls);

  pinaleaf::StartProgram();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (platform::win32::HandleDialogKeys(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
