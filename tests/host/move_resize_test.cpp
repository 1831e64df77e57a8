// Moving a note by its strip, resizing it from its text area's far bands,
// and the pointer shapes that announce both.
#include <memory>
#include <tuple>
#include <vector>

#include "host_test.h"
#include "notes/move_resize.h"
#include "notes/note.h"

namespace {

using pinaleaf::Note;
using pinaleaf::ResizeHitTest;
using platform::Handle;
using platform::Pointer;
using platform::Rect;

TEST(ResizeHitTestTable, EveryBandOfATwoThousandTwipTextArea) {
  struct Case {
    int x, y, code;
  };
  const Case cases[] = {
      {1901, 90, 11}, {1950, 1000, 11}, {1999, 1900, 11},    // right band
      {90, 1950, 15}, {1000, 1901, 15}, {1900, 1999, 15},    // bottom band
      {1901, 1901, 17}, {1999, 1999, 17},                    // corner
      {1950, 0, 14}, {1950, 89, 14}, {1999, 89, 14},         // right band, top 90
      {0, 1950, 16}, {89, 1950, 16}, {89, 1999, 16},         // bottom band, left 90
      {0, 0, 13}, {1000, 0, 12}, {0, 1000, 10}, {1000, 1000, 2},  // the rest
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResizeHitTest(c.x, c.y, 2000, 2000), c.code) << c.x << ", " << c.y;
  }
  // The far bands follow the area's own size.
  EXPECT_EQ(ResizeHitTest(3850, 500, 4000, 1000), 11);
  EXPECT_EQ(ResizeHitTest(1950, 960, 4000, 1000), 15);
  EXPECT_EQ(ResizeHitTest(1950, 500, 4000, 1000), 2);
}

class MoveResize : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    // 5 twips to the pixel: 2000 and 355 twips are whole pixels.
    sim::SetDpi(288);
    for (auto& note : notes_) {
      note = Note::Load();
      note->Show();
    }
    // After both showings: each one fits every note while nothing is recorded.
    for (auto& note : notes_) platform::SetRect(note->textArea(), {0, 360, 2000, 2000});
    note_ = notes_[0]->window();
    text_ = notes_[0]->textArea();
  }

  size_t Loops() const { return sim::MoveSizeLoops().size(); }

  std::shared_ptr<Note> notes_[2];
  Handle note_ = 0, text_ = 0;
};

TEST_F(MoveResize, APressOnTheStripMovesTheNote) {
  int releasesInLoop = -1;
  sim::SetMoveSizeHandler([&](Handle form, int) {
    releasesInLoop = sim::CaptureReleases();
    platform::SetRect(form, {5000, 4000, 1995, 2355});  // dropped here
  });
  sim::MouseDown(note_, platform::kLeftButton, 0, 500, 100);
  ASSERT_EQ(Loops(), 1u);
  EXPECT_EQ(sim::MoveSizeLoops()[0].form, note_);
  EXPECT_EQ(sim::MoveSizeLoops()[0].hitCode, 2);
  EXPECT_EQ(releasesInLoop, 1);  // the capture goes before the loop starts
  EXPECT_EQ(platform::GetRect(note_), (Rect{5000, 4000, 1995, 2355}));
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), pinaleaf::FormatInteger(note_));

  // The middle button, on the strip or the text, only records the note.
  Handle other = notes_[1]->window();
  for (Handle target : {other, notes_[1]->textArea()}) {
    RecordActive(note_);
    sim::MouseDown(target, platform::kMiddleButton, 0, 1950, 1950);
    EXPECT_EQ(sim::Stored(u"ActivehWnd"), pinaleaf::FormatInteger(other));
  }
  EXPECT_EQ(Loops(), 1u);
  EXPECT_EQ(sim::CaptureReleases(), 1);
  EXPECT_EQ(sim::PopupCount(), 0);
  EXPECT_EQ(platform::FocusedControl(), 0);
}

