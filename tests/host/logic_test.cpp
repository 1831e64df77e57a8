// The logic the user's text passes through, at its edges, on the simulated
// platform: the e-mail's address, the bands of a note's text area, and each
// stored setting read as the value it names. (The walk reads every shortcut
// label as the popup shows it.)
#include <gtest/gtest.h>

#include <optional>

#include "notes/move_resize.h"
#include "notes/settings.h"
#include "platform/sim/sim.h"
#include "sharing/email_form.h"

namespace {

using namespace std;
using namespace pinaleaf;
using namespace sim;

TEST(Logic, AMailCarriesTheNoteWholeOrCutAtACharacter) {
  for (auto [to, note, longest, url, leftOut] : {
           tuple{u"anna@example.com", u"milk tea", 900u, u"mailto:anna@example.com?Subject=milk%20&Body=milk%20tea",
                 0u},
           {u"Ben <b@x.org>", u"a&b?c%", 900u, u"mailto:Ben%20%3Cb@x.org%3E?Subject=&Body=a%26b%3Fc%25", 0u},
           {u"a@b", u"one two three", 40u, u"mailto:a@b?Subject=one%20&Body=one%20two", 6u},
           {u"a very long address", u"x", 10u, u"", 1u},
       }) {
    Mailto built = BuildMailto(to, note, longest);
    EXPECT_EQ(built.url, url);
    EXPECT_EQ(built.leftOut, leftOut);
  }
}

// On a text area 2000 twips square: the right and bottom 5 % bands, their
// edges left out, and the edge a press there takes hold of.
TEST(Logic, ThePressAndThePointerFindTheBands) {
  using enum DragEdge;
  for (auto [x, y, band, corner, edge] : {tuple{1905, 1900, true, false, Right},
                                          {1900, 1900, false, false, Move},
                                          {1900, 1901, true, false, Bottom},
                                          {1950, 1950, true, true, BottomRight},
                                          {50, 1950, true, false, BottomLeft},
                                          {1950, 50, true, false, TopRight}})
    EXPECT_EQ(tuple(InResizeZone(x, y, 2000, 2000), InCornerZone(x, y, 2000, 2000), ResizeHitTest(x, y, 2000, 2000)),
              tuple(band, corner, edge));
}

// What a user may have written into the store by hand reads as the nearest
// value the program would have written, or as none: each text here as the
// translucency, the bold flag and the font size, as each row has them.
TEST(Logic, EachStoredSettingReadsAsTheValueItNames) {
  Reset();
  for (auto row : {
           tuple<const char16_t*, int, optional<bool>, optional<float>>{u"", 200, nullopt, nullopt},
           {u"-20", 80, true, nullopt},
           {u"300", 254, true, 300.0f},
           {u"92.5", 92, true, 92.5f},
           {u" 120 ", 120, true, 120.0f},
           {u"0x80", 200, nullopt, nullopt},
           {u"True", 200, true, nullopt},
           {u"fALSE", 200, false, nullopt},
           {u"0", 80, false, nullopt},
           {u"7.5", 80, true, 7.5f},
           {u"2049", 254, true, nullopt},
       }) {
    auto text = get<0>(row);
    for (auto key : {u"Translucency", u"Bold", u"Size"})
      Sys().store[key] = text;
    EXPECT_EQ(tuple(text, ReadSetting(keys::Translucency), ReadSetting(keys::Bold), ReadSetting(keys::Size)), row);
  }
  Sys().store = {{u"ReminderDay", u"3"},   {u"ReminderMonth", u"4"},   {u"ReminderYear", u"2026"},
                 {u"ReminderHours", u"9"}, {u"ReminderMinutes", u"5"}, {u"ReminderSeconds", u"7"}};
  DateTime moment = {2026, 4, 3, 9, 5, 7};
  EXPECT_TRUE(StoredAsWritten(keys::Reminder, moment));
  Sys().store[u"ReminderMinutes"] = u"05";  // the fifth minute as no user of the dialog writes it
  EXPECT_FALSE(StoredAsWritten(keys::Reminder, moment));
}

}  // namespace
