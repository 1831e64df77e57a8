// A long session in one process: 500 notes created and deleted, then 2,000
// popup commands, some from real popups; afterwards the process holds no
// more window-system objects than before.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "harness.h"
#include "app/app.h"
#include "notes/note.h"
#include "app/app.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

namespace {

// Wine's GetGuiResources is a stub that answers 0 for everything. There the
// objects are counted directly as well: GDI objects by their slots in the
// handle table (an index alone names a live slot), menus and cursors by
// their user-handle slots (even indices from 0x20, each slot once), and the
// windows of this process. The program makes no bitmaps of its own: those
// are counted apart, as a cursor holds its images in them.
struct Objects {
  DWORD user = 0, gdi = 0;  // GetGuiResources
  int gdiObjects = 0, bitmaps = 0, menus = 0, cursors = 0, windows = 0;
};

using FrameInfoProc = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);

bool IsCursor(UINT_PTR handle) {
  static auto frameInfo = reinterpret_cast<FrameInfoProc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetCursorFrameInfo")));
  DWORD rate = 0, frames = 0;
  return frameInfo && frameInfo(reinterpret_cast<HCURSOR>(handle), 0, 0, &rate, &frames);
}

BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
  ++*reinterpret_cast<int*>(lParam);
  return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM lParam) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == GetCurrentProcessId()) {
    ++*reinterpret_cast<int*>(lParam);
    EnumChildWindows(hwnd, CountChild, lParam);
  }
  return TRUE;
}

bool GuiResourcesAnswer() {
  return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) != 0 ||
         GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0;
}

Objects Count() {
  Objects count;
  count.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  count.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (GuiResourcesAnswer()) return count;
  for (UINT_PTR i = 0x20; i < 0x10000; ++i) {
    DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(i));
    if (type == OBJ_BITMAP) {
      ++count.bitmaps;
    } else if (type != 0) {
      ++count.gdiObjects;
    }
  }
  for (UINT_PTR i = 0x20; i < 0x10000; i += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(i))) ++count.menus;
    if (IsCursor(i)) ++count.cursors;
  }
  EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count.windows));
  for (HWND hwnd = nullptr; (hwnd = FindWindowExW(HWND_MESSAGE, hwnd, nullptr, nullptr)) != nullptr;) {
    CountOwnWindow(hwnd, reinterpret_cast<LPARAM>(&count.windows));
  }
  return count;
}

std::string Describe(const Objects& count) {
  return "USER " + std::to_string(count.user) + ", GDI " + std::to_string(count.gdi) + "; GDI objects " +
         std::to_string(count.gdiObjects) + ", bitmaps " + std::to_string(count.bitmaps) + ", menus " +
         std::to_string(count.menus) + ", cursors " + std::to_string(count.cursors) + ", windows " +
         std::to_string(count.windows);
}

