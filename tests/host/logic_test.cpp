// The logic the user's text passes through, at its edges, on the simulated
// platform: the e-mail's address, the bands of a note's text area, a new
// note kept on the work area, and each stored setting read as the value it
// names. (The walk reads every shortcut label as the popup shows it.)
#include <gtest/gtest.h>

#include "app/app.h"
#include "notes/move_resize.h"
#include "notes/note.h"
#include "notes/program.h"
#include "notes/settings.h"
#include "notes/values.h"
#include "platform/sim/sim.h"
#include "sharing/email_form.h"

namespace {

using namespace pinaleaf;
using platform::DragEdge;
using platform::Key;
using platform::Text;

TEST(Logic, AMailCarriesTheNoteWholeOrCutAtACharacter) {
  const struct {
    Text to, note;
    size_t longest;
    Text url;
    size_t leftOut;
  } kMails[] = {
      {u"anna@example.com", u"milk tea", 900, u"mailto:anna@example.com?Subject=milk%20&Body=milk%20tea", 0},
      {u"Ben <b@x.org>", u"a&b?c%", 900, u"mailto:Ben%20%3Cb@x.org%3E?Subject=&Body=a%26b%3Fc%25", 0},
      {u"a@b", u"one two three", 40, u"mailto:a@b?Subject=one%20&Body=one%20two", 6},
      {u"a very long address", u"x", 10, u"", 1},
  };
  for (const auto& mail : kMails) {
    Mailto built = BuildMailto(mail.to, mail.note, mail.longest);
    EXPECT_EQ(built.url, mail.url);
    EXPECT_EQ(built.leftOut, mail.leftOut);
  }
}

// On a text area 2000 twips square: the right and bottom 5 % bands, their
// edges left out, and the edge a press there takes hold of.
TEST(Logic, ThePressAndThePointerFindTheBands) {
  const struct {
    int x, y;
    bool band, corner;
    DragEdge edge;
  } kPoints[] = {{1905, 1000, true, false, DragEdge::Right},    {1900, 1000, false, false, DragEdge::Move},
                 {1000, 1901, true, false, DragEdge::Bottom},   {1950, 1950, true, true, DragEdge::BottomRight},
                 {50, 1950, true, false, DragEdge::BottomLeft}, {1950, 50, true, false, DragEdge::TopRight}};
  for (auto p : kPoints) {
    EXPECT_EQ(InResizeZone(p.x, p.y, 2000, 2000), p.band) << p.x << "," << p.y;
    EXPECT_EQ(InCornerZone(p.x, p.y, 2000, 2000), p.corner) << p.x << "," << p.y;
    EXPECT_EQ(ResizeHitTest(p.x, p.y, 2000, 2000), p.edge) << p.x << "," << p.y;
  }
}

// A new note stands 500 twips (33 pixels) right of and below the active
// one, or at the work area's edge where it would leave the work area
// (1280 by 984 pixels).
TEST(Logic, ANewNoteStaysOnTheWorkArea) {
  const int kPlaces[][4] = {{135, 137, 168, 170}, {1140, 137, 0, 170}, {135, 820, 168, 0}, {1200, 900, 0, 0}};
  for (auto [left, top, newLeft, newTop] : kPlaces) {
    sim::Reset();
    Program program;
    sim::Run(StartProgram);
    platform::Form first = StartupNoteWindow();
    platform::SetRect(first, {left * 15, top * 15, 1995, 2355});
    sim::Click(Note::FromWindow(first)->textArea());
    sim::KeyDown(Key::N, platform::kCtrl);
    const sim::Record* made = sim::Find(sim::ActiveForm());
    EXPECT_EQ(std::pair(made->leftPx, made->topPx), std::pair(newLeft, newTop)) << left << "," << top;
  }
}

// What a user may have written into the store by hand reads as the nearest
// value the program would have written, or as none.
TEST(Logic, EachStoredSettingReadsAsTheValueItNames) {
  sim::Reset();
  auto stored = [](const char16_t* key, const char16_t* text) { sim::Sys().store[key] = text; };
  for (auto [text, alpha] :
       {std::pair(u"", 200), {u"-20", 80}, {u"300", 254}, {u"92.5", 92}, {u" 120 ", 120}, {u"0x80", 200}}) {
    stored(u"Translucency", text);
    EXPECT_EQ(ReadSetting(keys::Translucency), alpha) << ToUtf8(text);
  }
  for (auto [text, bold] : {std::pair<const char16_t*, std::optional<bool>>(u"True", true),
                            {u"fALSE", false},
                            {u"0", false},
                            {u"-2", true},
                            {u"yes", std::nullopt},
                            {u"", std::nullopt}}) {
    stored(u"Bold", text);
    EXPECT_EQ(ReadSetting(keys::Bold), bold) << ToUtf8(text);
  }
  for (auto [text, size] : {std::pair<const char16_t*, std::optional<float>>(u"14", 14.0f),
                            {u"7.5", 7.5f},
                            {u"0", std::nullopt},
                            {u"2049", std::nullopt},
                            {u"x", std::nullopt}}) {
    stored(u"Size", text);
    EXPECT_EQ(ReadSetting(keys::Size), size) << ToUtf8(text);
  }
  const char16_t* const kMoment[] = {u"ReminderDay",   u"ReminderMonth",   u"ReminderYear",
                                     u"ReminderHours", u"ReminderMinutes", u"ReminderSeconds"};
  const char16_t* const kTexts[] = {u"3", u"4", u"2026", u"9", u"5", u"7"};
  for (int i = 0; i < 6; ++i)
    stored(kMoment[i], kTexts[i]);
  platform::DateTime moment = {2026, 4, 3, 9, 5, 7};
  EXPECT_TRUE(StoredAsWritten(keys::Reminder, moment));
  stored(u"ReminderMinutes", u"05");  // the fifth minute as no user of the dialog writes it
  EXPECT_FALSE(StoredAsWritten(keys::Reminder, moment));
}

}  // namespace
