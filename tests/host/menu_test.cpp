// The ways to a command: the popup a right press opens and the Ctrl
// shortcuts, both from one table.
#include "host_test.h"
#include "menu/menu_form.h"

using Menu = TwoNotes;

// What the commands change, as seen from outside.
auto Effects(Form note) {
  TextBox text = IsLoaded(note) ? TextAreaOf(note) : TextBox();
  return std::tuple(GetText(text), GetSelectedText(text), GetFont(text).name, GetBackColor(note), Sys().files.size(),
                    LoadedForms().size(), GetCaption(LoadedForms().back()));
}

TEST_F(Menu, ARightPressOpensThePopupOnThePressedNoteAndEachCtrlKeyRunsItsEntrysCommandOnTheNoteUnderThePointer) {
  TextBox text = TextAreaOf(b_);
  std::vector<std::tuple<Form, Text, bool>> seen;  // owner, record, text area enabled
  Sys().popup = [&](MenuId, Form owner) { return seen.emplace_back(owner, Recorded(), IsEnabled(text)), 0; };
  RightPress(b_);  // the strip, then the text area, which is disabled while it is open
  RecordActive(a_);
  RightPress(text);
  for (MouseButton button : {kLeftButton, kMiddleButton}) sim::MouseDown(b_, button, 0, 100, 100);
  const Text b = FormatInteger(b_.number());
  EXPECT_EQ(seen, (std::vector<std::tuple<Form, Text, bool>>{{b_, b, true}, {b_, b, false}}));
  // Dismissed, the keyboard is back in the note.
  EXPECT_EQ(std::pair(IsEnabled(text), GetFocus()), std::pair(true, Window(text)));
  // Each Ctrl key runs its entry's command on the note under the pointer.
  auto start = [this] {
    SetUp();
    SetText(TextAreaOf(b_), u"beta note");
    Sys().fontDialog = [](Form, FontChoice& choice) { return choice.font.name = u"Courier New", true; };
    Sys().colorDialog = [](Form, Color& color) { return color = 0x00112233, true; };
    Sys().saveDialog = [](Form, SaveChoice& choice) { return choice.fileName = u"C:\\saved.txt", true; };
    // The keys go to the start-up note; the pointer last passed over the other.
    sim::MouseMove(TextAreaOf(b_), 0, 0, 10, 10);
  };
  int shortcuts = 0;
  for (const Command& command : Commands()) {
    if (!command.shortcut.runs) continue;
    ++shortcuts;
    start();
    // Only Ctrl alone counts: the same key with other modifiers adds nothing.
    for (int modifiers : {0, +kShift, +kAlt, kCtrl | kShift, kCtrl | kAlt, +kCtrl}) {
      sim::KeyDown(command.shortcut.key, modifiers);
    }
    auto byKey = Effects(b_);
    start();
    RunEntry(command.id);
    EXPECT_EQ(byKey, Effects(b_)) << ToUtf8(command.caption);
  }
  EXPECT_EQ(shortcuts, 10);
  // The labels the popup shows.
  Text labels;
  for (const Command& command : Commands()) labels += ShortcutLabel(command.shortcut) + u" ";
  EXPECT_EQ(labels, u"Ctrl+X Ctrl+C Ctrl+V Ctrl+A  Ctrl+R  Ctrl+N Ctrl+D  Ctrl+F Ctrl+O  Ctrl+E Ctrl+S  Ctrl+F1 Ctrl+F2"
                    u"         Ctrl+Q ");
}