// Handles the messages waiting now.
void Drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool Layered(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

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

class Soak : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Reset();
    note_ = harness::StartNote();
    text_ = harness::TextAreaOf(note_);
    SetForegroundWindow(note_);
    harness::WaitUntil([&] { return Layered(note_); }, 3000);
  }
  void TearDown() override { harness::Reset(); }

  // A new note from the first one, shown and stepped to its translucency,
  // then deleted as the active note. False when either did not happen.
  bool CreateAndDelete() {
    RecordActive(note_);
    pinaleaf::RunMenuCommand(pinaleaf::kCreateNewNoteItem);
    HWND note = NewestNote();
    if (note == note_ || !harness::WaitUntil([&] { return Layered(note); }, 3000)) return false;
    RecordActive(note);
    pinaleaf::RunMenuCommand(pinaleaf::kDeleteThisNoteItem);
    return !IsWindow(note) && pinaleaf::Note::Count() == 1;
  }

  // A dialog opened by a popup entry, then closed by its close box.
  bool OpenAndClose(int item, const std::function<platform::Handle()>& window) {
    pinaleaf::RunMenuCommand(item);
    HWND dialog = harness::ToHwnd(window());
    if (!dialog || !IsWindowVisible(dialog)) return false;
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    return !IsWindow(dialog);
  }

  // A real popup: a right press in the text area and keys queued behind it,
  // so the menu reads them before any pointer move.
  bool RealPopup(int downs) {
    RecordActive(note_);
    PostMessageW(text_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    for (int i = 0; i < downs; ++i) PostMessageW(note_, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(note_, WM_KEYDOWN, downs > 0 ? VK_RETURN : VK_ESCAPE, 0);
    harness::Pump(20);
    return harness::VisibleWindowOfClass(L"#32768") == nullptr && IsWindowEnabled(text_);
  }

  // Command `n` of a fixed round over the harmless entries. A round leaves
  // the program as it found it (text cut away, "Always On Top" as it was),
  // so after whole rounds what the system keeps for later use matches too.
  static constexpr int kDismissedPopup = -1, kInsertDateFromPopup = -2;
  static constexpr int kRound[] = {
      pinaleaf::kCreateNewNoteItem,
      pinaleaf::kInsertDateItem,
      pinaleaf::kInsertTimeItem,
      pinaleaf::kSelectAllItem,
      pinaleaf::kCopyItem,
      pinaleaf::kPasteItem,
      pinaleaf::kSelectAllItem,
      pinaleaf::kCutItem,
      pinaleaf::kAlwaysOnTopItem,
      pinaleaf::kAlwaysOnTopItem,
      pinaleaf::kDefaultTranslucencyItem,
      pinaleaf::kIncreaseTranslucencyItem,
      pinaleaf::kDecreaseTranslucencyItem,
      pinaleaf::kSetReminderItem,
      pinaleaf::kEmailItem,
      kDismissedPopup,
      kInsertDateFromPopup,
      pinaleaf::kSelectAllItem,
      pinaleaf::kCutItem,
      pinaleaf::kCreateNewNoteItem,
  };
  static constexpr int kRoundLength = static_cast<int>(std::size(kRound));

  bool Command(int n) {
    using namespace pinaleaf;
    int item = kRound[n % kRoundLength];
    RecordActive(note_);
    switch (item) {
      case kCreateNewNoteItem:
        return CreateAndDelete();
      case kSetReminderItem:
        return OpenAndClose(item, [] { return ReminderDialog::Current() ? ReminderDialog::Current()->window() : 0; });
      case kEmailItem:
        return OpenAndClose(item, [] { return EmailForm::Current() ? EmailForm::Current()->window() : 0; });
      case kDismissedPopup:
        return RealPopup(0);
      case kInsertDateFromPopup:
        return RealPopup(12);
      default:
        RunMenuCommand(item);
        Drain();
        return true;
    }
  }

  HWND note_ = nullptr;
  HWND text_ = nullptr;
};

TEST_F(Soak, ManyNotesAndPopupCommandsLeaveNoObjectsBehind) {
  // Two rounds first, so that what the system makes on first use is counted
  // in the baseline.
  for (int n = 0; n < 2 * kRoundLength; ++n) ASSERT_TRUE(Command(n)) << "command " << n;
  harness::Pump(100);
  Objects before = Count();
  if (!GuiResourcesAnswer()) {
    // The direct counts see this process's objects at all.
    ASSERT_GT(before.gdiObjects, 0);
    ASSERT_GT(before.menus, 0);
    ASSERT_GT(before.cursors, 0);
    ASSERT_GT(before.windows, 0);
  }

  for (int cycle = 0; cycle < 500; ++cycle) ASSERT_TRUE(CreateAndDelete()) << "cycle " << cycle;
  static_assert(2000 % kRoundLength == 0, "whole rounds");
  for (int n = 0; n < 2000; ++n) ASSERT_TRUE(Command(n)) << "command " << n;
  EXPECT_EQ(pinaleaf::Note::Count(), 1);
  EXPECT_EQ(platform::LoadedForms().size(), 2u);  // the note and the menu host
  harness::Pump(100);
  Objects after = Count();

  SCOPED_TRACE("before: " + Describe(before) + "; after: " + Describe(after));
  EXPECT_EQ(after.user, before.user);
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.gdiObjects, before.gdiObjects);
  EXPECT_EQ(after.menus, before.menus);
  EXPECT_EQ(after.windows, before.windows);
}

// Every note shows HAND-M.CUR over its strip; closing notes must leave no
// cursor, nor the bitmaps it holds, behind.
TEST_F(Soak, ClosedNotesLeaveNoCursorBehind) {
  ASSERT_TRUE(CreateAndDelete());
  harness::Pump(50);
  Objects before = Count();
  for (int cycle = 0; cycle < 50; ++cycle) ASSERT_TRUE(CreateAndDelete()) << "cycle " << cycle;
  harness::Pump(50);
  Objects after = Count();
  SCOPED_TRACE("before: " + Describe(before) + "; after: " + Describe(after));
  EXPECT_EQ(after.user, before.user);
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.cursors, before.cursors);
  EXPECT_EQ(after.bitmaps, before.bitmaps);
}

}  // namespace
