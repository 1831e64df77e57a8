// Font and colour: the shared dialog component's carried state, the style
// applied to the active note and stored for new notes, cancels, and the
// case of no active note.
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "commands/style_commands.h"
#include "host_test.h"
#include "menu/menu_form.h"
#include "notes/note.h"

namespace {

using namespace pinaleaf;
using platform::Color;
using platform::Font;
using platform::FontChoice;
using platform::Handle;
using platform::Text;
using Texts = std::vector<Text>;

class StyleCommands : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    a_ = Note::Load();
    a_->Show();
    b_ = Note::Load();
    b_->Show();
    RecordActive(a_->window());
  }

  // Answers the font dialog with `answer`, or cancels it after changing
  // what it shows; notes what it showed.
  void AnswerFont(std::optional<FontChoice> answer) {
    sim::SetFontDialogHandler([this, answer](FontChoice& choice) {
      shown_.push_back(choice);
      choice.font.name = u"Wingdings";
      if (answer) choice = *answer;
      return answer.has_value();
    });
  }
  static void AnswerColor(Color color, bool ok = true) {
    sim::SetColorDialogHandler([=](Color& chosen) {
      chosen = color;
      return ok;
    });
  }
  // What a note shows: font, text colour, text-area and strip background.
  static auto Look(const std::shared_ptr<Note>& note) {
    Handle text = note->textArea();
    return std::tuple(platform::GetFont(text), platform::GetForeColor(text), platform::GetBackColor(text),
                      platform::GetBackColor(note->window()));
  }
  static inline const auto kDesignLook = std::tuple(Font{}, platform::kWindowTextColor, kNoteYellow, kNoteYellow);

  static Texts StoredStyle() {
    Texts values;
    for (auto key : {u"TextColor", u"Bold", u"Italic", u"Underline", u"Strikethru", u"Font", u"Size"}) {
      values.push_back(sim::Stored(key).value_or(u"missing"));
    }
    return values;
  }

  std::shared_ptr<Note> a_, b_;
  std::vector<FontChoice> shown_;
};

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, int> cases[] = {{10.5, 10}, {11.5, 12}, {12.5, 12}, {0.5, 0},   {11.4, 11},
                                          {11.6, 12}, {16, 16},   {-0.5, 0},  {-1.5, -2}, {-2.5, -2}};
  for (auto [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

TEST_F(StyleCommands, TheFontDialogOpensAtSixteenWithTheRestCarried) {
  const Font chosen{.name = u"Courier New", .size = 20, .bold = true, .underline = true, .strikethrough = true};
  AnswerFont(FontChoice{chosen, 0x000000FF, 0});
  RunMenuCommand(kFontItem);
  AnswerFont(std::nullopt);
  RunMenuCommand(kFontItem);
  RunMenuCommand(kFontItem);  // the cancel kept nothing of what it showed
  AnswerColor(0x00336699);
  RunMenuCommand(kColorItem);
  RunMenuCommand(kFontItem);

  ASSERT_EQ(shown_.size(), 4u);
  Font carried = chosen;
  carried.size = 16;
  for (size_t i = 0; i < shown_.size(); ++i) {
    EXPECT_EQ(shown_[i].font.size, 16.0f);
    EXPECT_EQ(shown_[i].flags, 0x103u);
    if (i == 0) continue;
    EXPECT_EQ(shown_[i].font, carried) << i;
    EXPECT_EQ(shown_[i].color, i < 3 ? 0x000000FFu : 0x00336699u) << i;  // the colour dialog's, last
  }
}

TEST_F(StyleCommands, AChosenFontStylesTheActiveNoteAndIsStoredForNewNotes) {
  const Font chosen{.name = u"Times New Roman", .size = 11.5f, .bold = true, .strikethrough = true};
  AnswerFont(FontChoice{chosen, 0x000000FF, 0});
  int writes = sim::StoreWrites();
  RunMenuCommand(kFontItem);
  Font applied = chosen;
  applied.size = 12;
  EXPECT_EQ(Look(a_), std::tuple(applied, 0x000000FFu, kNoteYellow, kNoteYellow));
  EXPECT_EQ(sim::StoreWrites() - writes, 7);
  EXPECT_EQ(StoredStyle(), (Texts{u"255", u"True", u"False", u"False", u"True", u"Times New Roman", u"12"}));

  // The other note keeps its look; a new one loads the stored style.
  EXPECT_EQ(Look(b_), kDesignLook);
  EXPECT_EQ(Look(Note::Load()), std::tuple(applied, 0x000000FFu, kNoteYellow, kNoteYellow));

  AnswerFont(FontChoice{Font{.name = u"Segoe UI", .size = 10.5f, .italic = true, .underline = true}, 0x00FF8040, 0});
  RunMenuCommand(kFontItem);
  EXPECT_EQ(platform::GetFont(a_->textArea()).size, 10.0f);
  EXPECT_EQ(StoredStyle(), (Texts{u"16744512", u"False", u"True", u"True", u"False", u"Segoe UI", u"10"}));
}

TEST_F(StyleCommands, TheColourGoesToTheTextAreaAndTheStripOnly) {
  AnswerColor(0x00FFC0C0);
  int writes = sim::StoreWrites();
  RunMenuCommand(kColorItem);
  EXPECT_EQ(Look(a_), std::tuple(Font{}, platform::kWindowTextColor, 0x00FFC0C0u, 0x00FFC0C0u));
  EXPECT_EQ(Look(b_), kDesignLook);
  EXPECT_EQ(sim::StoreWrites(), writes);
  EXPECT_EQ(Look(Note::Load()), kDesignLook);
}

// The colour dialog sets the component's CancelError for good; cancels
// still change nothing.
TEST_F(StyleCommands, ACancelChangesNothingAlsoAfterTheColourDialog) {
  RunMenuCommand(kColorItem);
  AnswerFont(std::nullopt);
  AnswerColor(0x00123456, false);
  int writes = sim::StoreWrites();
  RunMenuCommand(kFontItem);
  RunMenuCommand(kColorItem);
  EXPECT_EQ(shown_.size(), 1u);
  EXPECT_EQ(Look(a_), kDesignLook);
  EXPECT_EQ(sim::StoreWrites(), writes);
  EXPECT_FALSE(sim::ProcessEnded());
}

TEST_F(StyleCommands, WithoutAnActiveNoteTheDialogsShowAndNothingIsApplied) {
  AnswerFont(FontChoice{Font{.name = u"Courier New", .size = 30, .bold = true}, 0x000000FF, 0});
  AnswerColor(0x00FFC0C0);
  for (Handle record : {Handle{0}, MenuForm::Get().window(), a_->textArea()}) {
    RecordActive(record);
    int writes = sim::StoreWrites();
    size_t dialogs = sim::Dialogs().size();
    RunMenuCommand(kFontItem);
    RunMenuCommand(kColorItem);
    ASSERT_EQ(sim::Dialogs().size(), dialogs + 2);
    EXPECT_EQ(sim::Dialogs()[dialogs].kind, u"font");
    EXPECT_EQ(sim::Dialogs()[dialogs + 1].kind, u"color");
    EXPECT_EQ(sim::StoreWrites(), writes);
    EXPECT_EQ(Look(a_), kDesignLook);
    EXPECT_EQ(Look(b_), kDesignLook);
  }
}

}  // namespace
