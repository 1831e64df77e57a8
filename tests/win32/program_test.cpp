// The real program as the user meets it, a process of its own: real keys and
// mouse from where the user starts (a click, a right click, a shortcut), and
// what happened judged from outside: what the screen shows (screen.h), the
// clipboard, files, the settings store, the exit code.
#include <ctime>
#include <fstream>
#include <set>

#include "harness.h"

namespace {

using namespace harness;

constexpr WORD D = VK_DOWN, U = VK_UP;

// Where the user clicks into the first note: the middle of its text area.
constexpr POINT kText = {201, 227};

std::string Today() {
  char date[64];
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64);
  return date;
}

// A right click at `at`, then keys to the popup, the last one Enter or Esc;
// with `holdMs`, another program holds the clipboard as that key goes. Under
// Wine a pointer move over a popup clears its selection: the pointer moves off first.
void Popup(const Program& program, std::initializer_list<WORD> keys, int holdMs = 0, POINT at = kText) {
  ClickAt(at, true);
  ASSERT_TRUE(WaitUntil([&] { return program.Popup() != nullptr; }, 3000)) << "no popup";
  MouseAt({at.x - 5, at.y - 5});
  for (const WORD* key = keys.begin(); key != keys.end(); ++key) {
    if (holdMs && key + 1 == keys.end()) HoldClipboard(holdMs);
    Keys({*key});
  }
  WaitUntil([&] { return program.Popup() == nullptr; }, 3000);
}

// This program puts text on the clipboard, as another program would.
void PutOnClipboard(const std::wstring& text) { ASSERT_TRUE(platform::ClipboardPut({}, {text.begin(), text.end()})); }

const char kPopup[] = R"~(
#32768 items=27
  "Cut" "Ctrl+X"
  "Copy" "Ctrl+C"
  "Paste" "Ctrl+V"
  "Select All" "Ctrl+A"
  ----
  "Set Reminder" "Ctrl+R"
  ----
  "Create New Note" "Ctrl+N"
  "Delete This Note" "Ctrl+D"
  ----
  "Font..." "Ctrl+F"
  "Color..." "Ctrl+O"
  ----
  "Email Note" "Ctrl+E"
  "Save Note to File" "Ctrl+S"
  ----
  "Insert Date" "Ctrl+F1"
  "Insert Time" "Ctrl+F2"
  ----
  "Defeault Translucency"
  "Increase Translucency"
  "Decrease Translucency"
  "Always On Top" checked
  ----
  "Email Author Suggestions / Bugs"
  "Goto Pinaleaf.example"
  "Quit (Remove All Notes)" "Ctrl+Q")~";

