// A note: its load, the active-note scan, the events that record it, the
// text-area fit, moving and resizing, and translucency.
#include "host_test.h"
#include "notes/active_note.h"
#include "notes/translucency.h"
#include "notes/translucent_form.h"

Handle StartWith(std::initializer_list<std::pair<const char16_t*, const char16_t*>> stored) {
  NewProcess();
  for (auto [key, value] : stored) Sys().store[key] = value;
  sim::Run(StartProgram);
  return StartupNoteWindow();
}

auto Styled(Handle n) { return std::tuple(GetFont(TextAreaOf(n)), GetForeColor(TextAreaOf(n)), sim::Find(n)->topmost); }

TEST(NoteLoad, StoredStyleAppliesWhereItConvertsAndNothingIsWritten) {
  Handle note = StartWith({}), text = TextAreaOf(note);
  EXPECT_EQ(std::tuple(GetRect(note), GetRect(text), GetBackColor(text), GetText(text)),
            std::tuple(Rect{2025, 2055, 1995, 2355}, Rect{0, 360, 1995, 1995}, kNoteYellow, Text()));
  EXPECT_TRUE(sim::Find(text)->contextMenuBlocked && Sys().store.empty());
  SinkOf(note)->OnUnload(note);  // the block goes while the text box still exists
  EXPECT_FALSE(sim::Find(text)->contextMenuBlocked);
  note = StartWith({{u"TextColor", u"16711680"}, {u"Bold", u"True"}, {u"Italic", u"-1"}, {u"Underline", u" true "},
                    {u"Strikethru", u"2.5"}, {u"Font", u"Courier New"}, {u"Size", u"10.5"}, {u"AlwaysOnTop", u"0"}});
  EXPECT_EQ(Styled(note), std::tuple(Font{u"Courier New", 10.5f, true, true, true, true}, 0x00FF0000u, false));
  EXPECT_FALSE(AlwaysOnTop());
  // Each value that does not convert leaves the design one, and the switch
  // on. 1e-50 is a positive number but a 0-point font.
  for (auto [key, bad] : {std::pair{u"Size", u"0"}, {u"Size", u"2049"}, {u"Size", u"nan"}, {u"Size", u"1e-50"},
                          {u"TextColor", u"12abc"}, {u"TextColor", u"1.5"}, {u"TextColor", u"2147483648"},
                          {u"TextColor", u"0x0000FF"}, {u"Bold", u"yes"}, {u"Font", u""}, {u"AlwaysOnTop", u"no"}}) {
    EXPECT_EQ(Styled(StartWith({{key, bad}})), std::tuple(Font{}, kWindowTextColor, true)) << ToUtf8(bad);
  }
}

TEST(ActiveNoteScan, TheRecordNamesOneNoteByNumberAndIsReadAfreshAfterEachAction) {
  NewProcess();
  Handles w = {Note::Load()->window(), Note::Load()->window(), Note::Load()->window()}, seen;
  // Each action names the next note: the scan follows on, never back.
  Sys().store[u"ActivehWnd"] = u" " + FormatInteger(w[0]) + u".0 ";
  ForEachActiveNote([&](Note& note) {
    seen.push_back(note.window());
    RecordActive(seen.size() < w.size() ? w[seen.size()] : w[0]);
  });
  EXPECT_EQ(seen, w);
  // Unreadable, it names none, or all; an action may close a note.
  Sys().store[u"ActivehWnd"] = u"x";
  ForEachActiveNote([](Note& note) { note.Unload(); });
  EXPECT_EQ(LoadedForms(), w);
  ForEachActiveNote([](Note& note) { note.Unload(); }, UnreadableRecord::MatchesAll);
  EXPECT_TRUE(LoadedForms().empty());
}

using NoteEvents = TwoNotes;

