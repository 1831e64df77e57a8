// Where the Win32 layer meets Windows beyond what the contract tests hold
// alike: files, the font dialog, the shell, an alarm among other windows, a
// long session. The program runs in this process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/app.h"
#include "harness.h"
#include "notes/common_dialog.h"
#include "notes/note.h"
#include "notes/program.h"
#include "platform/win32/win32.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

namespace {

using namespace harness;
using pinaleaf::Note;
using Id = pinaleaf::CommandId;

HWND ToHwnd(platform::Window window) { return reinterpret_cast<HWND>(static_cast<intptr_t>(window.number())); }
platform::Form FormOf(HWND hwnd) { return platform::Form(static_cast<std::int32_t>(reinterpret_cast<intptr_t>(hwnd))); }

platform::Text T(const std::wstring& text) { return platform::Text(text.begin(), text.end()); }

// Runs `action` from a thread timer, which fires inside modal loops and the
// alarm's waits too, every `ms` until it returns true; never inside itself.
std::function<bool()> g_action;
void CALLBACK RunAction(HWND, UINT, UINT_PTR id, DWORD) {
  static bool busy = false;
  if (busy) return;
  busy = true;
  auto action = g_action;
  if (action && action()) KillTimer(nullptr, id);
  busy = false;
}
void Until(int ms, std::function<bool()> action) {
  g_action = std::move(action);
  ::SetTimer(nullptr, 0, static_cast<UINT>(ms), RunAction);
}

// Answers the next modal dialog of this process.
void AnswerSoon(std::function<void(HWND)> answer) {
  Until(100, [answer] {
    HWND dialog = FindWindowOf(0, L"#32770");
    if (dialog) answer(dialog);
    return dialog != nullptr;
  });
}

class System : public testing::Test {
 protected:
  void SetUp() override {
    probe::Reset();
    program_.emplace();
    pinaleaf::StartProgram();
    note_ = ToHwnd(pinaleaf::StartupNoteWindow());
    text_ = GetWindow(note_, GW_CHILD);
    SetForegroundWindow(note_);
    ClickAt(CentreOf(text_));  // active, and the keyboard in it
  }
  void TearDown() override {
    probe::Reset();
    program_.reset();
  }
  HWND Newest() { return ToHwnd(platform::LoadedForms().back()); }
  static void Record(HWND note) { Note::FromWindow(FormOf(note))->RecordActive(); }
  std::optional<pinaleaf::Program> program_;
  HWND note_ = nullptr, text_ = nullptr;
};

TEST_F(System, SavesKeepAttributesTakeLongPathsAndTheDialogAddsTheExtension) {
  std::wstring folder = Beside(L"pinaleaf-save");
  CreateDirectoryW(folder.c_str(), nullptr);
  DeleteFileW((folder + L"\\plain.txt").c_str());
  SetWindowTextW(text_, L"Gr\u00FC\u00DFe");
  pinaleaf::CommonDialog1().FileName = T(folder + L"\\plain");
  AnswerSoon([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
  pinaleaf::RunMenuCommand(Id::SaveNoteToFile);
  EXPECT_EQ(Bytes(folder + L"\\plain.txt"), "Gr\xFC\xDF" "e");  // Windows-1252, no byte-order mark
  // A hidden file stays hidden when replaced; a read-only one is refused.
  std::wstring hidden = folder + L"\\hidden.txt";
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ofstream(hidden.c_str()) << "old";
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(platform::WriteFileReplacing(T(hidden), "new"), std::nullopt);
  EXPECT_EQ(std::pair(Bytes(hidden), GetFileAttributesW(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN),
            std::pair(std::string("new"), DWORD{FILE_ATTRIBUTE_HIDDEN}));
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_NE(platform::WriteFileReplacing(T(hidden), "newer"), std::nullopt);
  EXPECT_EQ(Bytes(hidden), "new");
  // Beyond the old 260 characters, new and replaced.
  std::wstring deep = folder;
  for (int i = 0; i < 5; ++i) {
    deep += L"\\" + std::wstring(60, L'd');
    CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
  }
  std::wstring path = deep + L"\\note.txt";
  ASSERT_GT(path.size(), 300u);
  for (const char* bytes : {"long", "longer"}) EXPECT_EQ(platform::WriteFileReplacing(T(path), bytes), std::nullopt);
  EXPECT_EQ(Bytes(L"\\\\?\\" + path), "longer");
}

TEST_F(System, TheFontDialogOpensAtArialSixteenAndSymbolFacesKeepTheirGlyphs) {
  std::wstring face, size;
  AnswerSoon([&](HWND dialog) {
    face = harness::TextOf(GetDlgItem(dialog, 0x470));  // the face box
    size = harness::TextOf(GetDlgItem(dialog, 0x472));  // the size box
    SendDlgItemMessageW(dialog, 0x410, BM_CLICK, 0, 0);  // strikeout
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  pinaleaf::RunMenuCommand(Id::Font);
  EXPECT_EQ(std::pair(face, size), std::pair(std::wstring(L"Arial"), std::wstring(L"16")));
  LOGFONTW lf = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text_, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_EQ(std::tuple(lf.lfHeight, lf.lfStrikeOut, Stored(L"Size"), Stored(L"Strikethru")),
            std::tuple(-21L, BYTE{1}, std::wstring(L"16"), std::wstring(L"True")));
  platform::SetFont(platform::TextBox(FormOf(text_).number()), {u"Wingdings", 12});
  HDC dc = GetDC(text_);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text_, WM_GETFONT, 0, 0)));
  wchar_t name[64] = {};
  GetTextFaceW(dc, 64, name);
  EXPECT_EQ(std::pair(std::wstring(name), GetTextCharset(dc)), std::pair(std::wstring(L"Wingdings"), SYMBOL_CHARSET));
  ReleaseDC(text_, dc);
}

// The URL is checked once more by a real parser (check_mailto.py).
TEST_F(System, TheMailProgramGetsTheUrlOrTheUserIsToldWhyNot) {
  RegisterMailLogger();
  SetWindowTextW(text_, L"Caf\u00E9 & more?\r\n100% #1");
  pinaleaf::ShowEmailForm();
  auto form = pinaleaf::EmailForm::Current();
  ASSERT_TRUE(form);
  SIZE ideal = {};  // only version 6 of the common controls knows it
  EXPECT_TRUE(SendMessageW(ToHwnd(form->sendButton()), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
  SetWindowTextW(ToHwnd(form->combo()), L"J\u00F6 \"Bo\" <jo+notes@x.org>");
  form->SendEmail();
  ASSERT_TRUE(WaitUntil([] { return MailLog().find("mailto:") != std::string::npos; }, 10000));
  std::string url = MailLog().substr(MailLog().find("mailto:"));
  std::ofstream(Beside(L"pinaleaf-mailto.txt").c_str(), std::ios::binary) << url;
  // Nothing to open mail with: the user is told why; the form and the note stay.
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\mailto");
  std::wstring said;
  AnswerSoon([&](HWND box) {
    said = harness::TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  form->SendEmail();
  RegisterMailLogger();
  EXPECT_EQ(said.rfind(L"No program could open\nmailto:J%C3%B6%20", 0), 0u) << said.size();
  EXPECT_TRUE(IsWindowVisible(ToHwnd(form->window())));
  EXPECT_EQ(harness::TextOf(text_), L"Caf\u00E9 & more?\r\n100% #1");
}

TEST_F(System, AnAlarmComesInSightWithoutTakingTheKeyboard) {
  SetWindowTextW(text_, L"hello");
  Record(note_);
  pinaleaf::RunMenuCommand(Id::CreateNewNote);  // over it, with the keyboard
  HWND other = Newest(), otherText = GetWindow(other, GW_CHILD);
  pinaleaf::ShowReminderDialog();
  auto dialog = pinaleaf::ReminderDialog::Current();
  platform::DateTime at = platform::AddSeconds(platform::Now(), 2);
  platform::SetCalendarDate(dialog->calendar(), {at.year, at.month, at.day});
  platform::SetPickerTime(dialog->picker(), {at.hour, at.minute, at.second});
  SendMessageW(ToHwnd(dialog->command1()), BM_CLICK, 0, 0);
  SendMessageW(ToHwnd(dialog->window()), WM_CLOSE, 0, 0);  // armed: only hidden
  SetForegroundWindow(other);
  SetFocus(otherText);
  MouseAt({1200, 1000});  // a pointer passing over a note would make it the active one
  Record(note_);
  bool rang = false;
  Until(20, [&] {
    if (harness::TextOf(text_) != L"Reminder!") return false;
    rang = true;
    Type(L"x");
    EXPECT_EQ(probe::ZOrder().front(), FormOf(note_));
    EXPECT_EQ(std::pair(GetForegroundWindow(), harness::TextOf(otherText)), std::pair(other, std::wstring(L"x")));
    return true;
  });
  EXPECT_TRUE(WaitUntil([&] { return rang && harness::TextOf(text_) == L"hello"; }, 8000));
}

// Wine's GetGuiResources answers 0: GDI objects are counted by their slots.
std::tuple<size_t, int, int> Objects() {
  int windows = 0, gdi = 0;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    windows += pid == GetCurrentProcessId();
  }
  for (UINT_PTR i = 0x20; i < 0x10000; ++i) gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
  return {platform::win32::BlockedContextMenus(), windows, gdi};
}

TEST_F(System, FiveHundredNotesMadeAndClosedLeaveNoHookWindowOrObjectBehind) {
  auto cycle = [&] {
    Record(note_);
    pinaleaf::RunMenuCommand(Id::CreateNewNote);
    Record(Newest());
    pinaleaf::RunMenuCommand(Id::DeleteThisNote);
    probe::Wait(1);
  };
  cycle();
  auto before = Objects();
  for (int i = 0; i < 500; ++i) cycle();
  probe::Wait(100);
  EXPECT_EQ(Objects(), before);
  EXPECT_EQ(std::get<0>(before), 1u);  // the one note's
}

// Run with TZ=Europe/Berlin, where 1:55 on 29 March 2026 is ten minutes
// before 3:05.
TEST(Clock, TenMinutesAheadAreTenRealMinutesAcrossADaylightSavingChange) {
  const char* zone = std::getenv("TZ");
  if (!zone || std::string(zone) != "Europe/Berlin") GTEST_SKIP() << "needs TZ=Europe/Berlin";
  platform::DateTime later = platform::AddSeconds({2026, 3, 29, 1, 55, 0}, 600);
  EXPECT_EQ(std::tuple(later.day, later.hour, later.minute), std::tuple(29, 3, 5));
}

}  // namespace