TEST_F(MoveResize, TheResizeZoneHasStrictEdges) {
  struct Case {
    int x, y;
    bool resizes;
  };
  for (Case c : {Case{1900, 1000, false}, {1905, 1000, true}, {1000, 1900, false}, {1000, 1905, true},
                 {1900, 1900, false}, {1890, 1899, false}, {1901, 0, true}, {0, 1901, true}}) {
    size_t before = Loops();
    sim::MouseDown(text_, platform::kLeftButton, 0, c.x, c.y);
    EXPECT_EQ(Loops(), before + (c.resizes ? 1 : 0)) << c.x << ", " << c.y;
    if (!c.resizes) {
      EXPECT_EQ(platform::FocusedControl(), text_) << "the caret goes where it was pressed";
    }
    platform::SetRect(text_, {0, 360, 2000, 2000});
  }
}

TEST_F(MoveResize, APressInTheZoneResizesAndFitsTheTextArea) {
  int releasesInLoop = -1;
  Rect dropped;
  sim::SetMoveSizeHandler([&](Handle form, int) {
    releasesInLoop = sim::CaptureReleases();
    platform::SetRect(form, dropped);
  });
  const std::tuple<int, int, int> presses[] = {
      {1950, 1950, 17}, {1950, 1000, 11}, {1950, 50, 14}, {1000, 1950, 15}, {50, 1950, 16}};
  int i = 0;
  for (auto [x, y, code] : presses) {
    ++i;
    platform::SetRect(text_, {0, 360, 2000, 2000});
    Rect before = platform::GetRect(note_);
    dropped = {before.left, before.top, 2000 + 400 * i, 2355 + 300 * i};
    sim::MouseDown(text_, platform::kLeftButton, 0, x, y);
    ASSERT_EQ(Loops(), static_cast<size_t>(i));
    EXPECT_EQ(sim::MoveSizeLoops().back().form, note_);
    EXPECT_EQ(sim::MoveSizeLoops().back().hitCode, code);
    EXPECT_EQ(releasesInLoop, i);
    EXPECT_EQ(platform::GetRect(text_), (Rect{0, 360, dropped.width, dropped.height - 355}));
  }
  EXPECT_EQ(platform::FocusedControl(), 0);  // the press was the loop's, not the caret's

  // A note closed during the loop is left alone afterwards.
  sim::SetMoveSizeHandler([](Handle form, int) { platform::UnloadForm(form); });
  platform::SetRect(text_, {0, 360, 2000, 2000});
  sim::MouseDown(text_, platform::kLeftButton, 0, 1950, 1950);
  EXPECT_FALSE(platform::IsLoaded(note_));
}

TEST_F(MoveResize, PointerShapesFollowTheRegion) {
  auto pointerAfterMove = [&](Handle target, int x, int y) {
    sim::MouseMove(target, 0, 0, x, y);
    return sim::Find(note_)->pointer;
  };
  EXPECT_EQ(pointerAfterMove(note_, 500, 100), Pointer::Custom);
  EXPECT_EQ(sim::Find(note_)->customCursor, 0);  // the system's hand
  EXPECT_EQ(pointerAfterMove(text_, 100, 100), Pointer::IBeam);
  EXPECT_EQ(pointerAfterMove(text_, 1950, 1950), Pointer::SizeNWSE);
  EXPECT_EQ(pointerAfterMove(text_, 1950, 1000), Pointer::IBeam);  // though a press there resizes
  EXPECT_EQ(pointerAfterMove(text_, 1000, 1950), Pointer::IBeam);
  EXPECT_EQ(pointerAfterMove(text_, 1900, 1901), Pointer::IBeam);
  EXPECT_EQ(pointerAfterMove(text_, 1901, 1901), Pointer::SizeNWSE);
  EXPECT_EQ(pointerAfterMove(note_, 10, 10), Pointer::Custom);
  EXPECT_EQ(sim::Find(notes_[1]->window())->pointer, Pointer::Default);  // untouched

  // With the cursor file present the strip shows the note's own cursor.
  sim::Reset();
  sim::AddFile(platform::ProgramDirectory() + u"\\HAND-M.CUR", true);
  auto note = Note::Load();
  note->Show();
  ASSERT_NE(note->customPointer(), 0);
  sim::MouseMove(note->window(), 0, 0, 500, 100);
  EXPECT_EQ(sim::Find(note->window())->pointer, Pointer::Custom);
  EXPECT_EQ(sim::Find(note->window())->customCursor, note->customPointer());
}

}  // namespace
