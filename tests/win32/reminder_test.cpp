// The reminder dialog's real controls, arming, and an alarm going off.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "harness.h"
#include "app/app.h"
#include "reminders/reminder_dialog.h"

namespace {

class Reminder : public ::testing::Test {
 protected:
  void SetUp() override { harness::Reset(); }
  void TearDown() override { harness::Reset(); }
};

// Samples the note's colour and text on a thread timer, also while the
// alarm waits inside its own message loop.
struct Watch {
  static Watch* current;
  HWND note;
  HWND text;
  std::set<COLORREF> colors;
  bool sawReminder = false;
  UINT_PTR timer = 0;

  Watch(HWND n, HWND t) : note(n), text(t) {
    current = this;
    timer = SetTimer(nullptr, 0, 15, [](HWND, UINT, UINT_PTR, DWORD) { current->Sample(); });
  }
  ~Watch() {
    KillTimer(nullptr, timer);
    current = nullptr;
  }
  void Sample() {
    colors.insert(platform::GetBackColor(reinterpret_cast<intptr_t>(note)));
    wchar_t buffer[64] = {};
    GetWindowTextW(text, buffer, 64);
    if (std::wstring(buffer) == L"Reminder!") sawReminder = true;
  }
};
Watch* Watch::current = nullptr;

TEST_F(Reminder, TheDialogsControlsAreReal) {
  HWND note = harness::StartNote();
  SetWindowTextW(harness::TextAreaOf(note), L"Buy milk");
  harness::ClickAt(harness::CentreOf(harness::TextAreaOf(note)));
  pinaleaf::ShowReminderDialog();
  harness::Pump(100);
  auto dialog = pinaleaf::ReminderDialog::Current();
  ASSERT_TRUE(dialog);
  HWND window = harness::ToHwnd(dialog->window());
  EXPECT_TRUE(IsWindowVisible(window));
  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  EXPECT_STREQ(caption, L"Reminder [Buy milk]");

  platform::SetCalendarDate(dialog->calendar(), {2026, 4, 3});
  SYSTEMTIME st = {};
  SendMessageW(harness::ToHwnd(dialog->calendar()), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
  EXPECT_EQ(st.wYear, 2026);
  EXPECT_EQ(st.wMonth, 4);
  EXPECT_EQ(st.wDay, 3);
  platform::SetPickerTime(dialog->picker(), {9, 5, 7});
  SendMessageW(harness::ToHwnd(dialog->picker()), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  EXPECT_EQ(st.wHour, 9);
  EXPECT_EQ(st.wMinute, 5);
  EXPECT_EQ(st.wSecond, 7);

  // "Set Reminder" pressed for real: the six keys, no leading zeros.
  SendMessageW(harness::ToHwnd(dialog->command1()), BM_CLICK, 0, 0);
  harness::Pump(50);
  EXPECT_EQ(harness::ReadInAnotherProcess(L"ReminderDay"), L"3");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"ReminderMonth"), L"4");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"ReminderYear"), L"2026");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"ReminderHours"), L"9");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"ReminderMinutes"), L"5");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"ReminderSeconds"), L"7");
  GetWindowTextW(window, caption, 128);
  EXPECT_STREQ(caption, L"Reminder [Enabled]");

  // The close box of an armed dialog only hides it.
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(Reminder, AnAlarmFlashesTheActiveNoteAndGivesItsTextBack) {
  HWND note = harness::StartNote();
  HWND text = harness::TextAreaOf(note);
  SetWindowTextW(text, L"hello");
  harness::ClickAt(harness::CentreOf(text));
  pinaleaf::ShowReminderDialog();
  harness::Pump(50);
  auto dialog = pinaleaf::ReminderDialog::Current();
  ASSERT_TRUE(dialog);

  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME ft;
  SystemTimeToFileTime(&now, &ft);
  ULARGE_INTEGER when = {{ft.dwLowDateTime, ft.dwHighDateTime}};
  when.QuadPart += 2ULL * 10000000ULL;  // two seconds ahead
  ft = {when.LowPart, when.HighPart};
  SYSTEMTIME at;
  FileTimeToSystemTime(&ft, &at);
  platform::SetCalendarDate(dialog->calendar(), {at.wYear, at.wMonth, at.wDay});
  platform::SetPickerTime(dialog->picker(), {at.wHour, at.wMinute, at.wSecond});
  SendMessageW(harness::ToHwnd(dialog->command1()), BM_CLICK, 0, 0);

  Watch watch(note, text);
  harness::Pump(7000);
  EXPECT_TRUE(watch.sawReminder);
  EXPECT_TRUE(watch.colors.count(0xFFFFFF));
  EXPECT_TRUE(watch.colors.count(0x000000));
  EXPECT_TRUE(watch.colors.count(0xC0FFFF));
  wchar_t buffer[64] = {};
  GetWindowTextW(text, buffer, 64);
  EXPECT_STREQ(buffer, L"hello");
  EXPECT_EQ(platform::GetBackColor(reinterpret_cast<intptr_t>(note)), 0xC0FFFFu);
}

// Asynchronous: the call comes back before a sound of 1.4 s could have
// played, whether the file is there or not.
TEST_F(Reminder, TheSoundNeverHoldsTheProgram) {
  for (const platform::Text& path : {platform::ProgramDirectory() + u"\\Reminder.wav",
                                     platform::ProgramDirectory() + u"\\no-such-sound.wav"}) {
    DWORD start = GetTickCount();
    pinaleaf::Playwav(path);
    EXPECT_LT(GetTickCount() - start, 1400u);
  }
}

}  // namespace
