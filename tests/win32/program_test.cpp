// The real program as the user meets it, a process of its own: real keys and
// mouse from where the user starts (a click, a right click, a shortcut), and
// what happened read from outside: the text that arrived, which window and
// control have the keyboard, the windows on the screen, the exit code.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

using namespace harness;

std::wstring Today() {
  wchar_t date[64];
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64);
  return date;
}

HWND TextOf(HWND note) { return GetWindow(note, GW_CHILD); }
RECT RectOf(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return rc;
}

// A right click at `at`, then keys to the popup. Under Wine a pointer move
// over a popup clears its selection: the pointer moves off first.
void Popup(const Program& program, POINT at, std::initializer_list<WORD> keys) {
  ClickAt(at, true);
  ASSERT_TRUE(WaitUntil([&] { return program.Popup() != nullptr; }, 3000)) << "no popup";
  MouseAt({at.x - 5, at.y - 5});
  for (WORD key : keys) Keys({key});
  WaitUntil([&] { return program.Popup() == nullptr; }, 3000);
}

constexpr WORD D = VK_DOWN, U = VK_UP;

TEST(TheProgram, KeepsTheKeyboardWhereTheUserTypesAndEndsWritingNothing) {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  Program program;
  ASSERT_EQ(program.Notes().size(), 1u);
  HWND note = program.Notes()[0], text = TextOf(note);
  RECT rc = RectOf(note);
  EXPECT_EQ(std::tuple(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top), std::tuple(135, 137, 133, 157));
  POINT at = CentreOf(text);
  ClickAt(at);
  Type(L"one");
  Popup(program, at, {VK_ESCAPE});  // dismissed
  Type(L" two");
  EXPECT_EQ(std::pair(harness::TextOf(text), program.Focus()), std::pair(std::wstring(L"one two"), text));
  Popup(program, at, {D, D, D, D, D, D, D, D, D, D, D, D, VK_RETURN});  // "Insert Date": the caret to the start
  Type(L"<");
  EXPECT_EQ(harness::TextOf(text), L"<one two" + Today());
  Popup(program, at, {U, U, U, U, VK_RETURN});  // "Always On Top", off
  Type(L">");
  EXPECT_EQ(harness::TextOf(text).substr(0, 2), L"<>");
  EXPECT_EQ(std::pair(program.Active(), Stored(L"AlwaysOnTop")), std::pair(note, std::wstring(L"False")));
  EXPECT_FALSE(GetWindowLongW(note, GWL_EXSTYLE) & WS_EX_TOPMOST);

  Popup(program, at, {D, D, D, D, D, D, VK_RETURN});  // "Create New Note": the keyboard goes with it
  ASSERT_TRUE(WaitUntil([&] { return program.Notes().size() == 2; }, 3000));
  HWND second = program.Notes()[1];
  RECT r2 = RectOf(second);
  EXPECT_EQ(std::pair(r2.left - rc.left, r2.top - rc.top), std::pair(33L, 33L));
  Type(L"new");
  EXPECT_EQ(harness::TextOf(TextOf(second)), L"new");
  // Dragged by the strip, then by its text area's corner.
  Drag({r2.left + 60, r2.top + 10}, {r2.left + 160, r2.top + 90});
  r2 = RectOf(second);
  EXPECT_EQ(std::pair(r2.left - rc.left, r2.top - rc.top), std::pair(133L, 113L));
  Drag({r2.right - 2, r2.bottom - 2}, {r2.left + 198, r2.top + 264});
  RECT r3 = RectOf(second);
  EXPECT_EQ(std::tuple(r3.left, r3.right - r3.left, r3.bottom - r3.top), std::tuple(r2.left, 200L, 266L));

  // Ctrl+N and Ctrl+D; on the only note Ctrl+D asks, and Yes ends it.
  ClickAt(CentreOf(TextOf(second)));
  Keys({VK_CONTROL, 'N'});
  ASSERT_TRUE(WaitUntil([&] { return program.Notes().size() == 3; }, 3000));
  for (HWND gone : {program.Notes()[2], second}) {
    ClickAt(CentreOf(TextOf(gone)));
    Keys({VK_CONTROL, 'D'});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(gone); }, 3000));
  }
  ClickAt(at);
  std::wstring before = Stored(L"ActivehWnd") + Stored(L"TransCount") + Stored(L"AlwaysOnTop");
  Keys({VK_CONTROL, 'D'});
  ASSERT_TRUE(WaitUntil([&] { return program.MessageBox() != nullptr; }, 3000)) << "no question";
  EXPECT_EQ(harness::TextOf(program.MessageBox()), L"Quit?");
  Keys({VK_RETURN});  // Yes, the default
  EXPECT_EQ(program.ExitCode(10000), 0u);
  EXPECT_EQ(Stored(L"ActivehWnd") + Stored(L"TransCount") + Stored(L"AlwaysOnTop"), before);
}

