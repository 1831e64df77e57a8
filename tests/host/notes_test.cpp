// A note's own arithmetic: the zones that move or resize it and the pointer
// that tells which, and translucency on the store and the virtual clock.
#include "host_test.h"
#include "notes/translucency.h"

using Notes = Process;

TEST_F(Notes, PressesOnTheStripMoveOnTheFarBandsResizeAndThePointerTellsWhich) {
  sim::SetDpi(288);  // 5 twips to the pixel: the twips below are whole pixels
  Sys().cursors[u"C:\\Program Files\\Pinaleaf\\HAND-M.CUR"] = true;
  std::vector<DragEdge> drags;
  Sys().drag = [&](Form form, DragEdge edge) { drags.push_back(edge), SetRect(form, {5000, 4000, 4400, 1600}); };
  auto note = Note::Load();
  note->Show();
  Form window = note->window();
  TextBox text = note->textArea();
  sim::MouseDown(window, kLeftButton, 0, 500, 100);
  EXPECT_EQ(std::pair(drags, GetRect(window)), std::pair(std::vector{DragEdge::Move}, Rect{5000, 4000, 4400, 1600}));
  // The text area is not square: the bands follow each side. Move here: no drag, the caret goes there.
  using E = DragEdge;
  for (auto [x, y, edge] : {std::tuple{3805, 500, E::Right}, {3800, 955, E::Bottom}, {90, 990, E::Bottom},
                            {3900, 50, E::TopRight}, {50, 960, E::BottomLeft}, {3950, 990, E::BottomRight},
                            {3800, 500, E::Move}, {1000, 950, E::Move}}) {
    SetRect(window, {0, 0, 4000, 1360});
    SetRect(text, {0, 360, 4000, 1000});
    SetEnabled(text, false), SetEnabled(text, true);  // the focus gone
    drags.clear();
    sim::MouseDown(text, kLeftButton, 0, x, y);
    bool dragged = edge != E::Move;  // and the text area as wide as the note after it
    EXPECT_EQ(std::tuple(drags, GetFocus() == text, GetRect(text).width),
              std::tuple(dragged ? std::vector{edge} : std::vector<E>{}, !dragged, dragged ? 4400 : 4000));
  }
  // The corner shows size NW-SE, the rest of the bands the I-beam, the strip the cursor file's hand.
  for (auto [target, x, y, shape] : {std::tuple{Window(window), 500, 100, Pointer::Custom},
                                     {text, 3900, 500, Pointer::IBeam}, {text, 3801, 951, Pointer::SizeNWSE},
                                     {text, 3800, 990, Pointer::IBeam}}) {
    sim::MouseMove(target, 0, 0, x, y);
    EXPECT_EQ(sim::PointerOf(window), std::pair(shape, note->customPointer()));
  }
}

int AlphaOf(Form window) { return sim::Find(window)->layered ? sim::Find(window)->alpha : -1; }

TEST_F(Notes, ANoteTakesTheStoredAlphaOneTickAfterItsLoadAndTheCommandsStepIt) {
  sim::Advance(1);  // the first two notes' steps
  Sys().store[u"Translucency"] = u"92.5";
  std::vector<Form> stepped;
  for (auto [stored, slot, next] : {std::tuple{u"junk", 1, u"2"}, {u"2", 2, u"3"}, {u"32767", 32767, u"1"}}) {
    Sys().store[u"TransCount"] = stored;
    stepped.push_back(Note::Load()->window());
    sim::Advance(1);
    EXPECT_EQ(std::tuple(TranslucencySlot(slot)->Hwnd(), sim::Stored(u"TransCount"), AlphaOf(stepped.back())),
              std::tuple(stepped.back(), next, 92));
  }
  // The commands step the stored alpha within its limits and restep the active note only.
  RecordActive(stepped[1]);
  for (auto [id, from, to] : {std::tuple{Id::IncreaseTranslucency, u"200", 180}, {Id::IncreaseTranslucency, u"95", 80},
                              {Id::DecreaseTranslucency, u"234", 254}, {Id::DecreaseTranslucency, u"250", 254},
                              {Id::DefaultTranslucency, u"80", 200}}) {
    Sys().store[u"Translucency"] = from;
    RunEntry(id);
    sim::Advance(1);
    EXPECT_EQ(std::tuple(sim::Stored(u"Translucency"), AlphaOf(stepped[1]), AlphaOf(stepped[2])),
              std::tuple(FormatInteger(to), to, 92)) << ToUtf8(from);
  }
  // Once the counter wrapped, slot 1 is filled again: the window it held stays translucent.
  Sys().store[u"TransCount"] = u"1";
  Note::Load();
  sim::Advance(1);
  EXPECT_EQ(AlphaOf(stepped[0]), 92);
}