TEST_F(NoteEvents, PressesMovesAndFocusRecordTheNoteAndAResizeFitsTheActiveNotesTextArea) {
  Handle text = TextAreaOf(b_);
  const std::function<void()> events[] = {[&] { SetFocus(b_); }, [&] { sim::MouseMove(text, 0, 0, 10, 10); },
                                          [&] { sim::MouseDown(b_, kMiddleButton, kShift, 50, 50); }};
  for (const auto& event : events) {
    RecordActive(a_);
    event();
    EXPECT_EQ(Recorded(), FormatInteger(b_));
  }
  RecordActive(a_);
  sim::MouseMove(b_, 0, 0, 100, 100);  // the strip: only the pointer changes
  EXPECT_EQ(Recorded(), FormatInteger(a_));
  // A resize of any note fits the active one's text area.
  auto areas = [&] { return std::pair(GetRect(TextAreaOf(a_)), GetRect(text)); };
  RecordActive(b_);
  SetRect(a_, {2025, 2055, 2400, 2400});
  RecordActive(a_);
  SetRect(b_, {6000, 3000, 3000, 4000});
  EXPECT_EQ(areas(), std::pair(Rect{0, 360, 2400, 2040}, Rect{0, 360, 1995, 1995}));
  SetRect(a_, {2025, 2055, 2100, 345});  // too low: the height stays
  EXPECT_EQ(areas(), std::pair(Rect{0, 360, 2100, 2040}, Rect{0, 360, 1995, 1995}));
  Sys().store[u"ActivehWnd"] = u"not a number";  // fits every note
  SetRect(a_, {2025, 2055, 2100, 2100});
  // 4000 twips are 267 pixels, read back as 4005; 4005 - 355 rounds to 3645.
  EXPECT_EQ(areas(), std::pair(Rect{0, 360, 2100, 1740}, Rect{0, 360, 3000, 3645}));
}

TEST(MoveResize, PressesOnTheStripMoveOnTheFarBandsResizeAndThePointerTellsWhich) {
  NewProcess();
  sim::SetDpi(288);  // 5 twips to the pixel: the twips below are whole pixels
  Sys().cursors[u"C:\\Program Files\\Pinaleaf\\HAND-M.CUR"] = true;
  std::vector<int> loops;
  Sys().moveSizeLoop = [&](Handle form, int code) {
    loops.push_back(code);
    SetRect(form, {5000, 4000, 4400, 1600});
  };
  auto note = Note::Load();
  note->Show();
  Handle window = note->window(), text = note->textArea();
  sim::MouseDown(window, kLeftButton, 0, 500, 100);
  sim::MouseDown(window, kMiddleButton, 0, 500, 100);
  EXPECT_EQ(std::pair(loops, GetRect(window)), std::pair(std::vector{+kHitCaption}, Rect{5000, 4000, 4400, 1600}));
  // The text area is not square: the bands follow each side. 0: no loop, the caret goes there.
  for (auto [x, y, code] : {std::tuple{3805, 500, +kHitRight}, {3800, 955, +kHitBottom}, {90, 990, +kHitBottom},
                            {3900, 50, +kHitTopRight}, {50, 960, +kHitBottomLeft}, {3950, 990, +kHitBottomRight},
                            {3800, 500, 0}, {1000, 950, 0}}) {
    SetRect(window, {0, 0, 4000, 1360});
    SetRect(text, {0, 360, 4000, 1000});
    SetFocus(window);
    loops.clear();
    sim::MouseDown(text, kLeftButton, 0, x, y);
    // A loop had the press, not the caret; the text area is as wide as the note after it.
    EXPECT_EQ(std::tuple(loops, GetFocus() == text, GetRect(text).width),
              std::tuple(code ? std::vector{code} : std::vector<int>{}, code == 0, code ? 4400 : 4000));
  }
  // The corner shows size NW-SE, the rest of the bands the I-beam, the strip
  // the cursor file beside the program.
  for (auto [target, x, y, shape] : {std::tuple{window, 500, 100, Pointer::Custom}, {text, 3900, 500, Pointer::IBeam},
                                     {text, 3801, 951, Pointer::SizeNWSE}, {text, 3800, 990, Pointer::IBeam}}) {
    sim::MouseMove(target, 0, 0, x, y);
    EXPECT_EQ(sim::PointerOf(window), std::pair(shape, note->customPointer())) << x << "," << y;
  }
  EXPECT_NE(note->customPointer(), 0);
}

