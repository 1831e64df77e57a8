// Entry point of the Windows program: start-up note, then the message loop.
#include "platform/win32/win32.h"

#include <cstdlib>

#include "notes/program.h"

// The library's own terminate handler prints the demangled type of the
// exception; its demangler alone is a tenth of the program, and a program
// without a console has nowhere to print it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

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
