// Dragging, resizing, pointer shapes and translucency on real windows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "app/app.h"

namespace {

class MoveAndFade : public ::testing::Test {
 protected:
  void SetUp() override { harness::Reset(); }
  void TearDown() override { harness::Reset(); }
};

int AlphaOf(HWND hwnd) {
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  if (!GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) || !(flags & LWA_ALPHA)) return -1;
  return alpha;
}

RECT RectIn(HWND child, HWND parent) {
  RECT rc;
  GetWindowRect(child, &rc);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

TEST_F(MoveAndFade, NotesTakeTheStoredAlphaAndCommandsChangeOnlyTheActiveNote) {
  harness::Store(L"Translucency", L"150");
  HWND first = harness::StartNote();
  EXPECT_TRUE(GetWindowLongW(first, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(AlphaOf(first), 150);
  EXPECT_EQ(harness::ReadInAnotherProcess(L"TransCount"), L"2");

  harness::Store(L"Translucency", L"200");
  SetForegroundWindow(first);
  harness::ClickAt(harness::CentreOf(harness::TextAreaOf(first)));
  pinaleaf::RunMenuCommand(pinaleaf::kCreateNewNoteItem);
  harness::Pump(100);
  auto forms = platform::LoadedForms();
  ASSERT_EQ(forms.size(), 3u);
  HWND second = harness::ToHwnd(forms[2]);
  EXPECT_EQ(AlphaOf(second), 200);

  harness::ClickAt(harness::CentreOf(harness::TextAreaOf(second)));
  pinaleaf::RunMenuCommand(pinaleaf::kIncreaseTranslucencyItem);
  harness::Pump(100);
  EXPECT_EQ(AlphaOf(second), 180);
  EXPECT_EQ(AlphaOf(first), 150);
  EXPECT_EQ(harness::ReadInAnotherProcess(L"Translucency"), L"180");
}

TEST_F(MoveAndFade, DraggingTheStripMovesTheNote) {
  HWND note = harness::StartNote();
  SetForegroundWindow(note);
  harness::Pump(100);
  RECT before;
  GetWindowRect(note, &before);
  POINT from = {before.left + 60, before.top + 10};
  harness::DragLeft(from, {from.x + 100, from.y + 80});
  RECT after;
  GetWindowRect(note, &after);
  EXPECT_EQ(after.left - before.left, 100);
  EXPECT_EQ(after.top - before.top, 80);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(MoveAndFade, DraggingTheCornerResizesAndFitsTheTextArea) {
  HWND note = harness::StartNote();
  HWND text = harness::TextAreaOf(note);
  SetForegroundWindow(note);
  harness::Pump(100);
  RECT rc;
  GetWindowRect(note, &rc);
  RECT textRc;
  GetWindowRect(text, &textRc);
  POINT from = {textRc.right - 2, textRc.bottom - 2};
  int growX = 200 - (rc.right - rc.left), growY = 266 - (rc.bottom - rc.top);
  harness::DragLeft(from, {from.x + growX, from.y + growY});

  GetWindowRect(note, &rc);
  EXPECT_EQ(rc.right - rc.left, 200);
  EXPECT_EQ(rc.bottom - rc.top, 266);
  RECT fitted = RectIn(text, note);
  EXPECT_EQ(fitted.left, 0);
  EXPECT_EQ(fitted.top, 24);
  EXPECT_EQ(fitted.right - fitted.left, 200);
  EXPECT_EQ(fitted.bottom - fitted.top, 242);  // (3990 - 355) twips, to the pixel
}

TEST_F(MoveAndFade, PointerShapesFollowTheRegion) {
  HWND note = harness::StartNote();
  HWND text = harness::TextAreaOf(note);
  SetForegroundWindow(note);
  harness::Pump(100);
  RECT rc;
  GetWindowRect(note, &rc);
  RECT textRc;
  GetWindowRect(text, &textRc);

  harness::MouseAt({rc.left + 60, rc.top + 10}, 0);
  harness::Pump(150);
  HCURSOR strip = GetCursor();
  ICONINFO info = {};
  ASSERT_TRUE(strip && GetIconInfo(strip, &info));
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  // Our own hand from HAND-M.CUR, with its hotspot on the fingertip.
  EXPECT_EQ(info.xHotspot, 9u);
  EXPECT_EQ(info.yHotspot, 0u);
  EXPECT_NE(strip, LoadCursorW(nullptr, IDC_HAND));

  harness::MouseAt(harness::CentreOf(text), 0);
  harness::Pump(150);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_IBEAM));
  harness::MouseAt({textRc.right - 2, textRc.bottom - 2}, 0);
  harness::Pump(150);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENWSE));
}

}  // namespace
