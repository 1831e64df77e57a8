// Unreadable stored settings. Every key in turn holds each kind of bad text,
// with the rest of the store empty:
// - the real program, a process of its own, still starts, shows its note,
//   creates and deletes notes from its popup and quits with exit code 0;
// - in this process, each value leaves exactly the look its reader promises,
//   and the readers that run later (e-mail recipients, the armed reminder's
//   tick) take it without harm.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "app/app.h"
#include "notes/note.h"
#include "app/app.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

namespace {

const wchar_t* const kKeys[] = {
    L"ActivehWnd",  L"TextColor",     L"Bold",         L"Italic",        L"Underline",       L"Strikethru",
    L"Font",        L"Size",          L"AlwaysOnTop",  L"Translucency",  L"TransCount",      L"EmailAddresses",
    L"ReminderDay", L"ReminderMonth", L"ReminderYear", L"ReminderHours", L"ReminderMinutes", L"ReminderSeconds",
};

struct BadValue {
  const char* name;                  // for failure messages
  std::optional<std::wstring> text;  // none: the key is missing
};

std::wstring LongText() {
  std::wstring text;
  while (text.size() < 10240) text += L"Lorem ipsum, dolor sit amet 0123456789. ";
  text.resize(10240);
  return text;
}

const std::vector<BadValue>& BadValues() {
  static const std::vector<BadValue> values = {
      {"missing", std::nullopt},
      {"empty", L""},
      {"abc", L"abc"},
      {"-1", L"-1"},
      {"99999999999", L"99999999999"},
      {"1e309", L"1e309"},
      {"10 KB of text", LongText()},
      {"\" True\"", L" True"},
      {"Japanese", L"\u65e5\u672c"},
      {"0x10", L"0x10"},
  };
  return values;
}

bool IsReminderKey(const wchar_t* key) { return wcsncmp(key, L"Reminder", 8) == 0; }

void StoreValue(const wchar_t* key, const BadValue& value) {
  if (value.text) {
    harness::Store(key, value.text->c_str());
  } else {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Pinaleaf\\1.0", key);
  }
}

// The store holding this one value and nothing else.
void StoreOnly(const wchar_t* key, const BadValue& value) {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  StoreValue(key, value);
}

std::wstring Stored(const wchar_t* key) {
  wchar_t buffer[64] = {};
  DWORD bytes = sizeof(buffer);
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Pinaleaf\\1.0", key, RRF_RT_REG_SZ, nullptr, buffer, &bytes) !=
      ERROR_SUCCESS) {
    return L"<none>";
  }
  return buffer;
}

std::wstring HandleText(HWND hwnd) {
  return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<intptr_t>(hwnd)));
}

