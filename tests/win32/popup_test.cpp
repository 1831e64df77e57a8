// The shared popup menu on real windows: right clicks, the text box's own
// menu kept shut, choosing entries, the last-note question and quitting.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

class Popup : public ::testing::Test {
 protected:
  void SetUp() override { harness::Reset(); }
  void TearDown() override { harness::Reset(); }
};

std::wstring ItemText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

// A right press in the text area, the popup handled by `whileOpen`, then the
// release. Returns whether a popup was seen.
bool RightClickWithPopup(HWND text, std::function<void(HWND menu)> whileOpen) {
  bool seen = false;
  harness::RunSoon(300, [&] {
    HWND menu = harness::VisibleWindowOfClass(L"#32768");
    seen = menu != nullptr;
    if (menu) {
      whileOpen(menu);
    }
  });
  POINT at = harness::CentreOf(text);
  harness::MouseAt(at, MOUSEEVENTF_RIGHTDOWN);
  harness::Pump(600);
  harness::MouseAt(at, MOUSEEVENTF_RIGHTUP);
  harness::Pump(200);
  return seen;
}

TEST_F(Popup, RightClickOpensTheProgramsMenuAndNeverTheTextBoxes) {
  HWND note = harness::StartNote();
  HWND text = harness::TextAreaOf(note);
  SetForegroundWindow(note);
  harness::Pump(100);

  bool disabledWhileOpen = false;
  int items = 0;
  std::wstring first, last;
  bool opened = RightClickWithPopup(text, [&](HWND menu) {
    auto hmenu = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    items = GetMenuItemCount(hmenu);
    first = ItemText(hmenu, 0);
    last = ItemText(hmenu, 26);
    disabledWhileOpen = !IsWindowEnabled(text);
    EndMenu();
  });
  ASSERT_TRUE(opened);
  EXPECT_EQ(items, 27);
  EXPECT_EQ(first, L"Cut\tCtrl+X");
  EXPECT_EQ(last, L"Quit (Remove All Notes)\tCtrl+Q");
  EXPECT_TRUE(disabledWhileOpen);
  EXPECT_TRUE(IsWindowEnabled(text));
  // The release went to the text box, which asked for its own menu: nothing.
  EXPECT_EQ(harness::VisibleWindowOfClass(L"#32768"), nullptr);

  // Shift+F10 and a context-menu request sent directly open nothing either;
  // a menu that did open would be closed here, and counted.
  bool menuOpened = false;
  harness::RunSoon(400, [&] {
    if (HWND menu = harness::VisibleWindowOfClass(L"#32768")) {
      menuOpened = true;
      EndMenu();
      (void)menu;
    }
  });
  SetFocus(text);
  harness::PressKeys({VK_SHIFT, VK_F10});
  harness::Pump(200);
  EXPECT_EQ(SendMessageW(text, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(text), MAKELPARAM(-1, -1)), 1);
  harness::Pump(400);
  EXPECT_FALSE(menuOpened);
}

