// Font and colour: the shared dialog component's carried state, the style
// applied to the active note and stored for new notes, and cancels.
#include <optional>
#include <tuple>
#include <vector>

#include "commands/style_commands.h"
#include "host_test.h"
#include "app/app.h"

namespace {

using namespace pinaleaf;
using platform::Color;
using platform::Font;
using platform::FontChoice;

class StyleCommands : public TwoNotes {
 protected:
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
    sim::SetColorDialogHandler([=](Color& chosen) { return chosen = color, ok; });
  }
  // Font, text colour, text-area and strip background.
  static auto Look(Handle note) {
    Handle text = TextAreaOf(note);
    return std::tuple(platform::GetFont(text), platform::GetForeColor(text), platform::GetBackColor(text),
                      platform::GetBackColor(note));
  }
  static inline const auto kDesignLook = std::tuple(Font{}, platform::kWindowTextColor, kNoteYellow, kNoteYellow);
  static Text StoredStyle() {
    Text values;
    for (auto key : {u"TextColor", u"Bold", u"Italic", u"Underline", u"Strikethru", u"Font", u"Size"}) {
      values += sim::Stored(key).value_or(u"-") + u" ";
    }
    return values;
  }
  std::vector<FontChoice> shown_;
};

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  for (auto [value, rounded] : {std::pair{10.5, 10}, {11.5, 12}, {0.5, 0}, {11.4, 11}, {11.6, 12}, {-1.5, -2},
                                {-2.5, -2}}) {
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  }
}

TEST_F(StyleCommands, AChosenFontStylesTheActiveNoteAndIsStoredForNewNotes) {
  const Font chosen{.name = u"Times New Roman", .size = 11.5f, .bold = true, .strikethrough = true};
  AnswerFont(FontChoice{chosen, 0x000000FF, 0});
  RunMenuCommand(kFontItem);
  Font applied = chosen;
  applied.size = 12;
  EXPECT_EQ(Look(a_->window()), std::tuple(applied, 0x000000FFu, kNoteYellow, kNoteYellow));
  EXPECT_EQ(sim::StoreWrites(), 7);
  EXPECT_EQ(StoredStyle(), u"255 True False False True Times New Roman 12 ");
  EXPECT_EQ(Look(b_->window()), kDesignLook);
  EXPECT_EQ(Look(Note::Load()->window()), std::tuple(applied, 0x000000FFu, kNoteYellow, kNoteYellow));
  AnswerFont(FontChoice{Font{.name = u"Segoe UI", .size = 10.5f, .italic = true}, 0x00FF8040, 0});
  RunMenuCommand(kFontItem);
  EXPECT_EQ(platform::GetFont(a_->textArea()).size, 10.0f);
  EXPECT_EQ(StoredStyle(), u"16744512 False True False False Segoe UI 10 ");
}

TEST_F(StyleCommands, TheFontDialogOpensAtSixteenWithTheRestCarried) {
  const Font chosen{.name = u"Courier New", .size = 20, .bold = true, .underline = true};
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
    EXPECT_EQ(shown_[i].flags, 0x103u);
    EXPECT_EQ(shown_[i].font.size, 16.0f);
    if (i == 0) continue;
    EXPECT_EQ(shown_[i].font, carried) << i;
    EXPECT_EQ(shown_[i].color, i < 3 ? 0x000000FFu : 0x00336699u) << i;  // the colour dialog's, last
  }
}

TEST_F(StyleCommands, TheColourGoesToTheTextAreaAndTheStripOfTheActiveNoteOnly) {
  AnswerColor(0x00FFC0C0);
  RunMenuCommand(kColorItem);
  EXPECT_EQ(Look(a_->window()), std::tuple(Font{}, platform::kWindowTextColor, 0x00FFC0C0u, 0x00FFC0C0u));
  EXPECT_EQ(Look(b_->window()), kDesignLook);
  EXPECT_EQ(Look(Note::Load()->window()), kDesignLook);
  EXPECT_EQ(sim::StoreWrites(), 0);
}

// The colour dialog has set the component's CancelError for good: a cancel
// still changes nothing.
TEST_F(StyleCommands, ACancelOrNoActiveNoteChangesNothing) {
  AnswerFont(std::nullopt);
  AnswerColor(0x00123456, false);
  RunMenuCommand(kColorItem);
  RunMenuCommand(kFontItem);
  AnswerFont(FontChoice{Font{.name = u"Courier New", .size = 30, .bold = true}, 0x000000FF, 0});
  AnswerColor(0x00FFC0C0);
  RecordActive(a_->textArea());
  RunMenuCommand(kFontItem);
  RunMenuCommand(kColorItem);
  EXPECT_EQ(sim::Dialogs().size(), 4u);
  EXPECT_EQ(sim::StoreWrites(), 0);
  EXPECT_EQ(Look(a_->window()), kDesignLook);
  EXPECT_EQ(Look(b_->window()), kDesignLook);
}

}  // namespace
