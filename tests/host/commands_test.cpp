// The note commands' own logic: the cascade, a font size's rounding, and what
// the user is told when no program opens a link.
#include "commands/style_commands.h"
#include "host_test.h"

using NoteCommands = Process;

Form CreateFrom(Form active) {
  RecordActive(active);
  RunEntry(Id::CreateNewNote);
  return LoadedForms().back();
}

TEST_F(NoteCommands, NewNotesCascadeFromTheActiveNoteInItsStyleInsideTheWorkArea) {
  const Font style{u"Courier New", 14, false, true, false, true};
  ApplyTextStyle(TextAreaOf(a_), 0x000000FF, style);
  SetRect(a_, {2025, 2055, 3000, 2400});  // a wider text area
  Form made = CreateFrom(a_);
  TextBox text = TextAreaOf(made);
  EXPECT_EQ(std::tuple(GetRect(made), GetFont(text), GetForeColor(text), GetRect(text).width),
            std::tuple(Rect{2520, 2550, 1995, 2355}, style, 0x000000FFu, 3000));
  // Beyond the work area (1280 x 984 pixels) a coordinate starts again at its near edge.
  for (auto [from, left, top] : {std::tuple{Rect{17400, 2055, 1995, 2355}, 0, 170}, {{2025, 12700, 1995, 2355}, 168, 0},
                                 {{2147483000, -1000, 1995, 2355}, 0, 0}}) {
    SetRect(a_, from);
    const sim::Record* note = sim::Find(CreateFrom(a_));
    EXPECT_EQ(std::pair(note->leftPx, note->topPx), std::pair(left, top));
  }
  SetRect(TextAreaOf(a_), {0, 360, 15, 1995});  // out of reach: a new note does not copy that
  EXPECT_EQ(GetRect(TextAreaOf(CreateFrom(a_))).width, 1440);
}

TEST_F(NoteCommands, FontSizesRoundHalvesToEvenAndAFailedLinkSaysWhy) {
  EXPECT_EQ(std::pair(RoundHalfEven(10.5), RoundHalfEven(11.5)), std::pair(10, 12));
  Sys().shellFailure = u"No application is associated.";
  RunEntry(Id::GotoWebSite);
  EXPECT_EQ(Sys().messageBoxes.at(0).prompt,
            u"No program could open\nhttps://www.pinaleaf.example/\n\nNo application is associated.");
}

// The URL's part after `key`, percent-decoded.
std::string Decoded(const Text& url, const Text& key) {
  std::string bytes;
  for (size_t i = url.find(key) + key.size(); i < url.size(); ++i) {
    bool escape = url[i] == u'%' && i + 2 < url.size();
    bytes += escape ? static_cast<char>(std::stoi(ToUtf8(url.substr(i + 1, 2)), nullptr, 16)) : char(url[i]);
    i += escape ? 2 : 0;
  }
  return bytes;
}

TEST_F(NoteCommands, ALongNoteIsMailedCutAtAWholeCharacterAndTheUserIsToldHowMuchIsLeftOut) {
  Text text;  // 2,860 characters in 2,990 units
  for (int i = 0; i < 130; ++i) text += u"Gr\u00FC\u00DFe \u65E5\U0001F600 & 100% more, ";
  SetText(TextAreaOf(a_), text);
  for (size_t longest : {1000u, 2000u, 9000u}) {
    Sys().longestShellTarget = longest;
    Sys().messageBoxes.clear();
    sim::KeyDown(Key::E, kCtrl);
    sim::Type(u"anna@example.com");
    for (Key key : {Key::Tab, Key::Space, Key::Tab, Key::Space}) sim::KeyDown(key);  // Send, then Cancel
    Text url = Sys().shellCalls.back().target;
    std::string body = Decoded(url, u"&Body=");
    size_t units = 0, kept = 0;  // the body holds the note's first characters, whole
    for (; ToUtf8(text.substr(0, units)).size() < body.size(); ++kept) units += text[units] >= 0xD800 ? 2 : 1;
    EXPECT_EQ(body, ToUtf8(text.substr(0, units))) << longest;
    // Cut only where the next character would not fit (an emoji escaped takes 12).
    EXPECT_TRUE(url.size() <= longest && (kept == 2860 || url.size() + 12 > longest)) << longest;
    EXPECT_EQ(Decoded(url.substr(0, url.find(u"&Body=")), u"?Subject="), "Gr\xC3\xBC\xC3\x9F" "e ");
    Text told = u"the last " + FormatInteger(2860 - kept) + u" of its 2860 characters";
    EXPECT_EQ(Sys().messageBoxes.size(), kept < 2860 ? 1u : 0u);
    if (kept < 2860) EXPECT_NE(Sys().messageBoxes[0].prompt.find(told), Text::npos) << ToUtf8(told);
  }
}

TEST_F(NoteCommands, DialogsActOnTheNoteTheyOpenedForWhereverThePointerGoesAndNotOnOneClosedMeanwhile) {
  SetText(TextAreaOf(a_), u"mine");
  SetText(TextAreaOf(b_), u"other");
  Form closing;  // closed while its dialog is open
  auto wander = [&] {
    sim::MouseMove(TextAreaOf(b_), 0, 0, 300, 300);
    if (closing) sim::Close(closing);
  };
  Sys().saveDialog = [&](Form, SaveChoice& choice) {
    wander();
    choice.fileName = u"C:\\n.txt";
    return true;
  };
  Sys().fontDialog = [&](Form, FontChoice& choice) {
    wander();
    choice.font.bold = true;
    return true;
  };
  Sys().colorDialog = [&](Form, Color& color) {
    wander();
    color = 0x0000FF;
    return true;
  };
  for (Key key : {Key::S, Key::F, Key::O}) {
    sim::Click(TextAreaOf(a_));
    sim::KeyDown(key, kCtrl);
  }
  EXPECT_EQ(Sys().files[u"C:\\n.txt"], "mine");
  EXPECT_EQ(std::pair(GetFont(TextAreaOf(a_)).bold, GetBackColor(a_)), std::pair(true, 0x0000FFu));
  EXPECT_EQ(std::pair(GetFont(TextAreaOf(b_)).bold, GetBackColor(b_)), std::pair(false, 0xC0FFFFu));
  for (Key key : {Key::S, Key::F, Key::O}) {
    closing = Note::Load(a_)->window();
    ShowForm(closing);
    sim::Click(TextAreaOf(closing));
    sim::KeyDown(key, kCtrl);
  }
  EXPECT_EQ(std::pair(Sys().files.size(), GetFont(TextAreaOf(b_)).bold), std::pair(size_t{1}, false));
  EXPECT_EQ(GetBackColor(b_), 0xC0FFFFu);
  ASSERT_EQ(Sys().messageBoxes.size(), 1u);
  EXPECT_EQ(Sys().messageBoxes[0].prompt,
            u"The note was closed before it could be saved; nothing was written to\nC:\\n.txt");
}