int AlphaOf(Handle window) { return sim::Find(window)->layeredAlpha; }
bool Layered(Handle window) { return GetExtendedStyle(window) & kLayeredStyle; }

TEST(Translucency, ANoteTakesTheStoredAlphaOneTickAfterItsLoadTheCommandsStepItAndTheControllerKeepsWhatTheSystemTook) {
  NewProcess();
  for (auto [stored, alpha] : {std::pair{u"", 200}, {u"0", 0}, {u"255", 255}, {u"256", 200}, {u"12.5", 200}}) {
    Sys().store[u"Translucency"] = stored;
    Handle note = Note::Load()->window();
    sim::Advance(1);
    EXPECT_EQ(std::tuple(AlphaOf(note), GetTimer(note)), std::tuple(alpha, 0));
  }
  EXPECT_EQ(sim::Stored(u"TransCount"), u"6");
  Handles stepped;
  for (auto [stored, slot, next] : {std::tuple{u"junk", 1, u"2"}, {u"0", 1, u"2"}, {u"32767", 32767, u"1"}}) {
    Sys().store[u"TransCount"] = stored;
    stepped.push_back(Note::Load()->window());
    sim::Advance(1);
    EXPECT_EQ(std::tuple(TranslucencySlot(slot)->Hwnd(), sim::Stored(u"TransCount")), std::tuple(stepped.back(), next));
  }
  // Slot 1 was filled again: the window it held before stays translucent.
  EXPECT_EQ(AlphaOf(stepped[0]), 200);
  // The commands step the stored alpha within its limits and restep the
  // active note only.
  const int more = kIncreaseTranslucencyItem, less = kDecreaseTranslucencyItem, reset = kDefaultTranslucencyItem;
  RecordActive(stepped[1]);
  for (auto [item, from, to] : {std::tuple{more, u"200", 180}, {more, u"95", 80}, {more, u"junk", 180},
                                {less, u"234", 254}, {less, u"250", 254}, {less, u"300", 220}, {reset, u"80", 200}}) {
    Sys().store[u"Translucency"] = from;
    RunEntry(item);
    sim::Advance(1);
    EXPECT_EQ(std::tuple(sim::Stored(u"Translucency"), AlphaOf(stepped[1]), AlphaOf(stepped[2])),
              std::tuple(FormatInteger(to), to, 200)) << item << " from " << ToUtf8(from);
  }
  Sys().store[u"ActivehWnd"] = u"junk";
  RunEntry(more);
  sim::Advance(1);
  EXPECT_EQ(AlphaOf(stepped[1]), 200);
  // The controller keeps only what the system took.
  Handle w = CreateForm({}, nullptr), other = CreateForm({}, nullptr);
  {
    CTranslucentForm form;
    form.SetHwnd(w);
    form.SetAlpha(120);
    Sys().layeredCallsFail = true;
    form.SetAlpha(30);
    form.SetColorKey(0x80000005);  // a system colour: resolved for the system, kept as given
    EXPECT_EQ(std::tuple(Layered(w), form.Alpha(), AlphaOf(w), form.GetMode(), form.ColorKey()),
              std::tuple(true, 120, 120, +CTranslucentForm::kColorKey, 0x80000005u));
    Sys().layeredCallsFail = false;
    form.SetHwnd(other);  // detaches the first window
    EXPECT_EQ(std::tuple(Layered(w), AlphaOf(w), Layered(other)), std::tuple(false, 255, true));
  }
  EXPECT_EQ(std::tuple(Layered(other), AlphaOf(other)), std::tuple(false, 255));  // destruction detaches
  Sys().majorVersion = 4;
  CTranslucentForm old;
  old.SetHwnd(w);
  old.SetAlpha(100);
  EXPECT_EQ(std::tuple(old.Hwnd(), old.Alpha(), Layered(w)), std::tuple(0, 255, false));
}