TEST_F(Popup, EntriesChosenFromTheRealMenuCreateAndToggle) {
  HWND note = harness::StartNote();
  HWND text = harness::TextAreaOf(note);
  SetForegroundWindow(note);
  harness::Pump(100);

  // "Create New Note" is the sixth entry that can be chosen.
  ASSERT_TRUE(RightClickWithPopup(text, [](HWND menu) { harness::ChooseFromMenu(menu, 6); }));
  auto forms = platform::LoadedForms();  // note, menu host, new note
  ASSERT_EQ(forms.size(), 3u);
  HWND second = harness::ToHwnd(forms[2]);
  RECT a, b;
  GetWindowRect(note, &a);
  GetWindowRect(second, &b);
  EXPECT_EQ(b.left - a.left, 33);  // 500 twips at 96 dpi
  EXPECT_EQ(b.top - a.top, 33);
  EXPECT_TRUE(IsWindowVisible(second));
  EXPECT_TRUE(GetWindowLongW(second, GWL_EXSTYLE) & WS_EX_TOPMOST);

  // "Always On Top", fourth from the end, on the first note...
  ASSERT_TRUE(RightClickWithPopup(text, [](HWND menu) { harness::ChooseFromMenu(menu, -4); }));
  EXPECT_FALSE(GetWindowLongW(note, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongW(second, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(harness::ReadInAnotherProcess(L"AlwaysOnTop"), L"False");
  // ...shows unchecked in the second note's popup.
  UINT state = 0;
  ASSERT_TRUE(RightClickWithPopup(harness::TextAreaOf(second), [&](HWND menu) {
    auto hmenu = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    state = GetMenuState(hmenu, 22, MF_BYPOSITION);
    EndMenu();
  }));
  EXPECT_FALSE(state & MF_CHECKED);
}

TEST_F(Popup, AltF4OnTheOnlyNoteAsksTheLastNoteQuestion) {
  HWND note = harness::StartNote();
  SetForegroundWindow(note);
  harness::Pump(100);
  SetFocus(harness::TextAreaOf(note));

  std::wstring prompt, title;
  bool yesIsDefault = false;
  harness::RunSoon(300, [&] {
    if (HWND box = harness::VisibleWindowOfClass(L"#32770")) {
      wchar_t buffer[256] = {};
      GetDlgItemTextW(box, 0xFFFF, buffer, 256);
      prompt = buffer;
      GetWindowTextW(box, buffer, 256);
      title = buffer;
      yesIsDefault = (GetWindowLongW(GetDlgItem(box, IDYES), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
      PostMessageW(box, WM_COMMAND, IDNO, 0);
    }
  });
  harness::PressKeys({VK_MENU, VK_F4});
  harness::Pump(800);
  EXPECT_EQ(prompt, L"This is the last note. Would you like to quit?");
  EXPECT_EQ(title, L"Quit?");
  EXPECT_TRUE(yesIsDefault);
  // No: the note stays.
  EXPECT_TRUE(IsWindow(note));
  EXPECT_TRUE(IsWindowVisible(note));
}

struct FoundNote {
  DWORD pid;
  HWND note;
};

BOOL CALLBACK FindNoteOf(HWND hwnd, LPARAM lParam) {
  auto* found = reinterpret_cast<FoundNote*>(lParam);
  DWORD pid = 0;
  wchar_t name[64];
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == found->pid && IsWindowVisible(hwnd) && GetClassNameW(hwnd, name, 64) &&
      wcscmp(name, L"PinaleafForm") == 0) {
    found->note = hwnd;
    return FALSE;
  }
  return TRUE;
}

TEST_F(Popup, QuitEndsTheProgramWithoutWritingAnything) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command(exe);
  command.resize(command.find_last_of(L"\\/") + 1);
  command = L"\"" + command + L"pinaleaf.exe\"";
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));

  FoundNote found = {pi.dwProcessId, nullptr};
  for (int i = 0; i < 100 && !found.note; ++i) {
    harness::Pump(50);
    EnumWindows(FindNoteOf, reinterpret_cast<LPARAM>(&found));
  }
  ASSERT_TRUE(found.note);
  harness::Pump(200);

  POINT at = harness::CentreOf(GetWindow(found.note, GW_CHILD));
  harness::MouseAt(at, MOUSEEVENTF_RIGHTDOWN);
  harness::MouseAt(at, MOUSEEVENTF_RIGHTUP);
  HWND menu = nullptr;
  for (int i = 0; i < 60 && !menu; ++i) {
    harness::Pump(50);
    menu = harness::VisibleWindowOfClass(L"#32768", pi.dwProcessId);
  }
  ASSERT_TRUE(menu);
  // The press recorded the note; from here on nothing may be written.
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  harness::ChooseFromMenu(menu, -1);
  harness::Pump(400);

  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  HKEY key;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Pinaleaf", 0, KEY_READ, &key), ERROR_SUCCESS);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace
