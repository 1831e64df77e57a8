// The load sequence of a note: design look, stored style defaults good and
// bad, the always-on-top step, the cursor file.
#include <initializer_list>
#include <utility>

#include "host_test.h"
#include "menu/menu_form.h"
#include "notes/note.h"
#include "notes/program.h"

namespace {

using platform::Font;
using platform::Handle;
using platform::Rect;
using platform::Text;
using pinaleaf::ToUtf8;

using Stored = std::initializer_list<std::pair<const char16_t*, const char16_t*>>;

// Starts the program afresh on a store holding `stored`; returns the text area.
Handle StartWith(Stored stored) {
  sim::Reset();
  for (const auto& [key, value] : stored) sim::Store(key, value);
  pinaleaf::StartProgram();
  return TextAreaOf(pinaleaf::StartupNoteWindow());
}

using NoteLoad = HostTest;

TEST_F(NoteLoad, StartupNoteWithAnEmptyStoreHasItsDesignLook) {
  pinaleaf::StartProgram();
  Handle note = pinaleaf::StartupNoteWindow();
  ASSERT_NE(note, 0);
  const sim::Window* window = sim::Find(note);
  EXPECT_TRUE(window->visible);
  EXPECT_EQ(window->formKind, platform::FormKind::Note);
  EXPECT_EQ(window->caption, u"Form1");
  EXPECT_EQ(window->backColor, 0x00C0FFFFu);
  EXPECT_EQ(platform::GetRect(note), (Rect{2025, 2055, 1995, 2355}));
  EXPECT_EQ(window->leftPx, 135);
  EXPECT_EQ(window->topPx, 137);

  ASSERT_EQ(sim::ControlsOf(note).size(), 1u);
  Handle text = TextAreaOf(note);
  const sim::Window* area = sim::Find(text);
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 1995, 1995}));  // 133 x 133 pixels
  EXPECT_EQ(area->backColor, 0x00C0FFFFu);
  EXPECT_EQ(area->foreColor, platform::kWindowTextColor);
  EXPECT_EQ(area->font, Font{});  // Arial 9, regular, charset 0
  EXPECT_EQ(area->text, u"");
  EXPECT_TRUE(area->contextMenuBlocked);

  EXPECT_TRUE(platform::IsTopmost(note));  // AlwaysOnTop missing: the design check holds
  EXPECT_EQ(window->customCursor, 0);
  EXPECT_EQ(sim::StoreWrites(), 0);  // loading records nothing

  // The menu host joins the loaded list after the note, hidden.
  auto loaded = platform::LoadedForms();
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0], note);
  const sim::Window* menu = sim::Find(loaded[1]);
  EXPECT_EQ(menu->caption, u"MenuForm");
  EXPECT_EQ(menu->formKind, platform::FormKind::Hidden);
  EXPECT_FALSE(menu->visible);
  EXPECT_TRUE(pinaleaf::MenuForm::Get().AlwaysOnTop());

  // The 1 ms timer runs once, after the load and the showing, and stops itself.
  EXPECT_EQ(platform::GetTimer(note), 1);
  sim::Advance(1);
  EXPECT_EQ(platform::GetTimer(note), 0);
}

TEST_F(NoteLoad, StoredStyleDefaultsApplyWhenTheyConvert) {
  Handle text = StartWith({{u"TextColor", u"255"}, {u"Bold", u"True"}, {u"Size", u"14"}});
  EXPECT_EQ(platform::GetForeColor(text), 255u);
  EXPECT_EQ(platform::GetFont(text), (Font{.size = 14, .bold = true}));

  text = StartWith({{u"Italic", u"-1"}, {u"Underline", u" true "}, {u"Strikethru", u"2.5"},
                    {u"Font", u"Courier New"}, {u"Size", u"10.5"}});
  EXPECT_EQ(platform::GetFont(text), (Font{.name = u"Courier New", .size = 10.5f, .italic = true,
                                            .underline = true, .strikethrough = true}));

  EXPECT_FALSE(platform::GetFont(StartWith({{u"Bold", u"0"}})).bold);
  EXPECT_FALSE(platform::GetFont(StartWith({{u"Bold", u"FALSE"}})).bold);
  EXPECT_EQ(platform::GetFont(StartWith({{u"Size", u"2048"}})).size, 2048.0f);
  EXPECT_EQ(platform::GetForeColor(StartWith({{u"TextColor", u"16711680"}})), 0x00FF0000u);
}

TEST_F(NoteLoad, StoredValuesThatDoNotConvertAreSkipped) {
  for (const char16_t* size : {u"", u"abc", u"0", u"-3", u"5000", u"1e9", u"nan"}) {
    EXPECT_EQ(platform::GetFont(StartWith({{u"Size", size}})).size, 9.0f) << "Size " << ToUtf8(size);
  }
  for (const char16_t* color : {u"12abc", u"99999999999", u"0x0000FF", u"1.5"}) {
    EXPECT_EQ(platform::GetForeColor(StartWith({{u"TextColor", color}})), platform::kWindowTextColor)
        << "TextColor " << ToUtf8(color);
  }
  EXPECT_EQ(platform::GetFont(StartWith({{u"Bold", u"yes"}, {u"Italic", u"Tru"}, {u"Font", u""}})), Font{});
}

TEST_F(NoteLoad, AlwaysOnTopSetsTheSharedCheckAndTheNotesZOrder) {
  struct Case {
    const char16_t* stored;
    bool topmost;
  };
  for (Case c : {Case{u"False", false}, Case{u"0", false}, Case{u"true", true}, Case{u"garbage", true},
                 Case{u"", true}}) {
    StartWith({{u"AlwaysOnTop", c.stored}});
    EXPECT_EQ(platform::IsTopmost(pinaleaf::StartupNoteWindow()), c.topmost) << ToUtf8(c.stored);
    EXPECT_EQ(pinaleaf::MenuForm::Get().AlwaysOnTop(), c.topmost) << ToUtf8(c.stored);
  }
}

TEST_F(NoteLoad, ANewNotesLoadLeavesOpenNotesAlone) {
  pinaleaf::StartProgram();
  Handle first = pinaleaf::StartupNoteWindow();
  sim::Store(u"Bold", u"True");
  sim::Store(u"TextColor", u"255");
  sim::Store(u"AlwaysOnTop", u"False");
  auto second = pinaleaf::Note::Load();
  second->Show();

  EXPECT_TRUE(platform::GetFont(second->textArea()).bold);
  EXPECT_FALSE(platform::IsTopmost(second->window()));
  EXPECT_EQ(platform::GetFont(TextAreaOf(first)), Font{});
  EXPECT_EQ(platform::GetForeColor(TextAreaOf(first)), platform::kWindowTextColor);
  EXPECT_TRUE(platform::IsTopmost(first));
  // One menu host for the program, whatever the number of notes.
  EXPECT_EQ(platform::LoadedForms().size(), 3u);
}

TEST_F(NoteLoad, CursorFileLoadsWhenPresentAndLoadable) {
  const Text dir = u"C:\\Tools\\Pinaleaf";
  auto cursorAfterLoad = [&](const Text& file, bool loadable) {
    sim::Reset();
    sim::SetProgramDirectory(dir);
    if (!file.empty()) sim::AddFile(file, loadable);
    return pinaleaf::Note::Load()->customPointer();
  };
  EXPECT_NE(cursorAfterLoad(dir + u"\\HAND-M.CUR", true), 0);
  EXPECT_EQ(cursorAfterLoad(dir + u"\\HAND-M.CUR", false), 0);  // present, not a cursor
  EXPECT_EQ(cursorAfterLoad(u"", false), 0);
  EXPECT_EQ(cursorAfterLoad(u"C:\\Tools\\HAND-M.CUR", true), 0);  // not beside the program
  // Each note loads its own.
  sim::AddFile(dir + u"\\HAND-M.CUR", true);
  EXPECT_NE(pinaleaf::Note::Load()->customPointer(), 0);
}

// Fault: the Size check runs on the double, before the conversion to single
// precision, so "1e-50" passes and becomes a 0-point font. Enable once fixed.
TEST_F(NoteLoad, SizeIsCheckedAsTheSinglePrecisionValueItBecomes) {
  EXPECT_EQ(platform::GetFont(StartWith({{u"Size", u"1e-50"}})).size, 9.0f);
}

}  // namespace
