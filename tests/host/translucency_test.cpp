// The translucency controller, the notes' translucency step with its slot
// counter, and the three translucency commands.
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "host_test.h"
#include "app/app.h"
#include "notes/translucency.h"
#include "notes/translucent_form.h"

namespace {

using namespace pinaleaf;
using platform::Color;
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

TEST_F(TranslucentForm, AttachesOpaqueThenKeepsOnlyWhatTheSystemTook) {
  Handle w = NewWindow(), other = NewWindow();
  {
    CTranslucentForm form;
    form.SetHwnd(w);
    EXPECT_TRUE(IsLayered(w));
    ASSERT_EQ(Calls(), 1u);
    EXPECT_EQ(LastCall(), Call(w, 0, 255, kAlpha, true));
    form.SetAlpha(120);
    sim::FailLayeredCalls(true);
    form.SetAlpha(30);
    EXPECT_EQ(LastCall(), Call(w, 0, 30, kAlpha, false));
    EXPECT_EQ(form.Alpha(), 120);
    sim::FailLayeredCalls(false);
    // A system colour key goes to the system resolved, and is kept as given.
    form.SetColorKey(0x80000005);
    EXPECT_EQ(LastCall(), Call(w, 0xFFFFFF, 0, kKey, true));
    sim::FailLayeredCalls(true);
    form.SetColorKey(0x00FF00FF);
    EXPECT_EQ(std::pair(form.GetMode(), form.ColorKey()), std::pair(+CTranslucentForm::kColorKey, 0x80000005u));
    sim::FailLayeredCalls(false);
    form.SetAlpha(77);
    EXPECT_EQ(std::tuple(form.GetMode(), IsLayered(w), AlphaOf(w)), std::tuple(2, true, 77));
    // A failed style write stops before any layered call.
    size_t before = Calls();
    sim::FailStyleWrites(true);
    form.SetMode(CTranslucentForm::kColorKey);
    form.SetAlpha(50);
    EXPECT_EQ(Calls(), before);
    sim::FailStyleWrites(false);
    form.SetHwnd(other);  // detaches the first window
    EXPECT_EQ(std::tuple(IsLayered(w), AlphaOf(w), IsLayered(other)), std::tuple(false, 255, true));
    form.SetAlpha(60);
  }
  EXPECT_EQ(std::tuple(IsLayered(other), AlphaOf(other)), std::tuple(false, 255));  // destruction detaches
}

TEST_F(TranslucentForm, BelowMajorVersionFiveNothingHappens) {
  sim::SetSystemMajorVersion(5);
  EXPECT_TRUE(CTranslucentForm().Supported());
  sim::SetSystemMajorVersion(4);
  CTranslucentForm form;
  form.SetHwnd(NewWindow());
  form.SetAlpha(100);
  EXPECT_EQ(std::tuple(form.Hwnd(), form.Alpha(), Calls()), std::tuple(0, 255, 0u));
}

using TranslucencyStep = HostTest;

TEST_F(TranslucencyStep, ANoteTakesTheStoredAlphaOneTickAfterItsLoad) {
  for (auto [stored, alpha] : {std::pair<Text, int>{u"", 200}, {u"0", 0}, {u"255", 255}, {u"256", 200},
                               {u"-1", 200}, {u"12.5", 200}}) {
    sim::Reset();
    sim::Store(u"Translucency", stored);
    Handle note = ShowNote()->window();
    EXPECT_FALSE(IsLayered(note));
    sim::Advance(1);
    EXPECT_EQ(std::tuple(IsLayered(note), AlphaOf(note), platform::GetTimer(note)), std::tuple(true, alpha, 0))
        << ToUtf8(stored);
  }
}

TEST_F(TranslucencyStep, TheSlotCounterPersistsAndWrapsKeepingOldControllersBound) {
  auto a = ShowNote(), b = ShowNote();
  sim::Advance(1);
  EXPECT_EQ(TranslucencySlot(1)->Hwnd(), a->window());
  EXPECT_EQ(TranslucencySlot(2)->Hwnd(), b->window());
  EXPECT_EQ(sim::Stored(u"TransCount"), u"3");
  std::vector<std::shared_ptr<Note>> stepped;
  for (auto [stored, slot, next] : {std::tuple<Text, int, Text>{u"junk", 1, u"2"}, {u"0", 1, u"2"},
                                    {u"32768", 1, u"2"}, {u"32766", 32766, u"32767"}, {u"32767", 32767, u"1"}}) {
    sim::Store(u"TransCount", stored);
    stepped.push_back(ShowNote());
    sim::Advance(1);
    ASSERT_NE(TranslucencySlot(slot), nullptr) << ToUtf8(stored);
    EXPECT_EQ(TranslucencySlot(slot)->Hwnd(), stepped.back()->window()) << ToUtf8(stored);
    EXPECT_EQ(sim::Stored(u"TransCount"), next) << ToUtf8(stored);
  }
  // Slot 1 was filled again and again: every window it held stays translucent.
  for (const auto& note : stepped) EXPECT_EQ(AlphaOf(note->window()), 200);
  EXPECT_EQ(AlphaOf(a->window()), 200);
}

TEST_F(TranslucencyStep, CommandsStepTheStoredAlphaWithinItsLimits) {
  const int more = kIncreaseTranslucencyItem, less = kDecreaseTranslucencyItem;
  for (auto [item, from, to] : {std::tuple{more, u"200", u"180"}, {more, u"100", u"80"}, {more, u"95", u"80"},
                                {more, u"junk", u"180"}, {less, u"234", u"254"}, {less, u"250", u"254"},
                                {less, u"300", u"220"}, {kDefaultTranslucencyItem, u"80", u"200"}}) {
    sim::Store(u"Translucency", from);
    RunMenuCommand(item);
    EXPECT_EQ(sim::Stored(u"Translucency"), Text(to)) << item << " from " << ToUtf8(from);
  }
}

TEST_F(TranslucencyStep, EachCommandRestepsOnlyTheActiveNoteOnItsNextTick) {
  Handle a = ShowNote()->window(), b = ShowNote()->window(), c = ShowNote()->window();
  sim::Advance(1);
  auto run = [](Handle active, int item) {
    RecordActive(active);
    RunMenuCommand(item);
  };
  run(a, kIncreaseTranslucencyItem);  // 180
  EXPECT_EQ(AlphaOf(a), 200);
  sim::Advance(1);
  EXPECT_EQ(std::tuple(AlphaOf(a), AlphaOf(b), AlphaOf(c)), std::tuple(180, 200, 200));
  run(b, kIncreaseTranslucencyItem);  // 160
  sim::Advance(1);
  run(c, kDecreaseTranslucencyItem);  // 180
  sim::Advance(1);
  run(a, kDefaultTranslucencyItem);  // 200
  sim::Advance(1);
  EXPECT_EQ(std::tuple(AlphaOf(a), AlphaOf(b), AlphaOf(c)), std::tuple(200, 160, 180));
  // No active note: the value changes, no window does.
  size_t before = Calls();
  sim::Store(u"ActivehWnd", u"junk");
  RunMenuCommand(kIncreaseTranslucencyItem);
  sim::Advance(5);
  EXPECT_EQ(std::pair(Calls(), sim::Stored(u"Translucency")), std::pair(before, std::optional<Text>(u"180")));
}

}  // namespace