TEST(Note, LooksAsDesignedAndOpensOnlyTheProgramsPopup) {
  Program program;
  // Light yellow, translucent, topmost, no taskbar button; Arial 9 pt, and the keyboard, in its text area.
  EXPECT_TRUE(program.Shows(R"(
PinaleafForm "Form1" at=135,137 size=133x157 client=133x157 style=POPUP|CLIPCHILDREN|CLIPSIBLINGS ex=TOPMOST|TOOLWINDOW|LAYERED alpha=200 shown z=0 active colours=#FFFFC0
  Edit "" at=0,24 size=133x133 shown enabled focus font="Arial 9pt" colours=#FFFFC0)"));
  ClickAt(kText);
  // Shift+F10 and the menu key open no menu: what is typed after them arrives.
  Type(L"a");
  Keys({VK_SHIFT, VK_F10});
  Type(L"b");
  Keys({VK_APPS});
  Type(L"c");
  EXPECT_TRUE(program.Shows("PinaleafForm\n  Edit \"abc\" enabled focus"));
  EXPECT_EQ(program.Popup(), nullptr);
  // A right click, on the text or on the strip above it, opens the program's popup.
  for (POINT click : {kText, POINT{kText.x, 149}}) {
    ClickAt(click, true);
    EXPECT_TRUE(program.Shows(kPopup));
    ClickAt({click.x + 30, click.y + 10}, true);  // a right click on "Cut" chooses nothing
    EXPECT_NE(program.Popup(), nullptr);
    Keys({VK_ESCAPE});
  }
  // Only Ctrl+N makes a note, over the first, with the keyboard.
  Keys({VK_CONTROL, VK_SHIFT, 'N'});
  Keys({VK_MENU, 'N'});
  Keys({'N'});
  Keys({VK_CONTROL, 'N'});
  EXPECT_TRUE(program.Shows(R"(
PinaleafForm "Form1" at=168,170 size=133x157 ex=TOPMOST|TOOLWINDOW|LAYERED alpha=200 z=0 active colours=#FFFFC0
  Edit "" at=0,24 size=133x133 focus font="Arial 9pt"
PinaleafForm "Form1" at=135,137 z=1
  Edit "abcn")"));
  EXPECT_EQ(program.Notes().size(), 2u);
}

TEST(Note, KeepsTheKeyboardWhereTheUserTypesAndEndsWritingNothing) {
  Program program;
  ClickAt(kText);
  Type(L"one");
  Popup(program, {VK_ESCAPE});
  Type(L" two");
  Keys({VK_CONTROL, VK_F1});  // "Insert Date": the caret to the start
  Type(L"<");
  Popup(program, {U, U, U, U, VK_RETURN});  // "Always On Top", off
  Type(L">");
  EXPECT_TRUE(program.Shows("PinaleafForm \"Form1\" ex=TOOLWINDOW|LAYERED active\n  Edit \"<>one two" + Today() +
                            "\" focus"));
  EXPECT_EQ(Stored(L"AlwaysOnTop"), L"False");
  // "Create New Note": the keyboard goes with it. Dragged by the strip, then by its text area's corner.
  Popup(program, {D, D, D, D, D, D, VK_RETURN});
  Type(L"new");
  EXPECT_TRUE(program.Shows("PinaleafForm at=168,170 size=133x157 ex=TOOLWINDOW|LAYERED active\n  Edit \"new\" focus"));
  Drag({228, 180}, {328, 260});
  Drag({399, 405}, {466, 514});
  EXPECT_TRUE(program.Shows("PinaleafForm at=268,250 size=200x266 active\n  Edit at=0,24 size=200x242 focus"));

  // Ctrl+N and Ctrl+D; Ctrl+Q does nothing; the only note asks before it closes, and Yes ends it.
  Keys({VK_CONTROL, 'N'});
  ASSERT_TRUE(WaitUntil([&] { return program.Notes().size() == 3; }, 3000));
  for (HWND gone : {program.Notes()[0], program.Notes()[1]}) {
    ClickAt(CentreOf(GetWindow(gone, GW_CHILD)));
    Keys({VK_CONTROL, 'D'});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(gone); }, 3000));
  }
  ClickAt(kText);
  std::wstring before = Stored(L"ActivehWnd") + Stored(L"TransCount") + Stored(L"AlwaysOnTop");
  Keys({VK_CONTROL, 'Q'});
  Keys({VK_MENU, VK_F4});
  EXPECT_TRUE(program.Shows(R"(
#32770 "Quit?" active
  Button "&Yes" focus
  Button "&No"
  Static "This is the last note. Would you like to quit?")"));
  Keys({VK_RETURN});  // Yes, the default
  EXPECT_EQ(program.ExitCode(10000), 0u);
  EXPECT_EQ(Stored(L"ActivehWnd") + Stored(L"TransCount") + Stored(L"AlwaysOnTop"), before);
}

// The standard dialogs from their keys; afterwards the keyboard is back in the note.
TEST(Dialogs, OpenAtArialSixteenRepaintTheWholeNoteAndReplaceFilesWithoutAsking) {
  Program program;
  ClickAt(kText);
  Type(L"The quick brown fox jumps\rover the lazy \u65E5. ");
  Keys({VK_CONTROL, 'F'});
  EXPECT_TRUE(program.Shows("#32770 \"Font\" active\n  ComboBox \"Arial\" focus\n  ComboBox \"16\""));
  Keys({VK_ESCAPE});
  Type(L"!");
  // Red, green and blue typed into the colour dialog's own boxes.
  Keys({VK_CONTROL, 'O'});
  ASSERT_TRUE(program.Shows("#32770 \"Color\" active"));
  Keys({VK_MENU, 'D'});
  Keys({VK_MENU, 'R'});
  for (const wchar_t* value : {L"128", L"192", L"255"}) {  // red, green, blue
    Type(value);
    Keys({VK_TAB});
  }
  Keys({VK_RETURN});
  EXPECT_TRUE(program.Shows(R"(
PinaleafForm "Form1" active colours=#80C0FF,#000000
  Edit focus colours=#80C0FF,#000000)"));
  Type(L"!");
  std::wstring path = Beside(L"existing.txt");
  std::ofstream(path.c_str()) << "old content";
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  Keys({VK_CONTROL, 'S'});
  ASSERT_TRUE(program.Shows("#32770 \"Save As\" active"));
  Type(path.substr(0, path.size() - 4));  // the dialog adds ".txt"
  Keys({VK_RETURN});
  // No question: the dialog goes and the file holds the note.
  EXPECT_TRUE(program.Shows("PinaleafForm \"Form1\" active\n  Edit focus"));
  Type(L"!");
  EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);  // replaced, still hidden
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);  // saved again: the user is told, the file stays
  Keys({VK_CONTROL, 'S'});
  Keys({VK_RETURN});
  EXPECT_TRUE(program.Shows("#32770 \"Save Note to File\" active\n  Static \"The note could not be saved to*\""));
  Keys({VK_RETURN});
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  // UTF-8 with a byte-order mark: the note holds a character that ANSI has not.
  EXPECT_EQ(Bytes(path), "\xEF\xBB\xBFThe quick brown fox jumps\r\nover the lazy \xE6\x97\xA5. !!");
  EXPECT_TRUE(program.Shows("PinaleafForm\n  Edit \"The quick brown fox jumps\\r\\nover the lazy \xE6\x97\xA5. !!!\""));
  Keys({VK_CONTROL, 'F'});  // bold and struck out, and stored so for new notes
  Keys({VK_MENU, 'Y'}), Keys({VK_DOWN}), Keys({VK_DOWN});  // Regular, Italic, Bold
  Keys({VK_MENU, 'K'}), Keys({VK_RETURN});
  EXPECT_TRUE(program.Shows("PinaleafForm\n  Edit font=\"Arial 15.75pt bold strikeout\""));  // 16 pt: 21 pixels
  EXPECT_EQ(Stored(L"Bold") + Stored(L"Italic") + Stored(L"Strikethru"), L"TrueFalseTrue");
}

TEST(Clipboard, TakesALongPasteWholeAndWaitsForAnotherProgramToLetGo) {
  Program program;
  ClickAt(kText);
  std::wstring page;
  while (page.size() < 40000) page += L"Lorem ipsum dolor sit amet, 012345678.\r\n";
  PutOnClipboard(page);
  Popup(program, {D, D, D, VK_RETURN});  // "Paste"
  EXPECT_TRUE(program.Shows("PinaleafForm\n  Edit \"Lorem ipsum*\" chars=40000"));
  Keys({VK_CONTROL, 'A'});
  Type(L"note");
  PutOnClipboard(L" and more");
  Popup(program, {D, D, D, VK_RETURN}, 100);  // "Paste" while another program holds it
  EXPECT_TRUE(program.Shows("PinaleafForm\n  Edit \"note and more\""));
}

TEST(Forms, TakeTheKeyboardAndComeForwardWhenAskedForAgain) {
  RegisterMailLogger();
  Program program;
  ClickAt(kText);
  Type(L"Milk & eggs");
  Keys({VK_CONTROL, 'E'});
  EXPECT_TRUE(program.Shows(R"(
PinaleafForm "E-mail Note" client=312x109 style=CAPTION|SYSMENU|CLIPCHILDREN|CLIPSIBLINGS active
  ComboBox "" at=8,32 focus font="Arial 9.75pt"
  Button "Send" at=8,64 size=137x33 font="Arial 9.75pt"
  Button "Cancel" at=152,64 size=149x33 font="Arial 9.75pt"
  Static "Enter e-mail recepients" at=8,8 size=257x17 font="Arial 9.75pt")"));
  Type(L"anna@example.com");
  Keys({VK_TAB});
  EXPECT_TRUE(program.Shows("PinaleafForm \"E-mail Note\"\n  Button \"Send\" focus"));
  Keys({VK_SPACE});
  const std::string url = "mailto:anna@example.com?Subject=Milk%20&Body=Milk%20%26%20eggs";
  EXPECT_TRUE(WaitUntil([&] { return MailLog().find(url) != std::string::npos; }, 10000)) << "no mail program";
  ClickAt(kText);
  Keys({VK_CONTROL, 'E'});  // shown already, behind the note: forward, the keyboard on Send
  EXPECT_TRUE(program.Shows("PinaleafForm \"E-mail Note\" active\n  Button \"Send\" focus"));
  Keys({VK_TAB}), Keys({VK_SPACE}), Keys({VK_CONTROL, 'E'});  // "Cancel", and again: the recipient empty
  EXPECT_TRUE(program.Shows("PinaleafForm \"E-mail Note\" active\n  ComboBox \"\" focus"));

  ClickAt(kText);
  while (std::time(nullptr) % 60 > 50) Sleep(500);  // not across a minute
  std::time_t preset = std::time(nullptr) + 600;
  Keys({VK_CONTROL, 'R'});
  EXPECT_TRUE(program.Shows(R"(
PinaleafForm "Reminder [Milk & eggs]" at=493,271 client=288x324 style=CAPTION|SYSMENU|CLIPCHILDREN|CLIPSIBLINGS active
  Static "Time for Reminder to Go Off:" at=8,8 size=273x17 font="Arial 9.75pt bold"
  Static "Date for Reminder to Go Off:" at=8,64 size=273x17 font="Arial 9.75pt bold"
  SysMonthCal32 at=8,80 size=273x185 focus
  SysDateTimePick32 at=16,32 size=105x25 font="Arial 9pt"
  Button "Set Reminder" at=8,288 size=137x28 font="Arial 9pt"
  Static "" at=8,264 size=273x18 font="Arial 9pt"
  Button "Hide This Window" at=152,288 size=129x28 font="Arial 9pt"
  Static "Default: 10 mins from now." at=128,32 size=153x17 shown font="Arial 9pt")"));
  HWND reminder = program.Window(L"Reminder");
  RECT picker;
  GetWindowRect(FindWindowExW(reminder, nullptr, L"SysDateTimePick32", nullptr), &picker);
  ClickAt({picker.left + 8, (picker.top + picker.bottom) / 2});  // on the hours
  Keys({VK_UP});
  EXPECT_TRUE(program.Shows("PinaleafForm \"Reminder [Milk & eggs]\"\n  Static \"Default: 10 mins from now.\" hidden"));
  ClickAt(CentreOf(FindWindowExW(reminder, nullptr, L"Button", L"Set Reminder")));
  // The calendar's day stays that of the preset; the picker's hour wraps at midnight.
  std::time_t later = preset + 3600;
  std::tm t = *std::localtime(&preset), h = *std::localtime(&later);
  SYSTEMTIME at = {WORD(t.tm_year + 1900), WORD(t.tm_mon + 1), 0, WORD(t.tm_mday), WORD(h.tm_hour), WORD(h.tm_min)};
  char day[64], minute[64];
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &at, nullptr, day, 64);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &at, "h:mm", minute, 64);
  EXPECT_TRUE(program.Shows("PinaleafForm \"Reminder [Enabled]\"\n  Button \"Disable Reminder\"\n  Static \"" +
                            std::string(day) + " " + minute + ":*\""));

  // Due two seconds from now (the armed dialog reads the store each second):
  // the note flashes white, black and its own colour under "Reminder!".
  std::time_t due = std::time(nullptr) + 2;
  t = *std::localtime(&due);
  // The least significant first: no mix of the old moment and the new one lies in the past.
  for (auto [key, value] : {std::pair{u"ReminderSeconds", t.tm_sec}, {u"ReminderMinutes", t.tm_min},
                            {u"ReminderHours", t.tm_hour}, {u"ReminderDay", t.tm_mday},
                            {u"ReminderMonth", t.tm_mon + 1}, {u"ReminderYear", t.tm_year + 1900}}) {
    std::string digits = std::to_string(value);
    platform::WriteStoredValue(u"Pinaleaf", u"1.0", key, {digits.begin(), digits.end()});
  }
  std::set<std::string> seen;
  EXPECT_TRUE(WaitUntil([&] {
    std::string now = program.Describe();
    for (std::string colour : {"#FFFFFF", "#000000", "#FFFFC0"}) {
      if (Shows(now, "PinaleafForm \"Form1\" colours=" + colour + "\n  Edit \"Reminder!\" colours=" + colour + "*")) {
        seen.insert(colour);
      }
    }
    return seen.size() == 3;
  }, 10000)) << seen.size() << " of the three colours seen";
  EXPECT_TRUE(program.Shows("PinaleafForm \"Form1\" colours=#FFFFC0\n  Edit \"Milk & eggs\" colours=#FFFFC0*", 10000));
  Keys({VK_MENU, VK_F4});  // armed: the close box only hides it
  EXPECT_TRUE(program.Shows("PinaleafForm \"Reminder [Enabled]\" hidden"));
}

}  // namespace
