// Moving a note by its strip, resizing it from its text area's far bands,
// and the pointer shapes that announce both.
#include <memory>

#include "host_test.h"
#include "notes/move_resize.h"

namespace {

using namespace platform;
using pinaleaf::Note;

TEST(ResizeHitTest, BandsAre90TwipsAtTheNearEdgesAndStrict5PercentAtTheFar) {
  struct Case {
    int x, y, code;
  };
  for (Case c : {Case{0, 0, kHitTopLeft}, {89, 89, kHitTopLeft}, {90, 89, kHitTop}, {1900, 0, kHitTop},
                 {1901, 0, kHitTopRight}, {1999, 89, kHitTopRight}, {0, 90, kHitLeft}, {89, 1900, kHitLeft},
                 {90, 90, kHitCaption}, {1900, 1900, kHitCaption}, {1901, 90, kHitRight}, {1901, 1900, kHitRight},
                 {0, 1901, kHitBottomLeft}, {89, 1999, kHitBottomLeft}, {90, 1901, kHitBottom},
                 {1900, 1999, kHitBottom}, {1901, 1901, kHitBottomRight}}) {
    EXPECT_EQ(pinaleaf::ResizeHitTest(c.x, c.y, 2000, 2000), c.code) << c.x << ", " << c.y;
  }
  // The far bands follow the area's own width and height.
  EXPECT_EQ(pinaleaf::ResizeHitTest(3850, 500, 4000, 1000), kHitRight);
  EXPECT_EQ(pinaleaf::ResizeHitTest(1950, 960, 4000, 1000), kHitBottom);
}

class MoveResize : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    sim::SetDpi(288);  // 5 twips to the pixel: 2000 and 355 twips are whole pixels
    for (auto& note : notes_) note = ShowNote();
    for (auto& note : notes_) SetRect(note->textArea(), {0, 360, 2000, 2000});
    sim::SetMoveSizeHandler([this](Handle form, int) {
      releasesInLoop_ = sim::CaptureReleases();
      SetRect(form, dropped_);
    });
  }
  Handle note() const { return notes_[0]->window(); }
  Handle text() const { return notes_[0]->textArea(); }
  std::shared_ptr<Note> notes_[2];
  Rect dropped_{5000, 4000, 1995, 2355};
  int releasesInLoop_ = -1;
};

TEST_F(MoveResize, ALeftPressOnTheStripMovesTheNoteTheMiddleButtonNothing) {
  sim::MouseDown(note(), kLeftButton, 0, 500, 100);
  ASSERT_EQ(sim::MoveSizeLoops().size(), 1u);
  EXPECT_EQ(std::pair(sim::MoveSizeLoops()[0].form, sim::MoveSizeLoops()[0].hitCode), std::pair(note(), +kHitCaption));
  EXPECT_EQ(releasesInLoop_, 1);  // the capture goes before the loop starts
  EXPECT_EQ(GetRect(note()), dropped_);
  for (Handle target : {note(), text()}) sim::MouseDown(target, kMiddleButton, 0, 1950, 1950);
  EXPECT_EQ(sim::MoveSizeLoops().size(), 1u);
  EXPECT_EQ(sim::PopupCount(), 0);
  EXPECT_EQ(FocusedControl(), 0);
}

TEST_F(MoveResize, ALeftPressInTheFarBandsResizesAndFitsTheTextArea) {
  struct Case {
    int x, y, code;  // 0: no resize, the caret goes there
  };
  for (Case c : {Case{1905, 1000, kHitRight}, {1000, 1905, kHitBottom}, {1950, 50, kHitTopRight},
                 {50, 1950, kHitBottomLeft}, {1950, 1950, kHitBottomRight}, {1900, 1000, 0}, {1000, 1900, 0}}) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    SetRect(text(), {0, 360, 2000, 2000});
    size_t loops = sim::MoveSizeLoops().size();
    Rect before = GetRect(note());
    dropped_ = {before.left, before.top, before.width + 400, before.height + 300};
    sim::MouseDown(text(), kLeftButton, 0, c.x, c.y);
    if (c.code == 0) {
      EXPECT_EQ(sim::MoveSizeLoops().size(), loops);
      EXPECT_EQ(FocusedControl(), text());
      continue;
    }
    ASSERT_EQ(sim::MoveSizeLoops().size(), loops + 1);
    const sim::MoveSizeLoop& loop = sim::MoveSizeLoops().back();
    EXPECT_EQ(std::pair(loop.form, loop.hitCode), std::pair(note(), c.code));
    EXPECT_EQ(releasesInLoop_, sim::CaptureReleases());
    EXPECT_EQ(GetRect(text()), (Rect{0, 360, dropped_.width, dropped_.height - 355}));
    EXPECT_EQ(FocusedControl(), 0);  // the press was the loop's, not the caret's
  }
  // A note closed during the loop is left alone afterwards.
  sim::SetMoveSizeHandler([](Handle form, int) { UnloadForm(form); });
  sim::MouseDown(text(), kLeftButton, 0, 1950, 1950);
  EXPECT_FALSE(IsLoaded(note()));
}

TEST_F(MoveResize, PointerShapesFollowTheRegion) {
  auto pointerAt = [&](Handle target, int x, int y) {
    sim::MouseMove(target, 0, 0, x, y);
    return sim::Find(note())->pointer;
  };
  EXPECT_EQ(pointerAt(note(), 500, 100), Pointer::Custom);
  EXPECT_EQ(sim::Find(note())->customCursor, 0);  // the system's hand
  EXPECT_EQ(pointerAt(text(), 1950, 1000), Pointer::IBeam);  // though a press there resizes
  EXPECT_EQ(pointerAt(text(), 1000, 1950), Pointer::IBeam);
  EXPECT_EQ(pointerAt(text(), 1900, 1901), Pointer::IBeam);
  EXPECT_EQ(pointerAt(text(), 1901, 1901), Pointer::SizeNWSE);
  EXPECT_EQ(sim::Find(notes_[1]->window())->pointer, Pointer::Default);
  // The note's own cursor, from a loadable file beside the program.
  sim::Reset();
  sim::SetProgramDirectory(u"C:\\App");
  sim::AddFile(u"C:\\HAND-M.CUR", true);
  sim::AddFile(u"C:\\App\\HAND-M.CUR", false);
  EXPECT_EQ(ShowNote()->customPointer(), 0);
  sim::AddFile(u"C:\\App\\HAND-M.CUR", true);
  auto note = ShowNote();
  sim::MouseMove(note->window(), 0, 0, 500, 100);
  EXPECT_NE(note->customPointer(), 0);
  EXPECT_EQ(sim::Find(note->window())->customCursor, note->customPointer());
}

}  // namespace