std::string Utf8(const std::wstring& text) {
  std::string out(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                  '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

int AlphaOf(HWND hwnd) {
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  if (!GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) || !(flags & LWA_ALPHA)) return -1;
  return alpha;
}

bool Topmost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

std::wstring TitleOf(HWND hwnd) {
  wchar_t title[256] = {};
  GetWindowTextW(hwnd, title, 256);
  return title;
}

// ---------------------------------------------------------------------------
// The real program in a process of its own, driven by posted messages: a
// posted right press in a text area opens the popup, posted keys choose.

struct FormSearch {
  DWORD pid;
  bool captioned;  // dialogs have a caption, notes none
  std::vector<HWND> found;
};

BOOL CALLBACK CollectForms(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<FormSearch*>(lParam);
  DWORD pid = 0;
  wchar_t name[64];
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->pid && IsWindowVisible(hwnd) && GetClassNameW(hwnd, name, 64) &&
      wcscmp(name, L"PinaleafForm") == 0 &&
      ((GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) == search->captioned) {
    search->found.push_back(hwnd);
  }
  return TRUE;
}

// Popup entries, as presses of Down from the top (negative: Up from the end).
constexpr int kSetReminder = 5, kCreateNewNote = 6, kDeleteThisNote = 7, kEmailNote = 10, kQuit = -1;

class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  // A program that did not end by itself is ended here, so no test leaves one behind.
  ~Program() {
    if (!pi_.hProcess) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 99);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }

  // Starts pinaleaf.exe from the test's folder; true once its note shows.
  bool Start() {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command(exe);
    command.resize(command.find_last_of(L"\\/") + 1);
    command = L"\"" + command + L"pinaleaf.exe\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) {
      return false;
    }
    return harness::WaitUntil([&] { return Notes().size() == 1; }, 15000);
  }

  std::vector<HWND> Forms(bool captioned) const {
    FormSearch search = {pi_.dwProcessId, captioned, {}};
    EnumWindows(CollectForms, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  std::vector<HWND> Notes() const { return Forms(false); }
  // A visible dialog form whose caption starts with `title`.
  HWND Dialog(const std::wstring& title) const {
    for (HWND hwnd : Forms(true)) {
      if (TitleOf(hwnd).rfind(title, 0) == 0) return hwnd;
    }
    return nullptr;
  }
  // The process's visible windows, for failure messages.
  std::string Shown() const {
    struct Found {
      DWORD pid;
      std::string text;
    } found = {pi_.dwProcessId, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
          auto* found = reinterpret_cast<Found*>(lParam);
          DWORD pid = 0;
          GetWindowThreadProcessId(hwnd, &pid);
          wchar_t name[64] = {};
          GetClassNameW(hwnd, name, 64);
          if (pid == found->pid && IsWindowVisible(hwnd)) {
            found->text += " [" + Utf8(name) + " \"" + Utf8(TitleOf(hwnd)) + "\"]";
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return "shown:" + found.text;
  }
  HWND Question() const { return harness::VisibleWindowOfClass(L"#32770", pi_.dwProcessId); }

  // A right press in the note's text area, then the entry `downs` away.
  // The program's thread waits while the press and the keys are queued: the
  // menu then reads the keys before any pointer move, which under Wine
  // clears its selection whenever the popup appears under the pointer.
  void Choose(HWND note, int downs) {
    HWND text = GetWindow(note, GW_CHILD);
    RECT rc;
    GetClientRect(text, &rc);
    SuspendThread(pi_.hThread);
    PostMessageW(text, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(rc.right / 2, rc.bottom / 2));
    WPARAM key = downs >= 0 ? VK_DOWN : VK_UP;
    for (int i = 0; i < (downs >= 0 ? downs : -downs); ++i) PostMessageW(note, WM_KEYDOWN, key, 0);
    PostMessageW(note, WM_KEYDOWN, VK_RETURN, 0);
    ResumeThread(pi_.hThread);
  }

  // The exit code, or none while it still runs after `ms`.
  std::optional<DWORD> WaitForExit(int ms) {
    if (!harness::WaitUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, ms)) return std::nullopt;
    DWORD code = 1;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION pi_ = {};
};

// One run of the program: start, note shown, a note created and deleted from
// the popup, the reader of a later-read key brought up, then the end through
// "Quit (Remove All Notes)" or through Yes to the last-note question.
void RunProgram(const std::wstring& key, bool quitFromMenu) {
  Program program;
  ASSERT_TRUE(program.Start()) << "no note shown";
  HWND first = program.Notes()[0];
  EXPECT_TRUE(Topmost(first));
  EXPECT_TRUE(harness::WaitUntil([&] { return AlphaOf(first) == 200; }, 3000)) << "alpha " << AlphaOf(first);

  program.Choose(first, kCreateNewNote);
  ASSERT_TRUE(harness::WaitUntil([&] { return program.Notes().size() == 2; }, 5000)) << "no second note; " << program.Shown();
  auto notes = program.Notes();
  HWND second = notes[0] == first ? notes[1] : notes[0];
  RECT a, b;
  GetWindowRect(first, &a);
  GetWindowRect(second, &b);
  EXPECT_EQ(b.left - a.left, 33);
  EXPECT_EQ(b.top - a.top, 33);
  EXPECT_TRUE(Topmost(second));
  EXPECT_TRUE(harness::WaitUntil([&] { return AlphaOf(second) == 200; }, 3000)) << "alpha " << AlphaOf(second);

  if (key == L"EmailAddresses") {
    program.Choose(first, kEmailNote);
    EXPECT_TRUE(harness::WaitUntil([&] { return program.Dialog(L"E-mail Note") != nullptr; }, 5000))
        << "no e-mail form; " << program.Shown();
  }
  if (IsReminderKey(key.c_str())) {
    program.Choose(first, kSetReminder);
    EXPECT_TRUE(harness::WaitUntil([&] { return program.Dialog(L"Reminder") != nullptr; }, 5000))
        << "no reminder dialog; " << program.Shown();
  }

  program.Choose(second, kDeleteThisNote);
  ASSERT_TRUE(harness::WaitUntil([&] { return program.Notes().size() == 1; }, 5000))
      << "the second note stayed; " << program.Shown();
  EXPECT_EQ(program.Notes()[0], first);

  if (quitFromMenu) {
    program.Choose(first, kQuit);
  } else {
    // A dialog left open above does not keep the question away.
    program.Choose(first, kDeleteThisNote);
    HWND box = nullptr;
    ASSERT_TRUE(harness::WaitUntil([&] { return (box = program.Question()) != nullptr; }, 5000))
        << "no question; " << program.Shown();
    wchar_t prompt[256] = {};
    GetDlgItemTextW(box, 0xFFFF, prompt, 256);
    EXPECT_STREQ(prompt, L"This is the last note. Would you like to quit?");
    PostMessageW(box, WM_COMMAND, IDYES, 0);
  }
  auto code = program.WaitForExit(10000);
  ASSERT_TRUE(code) << "still running; " << program.Shown();
  EXPECT_EQ(*code, 0u);
  // Two notes took a translucency slot each; the last press recorded the first note.
  EXPECT_EQ(Stored(L"TransCount"), L"3");
  EXPECT_EQ(Stored(L"ActivehWnd"), HandleText(first));
}

class InTheProgram : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  void SetUp() override { harness::Reset(); }
  void TearDown() override { harness::Reset(); }
};

TEST_P(InTheProgram, StartsCreatesDeletesAndQuitsWithEveryBadValue) {
  const wchar_t* key = GetParam();
  int run = 0;
  for (const BadValue& value : BadValues()) {
    SCOPED_TRACE(value.name);
    StoreOnly(key, value);
    RunProgram(key, run++ % 2 == 0);
  }
}

// ---------------------------------------------------------------------------
// In this process: what the note shows with the bad value stored.

struct Look {
  COLORREF color;
  std::wstring face;
  LONG height;
  LONG weight;
  bool italic, underline, strikeout, topmost;
  int alpha;
};

Look LookOf(HWND note) {
  HWND text = harness::TextAreaOf(note);
  LOGFONTW lf = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(note, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(text));
  COLORREF color = GetTextColor(dc);
  DeleteDC(dc);
  return {color,
          lf.lfFaceName,
          lf.lfHeight,
          lf.lfWeight,
          lf.lfItalic != 0,
          lf.lfUnderline != 0,
          lf.lfStrikeOut != 0,
          Topmost(note),
          AlphaOf(note)};
}

// The design look, but where the reader takes the bad text as a value.
Look ExpectedLook(const std::wstring& key, const BadValue& value) {
  Look look = {GetSysColor(COLOR_WINDOWTEXT), L"Arial", -12, FW_NORMAL, false, false, false, true, 200};
  std::wstring text = value.text.value_or(L"");
  // A flag reads "True"/"False" with blanks around, or any number but 0.
  bool flag = text == L"-1" || text == L"99999999999" || text == L" True";
  if (key == L"Bold" && flag) look.weight = FW_BOLD;
  if (key == L"Italic" && flag) look.italic = true;
  if (key == L"Underline" && flag) look.underline = true;
  if (key == L"Strikethru" && flag) look.strikeout = true;
  // -1 is a whole number: every bit set, which names no system colour.
  if (key == L"TextColor" && text == L"-1") look.color = GetSysColor(0x7FFFFFFF);
  // A face is taken as it is, cut to what a font can hold.
  if (key == L"Font" && !text.empty()) look.face = text.substr(0, LF_FACESIZE - 1);
  return look;
}

void ExpectLook(const Look& actual, const Look& expected) {
  EXPECT_EQ(actual.color, expected.color);
  EXPECT_EQ(Utf8(actual.face), Utf8(expected.face));
  EXPECT_EQ(actual.height, expected.height);
  EXPECT_EQ(actual.weight, expected.weight);
  EXPECT_EQ(actual.italic, expected.italic);
  EXPECT_EQ(actual.underline, expected.underline);
  EXPECT_EQ(actual.strikeout, expected.strikeout);
  EXPECT_EQ(actual.topmost, expected.topmost);
  EXPECT_EQ(actual.alpha, expected.alpha);
}

HWND NewestNote() {
  auto forms = platform::LoadedForms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    if (pinaleaf::Note::FromHandle(*it)) return harness::ToHwnd(*it);
  }
  return nullptr;
}

void RecordActive(HWND note) {
  pinaleaf::Note::FromHandle(static_cast<platform::Handle>(reinterpret_cast<intptr_t>(note)))->RecordActive();
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Counts what the alarm writes into the text areas: it shows "Reminder!" while it rings.
std::vector<std::pair<HWND, WNDPROC>> g_watched;
int g_alarms = 0;
LRESULT CALLBACK CountAlarms(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETTEXT && lParam && wcscmp(reinterpret_cast<const wchar_t*>(lParam), L"Reminder!") == 0) ++g_alarms;
  for (auto& [watched, proc] : g_watched) {
    if (watched == hwnd) return CallWindowProcW(proc, hwnd, msg, wParam, lParam);
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The armed reminder reads its six keys on its tick: one of them bad rings
// nothing and disarms nothing.
void ExpectArmedReminderTakes(const wchar_t* key, const BadValue& value, std::initializer_list<HWND> notes) {
  pinaleaf::ShowReminderDialog();
  auto dialog = pinaleaf::ReminderDialog::Current();
  ASSERT_TRUE(dialog);
  g_alarms = 0;
  for (HWND note : notes) {
    HWND text = harness::TextAreaOf(note);
    g_watched.emplace_back(text, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(text, GWLP_WNDPROC)));
    SetWindowLongPtrW(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountAlarms));
  }
  SendMessageW(harness::ToHwnd(dialog->command1()), BM_CLICK, 0, 0);
  EXPECT_TRUE(dialog->armed());
  // Arming wrote all six; the next tick reads this one bad.
  StoreValue(key, value);
  harness::Pump(40);
  EXPECT_TRUE(dialog->armed());
  EXPECT_EQ(g_alarms, 0);
  for (auto& [text, proc] : g_watched) SetWindowLongPtrW(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  g_watched.clear();
  SendMessageW(harness::ToHwnd(dialog->command1()), BM_CLICK, 0, 0);
  EXPECT_FALSE(dialog->armed());
  platform::UnloadForm(dialog->window());
}

void ExpectRecipients(const BadValue& value) {
  pinaleaf::ShowEmailForm();
  auto form = pinaleaf::EmailForm::Current();
  ASSERT_TRUE(form);
  std::wstring text = value.text.value_or(L"");
  // One entry per comma-separated part, the first one first.
  EXPECT_EQ(platform::ComboCount(form->combo()), std::count(text.begin(), text.end(), L',') + 1);
  platform::Text first = platform::ComboItem(form->combo(), 0);
  EXPECT_EQ(Utf8(std::wstring(first.begin(), first.end())), Utf8(text.substr(0, text.find(L','))));
  platform::UnloadForm(form->window());
}

class InThisProcess : public ::testing::TestWithParam<const wchar_t*> {
 protected:
  void SetUp() override { harness::Reset(); }
  void TearDown() override { harness::Reset(); }
};

TEST_P(InThisProcess, EveryBadValueGivesTheLookItsReaderPromises) {
  const wchar_t* key = GetParam();
  for (const BadValue& value : BadValues()) {
    SCOPED_TRACE(value.name);
    harness::Reset();
    StoreOnly(key, value);
    pinaleaf::StartProgram();
    HWND note = harness::ToHwnd(pinaleaf::StartupNoteWindow());
    ASSERT_TRUE(note && IsWindowVisible(note));
    ASSERT_TRUE(harness::WaitUntil([&] { return AlphaOf(note) >= 0; }, 3000)) << "no translucency step";
    Look expected = ExpectedLook(key, value);
    ExpectLook(LookOf(note), expected);
    EXPECT_EQ(Stored(L"TransCount"), L"2");

    // A record that names no loaded note: commands act on none.
    if (key == std::wstring(L"ActivehWnd")) {
      StoreValue(key, value);
      pinaleaf::RunMenuCommand(pinaleaf::kCreateNewNoteItem);
      pinaleaf::RunMenuCommand(pinaleaf::kInsertDateItem);
      EXPECT_EQ(pinaleaf::Note::Count(), 1);
      EXPECT_EQ(TextOf(harness::TextAreaOf(note)), L"");
    }

    RecordActive(note);
    pinaleaf::RunMenuCommand(pinaleaf::kCreateNewNoteItem);
    ASSERT_EQ(pinaleaf::Note::Count(), 2);
    HWND second = NewestNote();
    ASSERT_TRUE(harness::WaitUntil([&] { return AlphaOf(second) >= 0; }, 3000)) << "no translucency step";
    ExpectLook(LookOf(second), expected);
    EXPECT_EQ(Stored(L"TransCount"), L"3");

    if (key == std::wstring(L"EmailAddresses")) ExpectRecipients(value);
    if (IsReminderKey(key)) ExpectArmedReminderTakes(key, value, {note, second});

    RecordActive(second);
    pinaleaf::RunMenuCommand(pinaleaf::kDeleteThisNoteItem);
    EXPECT_EQ(pinaleaf::Note::Count(), 1);
    EXPECT_TRUE(IsWindow(note));
    EXPECT_FALSE(IsWindow(second));
  }
}

std::string KeyName(const ::testing::TestParamInfo<const wchar_t*>& info) { return Utf8(info.param); }

INSTANTIATE_TEST_SUITE_P(BadSettings, InTheProgram, ::testing::ValuesIn(kKeys), KeyName);
INSTANTIATE_TEST_SUITE_P(BadSettings, InThisProcess, ::testing::ValuesIn(kKeys), KeyName);

}  // namespace
