// The start-up note as Windows sees it: position, styles, colours, font, the
// active-note record in the registry, and the stored defaults.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "app/app.h"

namespace {

struct StartedNote {
  HWND note = nullptr;
  HWND text = nullptr;
};

StartedNote Start() {
  StartedNote started;
  started.note = harness::StartNote();
  started.text = harness::TextAreaOf(started.note);
  return started;
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW lf = {};
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof(lf), &lf);
  return lf;
}

// The text colour the note hands its text area when it paints.
COLORREF TextColorOf(const StartedNote& started) {
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(started.note, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(started.text));
  COLORREF color = GetTextColor(dc);
  DeleteDC(dc);
  return color;
}

class NoteWindow : public ::testing::Test {
 protected:
  void SetUp() override { harness::Reset(); }
  void TearDown() override { harness::Reset(); }
};

TEST_F(NoteWindow, StartupNoteHasItsDesignLookWithAnEmptyStore) {
  StartedNote started = Start();
  ASSERT_TRUE(IsWindow(started.note));
  ASSERT_TRUE(IsWindowVisible(started.note));
  // Showing the note records nothing: only touching it does.
  EXPECT_EQ(harness::ReadInAnotherProcess(L"ActivehWnd"), L"");

  RECT rc;
  GetWindowRect(started.note, &rc);
  EXPECT_EQ(rc.left, 135);
  EXPECT_EQ(rc.top, 137);
  EXPECT_EQ(rc.right - rc.left, 133);
  EXPECT_EQ(rc.bottom - rc.top, 157);

  LONG style = GetWindowLongW(started.note, GWL_STYLE);
  LONG exStyle = GetWindowLongW(started.note, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU));
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  // Nothing stored for AlwaysOnTop: the menu's design state, on.
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);

  ASSERT_TRUE(started.text);
  RECT text;
  GetWindowRect(started.text, &text);
  MapWindowPoints(nullptr, started.note, reinterpret_cast<POINT*>(&text), 2);
  EXPECT_EQ(text.left, 0);
  EXPECT_EQ(text.top, 24);
  EXPECT_EQ(text.right - text.left, 133);
  EXPECT_EQ(text.bottom - text.top, 133);
  EXPECT_TRUE(GetWindowLongW(started.text, GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(GetWindowTextLengthW(started.text), 0);

  LOGFONTW lf = FontOf(started.text);
  EXPECT_STREQ(lf.lfFaceName, L"Arial");
  EXPECT_EQ(lf.lfHeight, -12);  // 9 pt at 96 dpi
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);
  EXPECT_EQ(TextColorOf(started), GetSysColor(COLOR_WINDOWTEXT));

  // The strip above the text area shows the light-yellow background.
  RedrawWindow(started.note, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(started.note);
  EXPECT_EQ(GetPixel(dc, 60, 10), RGB(255, 255, 192));
  ReleaseDC(started.note, dc);

  // A 1 MB paste survives whole: the edit control's default limit is lifted.
  std::wstring big;
  while (big.size() < (1 << 20)) big += L"Notiz \x00e9t\x00e9 \x4f8b 1234567890 lorem ipsum dolor sit amet\r\n";
  big.resize(1 << 20);
  SetWindowTextW(started.text, big.c_str());
  std::wstring back(big.size() + 1, L'\0');
  back.resize(static_cast<size_t>(GetWindowTextW(started.text, back.data(), static_cast<int>(back.size()))));
  EXPECT_TRUE(back == big);
}

TEST_F(NoteWindow, ClickRecordsTheNoteForOtherProcesses) {
  StartedNote started = Start();
  SetForegroundWindow(started.note);
  harness::Pump(100);
  harness::ClickAt(harness::CentreOf(started.text));

  std::wstring expected = std::to_wstring(static_cast<long>(reinterpret_cast<intptr_t>(started.note)));
  EXPECT_EQ(harness::ReadInAnotherProcess(L"ActivehWnd"), expected);
  EXPECT_EQ(GetFocus(), started.text);
}

TEST_F(NoteWindow, StoredDefaultsStyleTheStartupNote) {
  harness::Store(L"TextColor", L"255");
  harness::Store(L"Bold", L"True");
  harness::Store(L"Size", L"14");
  harness::Store(L"AlwaysOnTop", L"False");
  StartedNote started = Start();

  LOGFONTW lf = FontOf(started.text);
  EXPECT_STREQ(lf.lfFaceName, L"Arial");
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfHeight, -19);  // 14 pt at 96 dpi
  EXPECT_FALSE(lf.lfItalic);
  EXPECT_EQ(TextColorOf(started), RGB(255, 0, 0));
  EXPECT_FALSE(GetWindowLongW(started.note, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(NoteWindow, NonAsciiSettingsRoundTrip) {
  const platform::Text face = u"\u5b8b\u4f53 \U0001F600";
  platform::WriteStoredValue(u"Pinaleaf", u"1.0", u"Font", face);
  EXPECT_EQ(platform::ReadStoredValue(u"Pinaleaf", u"1.0", u"Font"), face);
  EXPECT_EQ(platform::ReadStoredValue(u"Pinaleaf", u"1.0", u"NeverWritten"), u"");
}

}  // namespace