TEST(Forms, TakeTheKeyboardAndComeForwardWhenAskedForAgain) {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  RegisterMailLogger();
  Program program;
  HWND text = TextOf(program.Notes().at(0));
  ClickAt(CentreOf(text));
  Type(L"Milk & eggs");
  Keys({VK_CONTROL, 'E'});
  HWND email = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (email = program.Window(L"E-mail Note")) != nullptr; }, 3000));
  HWND combo = FindWindowExW(email, nullptr, L"ComboBox", nullptr);
  HWND send = FindWindowExW(email, nullptr, L"Button", L"Send");
  EXPECT_EQ(std::pair(program.Active(), GetParent(program.Focus())), std::pair(email, combo));
  Type(L"anna@example.com");
  Keys({VK_TAB});
  EXPECT_EQ(program.Focus(), send);
  Keys({VK_SPACE});
  const std::string url = "mailto:anna@example.com?Subject=Milk%20&Body=Milk%20%26%20eggs";
  EXPECT_TRUE(WaitUntil([&] { return MailLog().find(url) != std::string::npos; }, 10000)) << "no mail program";
  ClickAt(CentreOf(text));
  Keys({VK_CONTROL, 'E'});  // shown already, behind the note: forward, the keyboard on Send
  EXPECT_EQ(std::pair(program.Active(), program.Focus()), std::pair(email, send));

  ClickAt(CentreOf(text));
  Keys({VK_CONTROL, 'R'});
  HWND reminder = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (reminder = program.Window(L"Reminder")) != nullptr; }, 3000));
  EXPECT_EQ(program.Focus(), FindWindowExW(reminder, nullptr, L"SysMonthCal32", nullptr));
  Keys({VK_TAB});
  Keys({VK_TAB});
  Keys({VK_SPACE});
  EXPECT_EQ(harness::TextOf(reminder), L"Reminder [Enabled]");
  Keys({VK_MENU, VK_F4});  // armed: the close box only hides it
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(reminder); }, 3000));
  EXPECT_TRUE(IsWindow(reminder));

  // The standard dialogs from their keys, left with Esc, or with a name and
  // Enter: the keyboard is back in the note.
  std::wstring saved = Beside(L"typed.txt");
  DeleteFileW(saved.c_str());
  for (WORD key : {'F', 'O', 'S'}) {
    ClickAt(CentreOf(text));
    Keys({VK_CONTROL, key});
    ASSERT_TRUE(WaitUntil([&] { return program.MessageBox() != nullptr; }, 5000)) << char(key);
    if (key == 'S') Type(saved);
    Keys({key == 'S' ? WORD{VK_RETURN} : WORD{VK_ESCAPE}});
    EXPECT_TRUE(WaitUntil([&] { return program.MessageBox() == nullptr; }, 5000)) << char(key);
    Type(L"!");
  }
  EXPECT_EQ(harness::TextOf(text), L"Milk & eggs!!!");
  EXPECT_EQ(Bytes(saved), "Milk & eggs!!");
}

// Every kind of bad text in every key at once: the program still starts,
// makes and closes a note, opens both dialogs and quits.
TEST(BadSettings, NeverStopTheProgram) {
  std::wstring longText;
  while (longText.size() < 10240) longText += L"Lorem ipsum, dolor sit amet 0123456789. ";
  int round = 0;
  for (const std::wstring& bad : {std::wstring(L"<missing>"), std::wstring(), std::wstring(L"abc"),
                                  std::wstring(L"-1"), std::wstring(L"99999999999"), std::wstring(L"1e309"),
                                  std::wstring(L" True"), std::wstring(L"\u65E5\u672C,x"), longText}) {
    SCOPED_TRACE(testing::Message() << "value of " << bad.size() << " characters");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
    for (const wchar_t* key : {L"ActivehWnd", L"TextColor", L"Bold", L"Italic", L"Underline", L"Strikethru",
                               L"Font", L"Size", L"AlwaysOnTop", L"Translucency", L"TransCount", L"EmailAddresses",
                               L"ReminderDay", L"ReminderMonth", L"ReminderYear", L"ReminderHours",
                               L"ReminderMinutes", L"ReminderSeconds"}) {
      if (bad != L"<missing>") Store(key, bad);
    }
    Program program;
    ASSERT_EQ(program.Notes().size(), 1u);
    POINT at = CentreOf(TextOf(program.Notes()[0]));
    Popup(program, at, {D, D, D, D, D, D, VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return program.Notes().size() == 2; }, 3000));
    Popup(program, CentreOf(TextOf(program.Notes()[1])), {D, D, D, D, D, D, D, VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return program.Notes().size() == 1; }, 3000));
    // Each form comes up with the keyboard before the user goes back to the note.
    for (auto [key, title] : {std::pair{'E', L"E-mail Note"}, std::pair{'R', L"Reminder"}}) {
      ClickAt(at);
      Keys({VK_CONTROL, static_cast<WORD>(key)});
      EXPECT_TRUE(WaitUntil([&] { return program.Active() && program.Active() == program.Window(title); }, 3000));
    }
    if (++round % 2) {
      Popup(program, at, {U, VK_RETURN});  // "Quit (Remove All Notes)"
    } else {  // the last note's question comes with the forms open too
      ClickAt(at);
      Keys({VK_CONTROL, 'D'});
      ASSERT_TRUE(WaitUntil([&] { return program.MessageBox() != nullptr; }, 3000));
      Keys({VK_RETURN});
    }
    EXPECT_EQ(program.ExitCode(10000), 0u);
  }
}

}  // namespace
