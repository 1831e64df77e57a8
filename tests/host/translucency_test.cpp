// The translucency controller as a state machine, the notes' translucency
// step with its slot counter, and the three translucency commands.
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "host_test.h"
#include "menu/menu_form.h"
#include "notes/note.h"
#include "notes/translucency.h"
#include "notes/translucent_form.h"

namespace {

using namespace pinaleaf;
using platform::Color;
using platform::Handle;
using platform::Text;
// A layered call: window, key, alpha, flags, whether it succeeded.
using Call = std::tuple<Handle, Color, int, unsigned, bool>;

constexpr unsigned kAlpha = platform::kLayeredAlpha, kKey = platform::kLayeredColorKey;

bool IsLayered(Handle window) { return sim::Find(window)->exStyle & platform::kLayeredStyle; }
int AlphaOf(Handle window) { return sim::Find(window)->layeredAlpha; }
size_t Calls() { return sim::LayeredCalls().size(); }
Call LastCall() {
  const sim::LayeredCall& c = sim::LayeredCalls().back();
  return {c.window, c.key, c.alpha, c.flags, c.succeeded};
}
Handle NewWindow() { return LoadOtherForm(platform::FormKind::Note); }

using TranslucentForm = HostTest;

TEST_F(TranslucentForm, AttachesDetachesAndSwitchesModes) {
  Handle w = NewWindow();
  CTranslucentForm form;
  EXPECT_TRUE(form.Supported());
  EXPECT_EQ(std::tuple(form.Hwnd(), form.Alpha(), form.ColorKey(), form.GetMode()),
            std::tuple(0, 255, 0x8000000Fu, 2));

  form.SetHwnd(w);
  EXPECT_TRUE(IsLayered(w));
  ASSERT_EQ(Calls(), 1u);
  EXPECT_EQ(LastCall(), Call(w, 0, 255, kAlpha, true));

  // Opaque first, while still layered, then the style goes.
  form.SetMode(0);
  EXPECT_FALSE(IsLayered(w));
  ASSERT_EQ(Calls(), 2u);
  EXPECT_EQ(LastCall(), Call(w, 0, 255, kAlpha, true));
  form.SetMode(3);
  form.SetMode(-1);
  EXPECT_EQ(form.GetMode(), 0);
  EXPECT_EQ(Calls(), 2u);

  // Alpha outside mode 2 switches to it and layers the window again.
  form.SetAlpha(120);
  EXPECT_EQ(std::tuple(form.GetMode(), form.Alpha(), IsLayered(w), AlphaOf(w)), std::tuple(2, 120, true, 120));
  // In mode 2 the call decides whether the new alpha is kept.
  sim::FailLayeredCalls(true);
  form.SetAlpha(30);
  EXPECT_EQ(LastCall(), Call(w, 0, 30, kAlpha, false));
  EXPECT_EQ(form.Alpha(), 120);
  sim::FailLayeredCalls(false);

  // A system colour key is resolved for the system but kept as given.
  form.SetColorKey(0x8000000F);
  EXPECT_EQ(form.GetMode(), 1);
  EXPECT_EQ(form.ColorKey(), 0x8000000Fu);
  EXPECT_EQ(LastCall(), Call(w, 0xF0F0F0, 0, kKey, true));
  form.SetColorKey(0x80000005);  // in mode 1: applied directly
  EXPECT_EQ(LastCall(), Call(w, 0xFFFFFF, 0, kKey, true));
  EXPECT_EQ(form.ColorKey(), 0x80000005u);
  sim::FailLayeredCalls(true);
  form.SetColorKey(0x00FF00FF);
  EXPECT_EQ(form.ColorKey(), 0x80000005u);
  sim::FailLayeredCalls(false);

  form.SetAlpha(77);  // from mode 1
  EXPECT_EQ(form.GetMode(), 2);
  EXPECT_EQ(LastCall(), Call(w, 0, 77, kAlpha, true));

  // Rebinding detaches the old window first.
  Handle other = NewWindow();
  form.SetHwnd(other);
  EXPECT_EQ(std::tuple(IsLayered(w), AlphaOf(w), IsLayered(other), form.Alpha()), std::tuple(false, 255, true, 255));
}

TEST_F(TranslucentForm, AFailedStyleWriteStopsBeforeAnyLayeredCall) {
  Handle w = NewWindow();
  {
    CTranslucentForm form;
    form.SetHwnd(w);
    form.SetAlpha(100);
    size_t before = Calls();
    sim::FailStyleWrites(true);
    form.SetMode(2);
    form.SetMode(1);
    form.SetAlpha(50);  // from mode 1, through the same stop
    EXPECT_EQ(Calls(), before);
    EXPECT_EQ(form.GetMode(), 2);

    Handle other = NewWindow();
    form.SetHwnd(other);  // attaching fails: no call, the alpha stays
    EXPECT_EQ(std::tuple(IsLayered(other), AlphaOf(other), form.Alpha()), std::tuple(false, -1, 50));
    sim::FailStyleWrites(false);
    form.SetHwnd(w);
    form.SetAlpha(60);
  }
  EXPECT_EQ(std::tuple(IsLayered(w), AlphaOf(w)), std::tuple(false, 255));  // destruction detaches
}

TEST_F(TranslucentForm, BelowMajorVersionFiveNothingHappens) {
  sim::SetSystemMajorVersion(5);
  EXPECT_TRUE(CTranslucentForm().Supported());
  sim::SetSystemMajorVersion(4);
  Handle w = NewWindow();
  CTranslucentForm form;
  form.SetHwnd(w);
  form.SetMode(2);
  form.SetAlpha(100);
  form.SetColorKey(0x00FF0000);
  EXPECT_FALSE(form.Supported());
  EXPECT_EQ(std::tuple(form.Hwnd(), form.Alpha(), form.ColorKey()), std::tuple(0, 255, 0x8000000Fu));
  EXPECT_FALSE(IsLayered(w));
  EXPECT_EQ(Calls(), 0u);
}

class TranslucencyStep : public HostTest {
 protected:
  Handle LoadNote() {
    notes_.push_back(Note::Load());
    notes_.back()->Show();
    return notes_.back()->window();
  }
  std::vector<std::shared_ptr<Note>> notes_;
};

TEST_F(TranslucencyStep, EveryNoteIsLayeredWithTheStoredAlphaOneTickAfterLoad) {
  for (auto [stored, alpha] : {std::pair<Text, int>{u"-", 200}, {u"150", 150}, {u"0", 0}, {u"255", 255},
                               {u"256", 200}, {u"-1", 200}, {u"abc", 200}, {u"12.5", 200}}) {
    sim::Reset();
    if (stored != u"-") sim::Store(u"Translucency", stored);
    Handle a = LoadNote(), b = LoadNote();
    EXPECT_FALSE(IsLayered(a));
    sim::Advance(1);
    for (Handle note : {a, b}) {
      EXPECT_EQ(std::tuple(IsLayered(note), AlphaOf(note), platform::GetTimer(note)), std::tuple(true, alpha, 0))
          << ToUtf8(stored);
    }
  }
}

TEST_F(TranslucencyStep, TheSlotCounterPersistsAndWraps) {
  Handle a = LoadNote(), b = LoadNote();
  sim::Advance(1);
  EXPECT_EQ(TranslucencySlot(1)->Hwnd(), a);
  EXPECT_EQ(TranslucencySlot(2)->Hwnd(), b);
  EXPECT_EQ(sim::Stored(u"TransCount"), u"3");
  EXPECT_EQ(notes_[1]->translucencyCounter(), 3);

  // The next run goes on from the stored value.
  Text left = *sim::Stored(u"TransCount");
  sim::Reset();
  sim::Store(u"TransCount", left);
  Handle c = LoadNote();
  sim::Advance(1);
  EXPECT_EQ(TranslucencySlot(3)->Hwnd(), c);
  EXPECT_EQ(sim::Stored(u"TransCount"), u"4");

  // Slot 1 is filled again and again; the controllers it held stay bound,
  // so their windows stay translucent.
  std::vector<Handle> stepped;
  for (auto [stored, slot, next] : {std::tuple<Text, int, Text>{u"", 1, u"2"}, {u"junk", 1, u"2"},
                                    {u"0", 1, u"2"}, {u"-7", 1, u"2"}, {u"40000", 1, u"2"},
                                    {u"32766", 32766, u"32767"}, {u"32767", 32767, u"1"}}) {
    sim::Store(u"TransCount", stored);
    stepped.push_back(LoadNote());
    sim::Advance(1);
    ASSERT_NE(TranslucencySlot(slot), nullptr);
    EXPECT_EQ(TranslucencySlot(slot)->Hwnd(), stepped.back()) << ToUtf8(stored);
    EXPECT_EQ(sim::Stored(u"TransCount"), next) << ToUtf8(stored);
  }
  for (Handle note : stepped) EXPECT_EQ(std::tuple(IsLayered(note), AlphaOf(note)), std::tuple(true, 200));
}

TEST_F(TranslucencyStep, CommandsStepTheStoredAlphaWithinItsLimits) {
  auto run = [](int item, const char16_t* from, int times) {
    if (from) sim::Store(u"Translucency", from);
    std::vector<Text> seen;
    for (int i = 0; i < times; ++i) {
      RunMenuCommand(item);
      seen.push_back(sim::Stored(u"Translucency").value_or(u"missing"));
    }
    return seen;
  };
  using Texts = std::vector<Text>;
  const int more = kIncreaseTranslucencyItem, less = kDecreaseTranslucencyItem;
  EXPECT_EQ(run(more, u"200", 7), (Texts{u"180", u"160", u"140", u"120", u"100", u"80", u"80"}));
  EXPECT_EQ(run(less, u"200", 4), (Texts{u"220", u"240", u"254", u"254"}));
  EXPECT_EQ(run(more, nullptr, 1), (Texts{u"234"}));  // after 254
  EXPECT_EQ(run(more, u"95", 1), (Texts{u"80"}));
  EXPECT_EQ(run(less, u"250", 1), (Texts{u"254"}));
  EXPECT_EQ(run(more, u"junk", 1), (Texts{u"180"}));
  EXPECT_EQ(run(less, u"300", 1), (Texts{u"220"}));
  EXPECT_EQ(run(kDefaultTranslucencyItem, u"80", 1), (Texts{u"200"}));
}

TEST_F(TranslucencyStep, ACommandRestepsOnlyTheActiveNote) {
  Handle a = LoadNote(), b = LoadNote();
  sim::Advance(1);
  RecordActive(a);
  RunMenuCommand(kIncreaseTranslucencyItem);
  EXPECT_EQ(AlphaOf(a), 200);  // on the next tick, not at once
  sim::Advance(1);
  EXPECT_EQ(std::pair(AlphaOf(a), AlphaOf(b)), std::pair(180, 200));
  Handle c = LoadNote();
  sim::Advance(1);
  EXPECT_EQ(AlphaOf(c), 180);

  RecordActive(b);
  RunMenuCommand(kDecreaseTranslucencyItem);
  sim::Advance(1);
  RecordActive(c);
  RunMenuCommand(kDefaultTranslucencyItem);
  sim::Advance(1);
  EXPECT_EQ(std::tuple(AlphaOf(a), AlphaOf(b), AlphaOf(c)), std::tuple(180, 200, 200));

  // No active note: the value changes, no window does.
  for (Text record : {Text(u"0"), FormatInteger(MenuForm::Get().window()), FormatInteger(notes_[0]->textArea()),
                      Text(u""), Text(u"junk")}) {
    sim::Store(u"ActivehWnd", record);
    size_t before = Calls();
    RunMenuCommand(kIncreaseTranslucencyItem);
    sim::Advance(5);
    EXPECT_EQ(Calls(), before) << ToUtf8(record);
  }
  EXPECT_EQ(sim::Stored(u"Translucency"), u"100");
}

}  // namespace
