// A note's own handling: the active-note scan, the events that record it,
// the text-area fit, moving and resizing, and translucency on the virtual
// clock.
#include "host_test.h"
#include "notes/active_note.h"
#include "notes/translucency.h"
#include "notes/translucent_form.h"

using Notes = Process;

TEST_F(Notes, TheRecordNamesOneNoteByNumberAndIsReadAfreshAfterEachAction) {
  std::vector<Form> w = {Note::Load()->window(), Note::Load()->window(), Note::Load()->window()}, seen;
  // Each action names the next note: the scan follows on, never back.
  Sys().store[u"ActivehWnd"] = u" " + FormatInteger(w[0].number()) + u".0 ";
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
  TextBox text = TextAreaOf(b_);
  const std::function<void()> events[] = {[&] { sim::Click(b_); }, [&] { sim::MouseMove(text, 0, 0, 10, 10); },
                                          [&] { sim::MouseDown(b_, kMiddleButton, kShift, 50, 50); }};
  for (const auto& event : events) {
    RecordActive(a_);
    event();
    EXPECT_EQ(Recorded(), FormatInteger(b_.number()));
  }
  RecordActive(a_);
  sim::MouseMove(b_, 0, 0, 100, 100);  // the strip: only the pointer changes
  EXPECT_EQ(Recorded(), FormatInteger(a_.number()));
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

TEST_F(Notes, PressesOnTheStripMoveOnTheFarBandsResizeAndThePointerTellsWhich) {
  sim::SetDpi(288);  // 5 twips to the pixel: the twips below are whole pixels
  Sys().cursors[u"C:\\Program Files\\Pinaleaf\\HAND-M.CUR"] = true;
  std::vector<DragEdge> drags;
  Sys().drag = [&](Form form, DragEdge edge) {
    drags.push_back(edge);
    SetRect(form, {5000, 4000, 4400, 1600});
  };
  auto note = Note::Load();
  note->Show();
  Form window = note->window();
  TextBox text = note->textArea();
  sim::MouseDown(window, kLeftButton, 0, 500, 100);
  sim::MouseDown(window, kMiddleButton, 0, 500, 100);
  EXPECT_EQ(std::pair(drags, GetRect(window)), std::pair(std::vector{DragEdge::Move}, Rect{5000, 4000, 4400, 1600}));
  // The text area is not square: the bands follow each side. Move: no drag, the caret goes there.
  using E = DragEdge;
  for (auto [x, y, edge] : {std::tuple{3805, 500, E::Right}, {3800, 955, E::Bottom}, {90, 990, E::Bottom},
                            {3900, 50, E::TopRight}, {50, 960, E::BottomLeft}, {3950, 990, E::BottomRight},
                            {3800, 500, E::Move}, {1000, 950, E::Move}}) {
    SetRect(window, {0, 0, 4000, 1360});
    SetRect(text, {0, 360, 4000, 1000});
    SetFocus(text);
    SetEnabled(text, false), SetEnabled(text, true);  // the focus gone
    drags.clear();
    sim::MouseDown(text, kLeftButton, 0, x, y);
    // A drag had the press, not the caret; the text area is as wide as the note after it.
    bool dragged = edge != E::Move;
    EXPECT_EQ(std::tuple(drags, GetFocus() == text, GetRect(text).width),
              std::tuple(dragged ? std::vector{edge} : std::vector<E>{}, !dragged, dragged ? 4400 : 4000))
        << x << "," << y;
  }
  // The corner shows size NW-SE, the rest of the bands the I-beam, the strip
  // the cursor file beside the program.
  for (auto [target, x, y, shape] : {std::tuple{Window(window), 500, 100, Pointer::Custom},
                                     {text, 3900, 500, Pointer::IBeam}, {text, 3801, 951, Pointer::SizeNWSE},
                                     {text, 3800, 990, Pointer::IBeam}}) {
    sim::MouseMove(target, 0, 0, x, y);
    EXPECT_EQ(sim::PointerOf(window), std::pair(shape, note->customPointer())) << x << "," << y;
  }
  EXPECT_NE(note->customPointer(), 0);
}

int AlphaOf(Form window) { return sim::Find(window)->alpha; }
bool Layered(Form window) { return sim::Find(window)->layered; }

TEST_F(Notes, ANoteTakesTheStoredAlphaOneTickAfterItsLoadTheCommandsStepItAndTheControllerKeepsWhatTheSystemTook) {
  for (auto [stored, alpha] : {std::pair{u"", 200}, {u"12.5", 12}, {u"0", 0}, {u"255", 255}, {u"256", 200}}) {
    Sys().store[u"Translucency"] = stored;
    Form note = Note::Load()->window();
    sim::Advance(1);
    EXPECT_EQ(std::tuple(AlphaOf(note), GetTimer(note)), std::tuple(alpha, 0));
  }
  EXPECT_EQ(sim::Stored(u"TransCount"), u"6");
  std::vector<Form> stepped;
  for (auto [stored, slot, next] : {std::tuple{u"junk", 1, u"2"}, {u"0", 1, u"2"}, {u"32767", 32767, u"1"}}) {
    Sys().store[u"TransCount"] = stored;
    stepped.push_back(Note::Load()->window());
    sim::Advance(1);
    EXPECT_EQ(std::tuple(TranslucencySlot(slot)->Hwnd(), sim::Stored(u"TransCount")), std::tuple(stepped.back(), next));
  }
  EXPECT_EQ(AlphaOf(stepped[0]), 200);  // slot 1 filled again: the window it held stays translucent
  // The commands step the stored alpha within its limits and restep the active note only.
  RecordActive(stepped[1]);
  for (auto [id, from, to] : {std::tuple{Id::IncreaseTranslucency, u"200", 180}, {Id::IncreaseTranslucency, u"95", 80},
                              {Id::IncreaseTranslucency, u"junk", 180}, {Id::DecreaseTranslucency, u"234", 254},
                              {Id::DecreaseTranslucency, u"250", 254}, {Id::DecreaseTranslucency, u"300", 220},
                              {Id::DefaultTranslucency, u"80", 200}}) {
    Sys().store[u"Translucency"] = from;
    RunEntry(id);
    sim::Advance(1);
    EXPECT_EQ(std::tuple(sim::Stored(u"Translucency"), AlphaOf(stepped[1]), AlphaOf(stepped[2])),
              std::tuple(FormatInteger(to), to, 200)) << ToUtf8(from);
  }
  // The controller keeps only what the system took, and lets go of its window.
  Form w = Note::Load()->window(), other = Note::Load()->window();
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
  Sys().layeredSupported = false;
  CTranslucentForm old;
  old.SetHwnd(w);
  old.SetAlpha(100);
  EXPECT_EQ(std::tuple(old.Hwnd(), old.Alpha(), Layered(w)), std::tuple(Form(), 255, false));
}
