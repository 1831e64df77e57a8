// A note: one borderless light-yellow window holding one multi-line text area.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/platform.h"

namespace pinaleaf {

using platform::Handle;
using platform::Text;
using platform::Twips;

// Design geometry and colours of a new note.
constexpr Twips kNoteLeft = 2025;
constexpr Twips kNoteTop = 2055;
constexpr Twips kNoteWidth = 1995;
constexpr Twips kNoteHeight = 2355;
constexpr Twips kStripHeight = 360;      // the drag strip above the text area
constexpr Twips kTextAreaInset = 355;    // window height less text-area height
constexpr Twips kTextAreaWidth = 2000;   // until the first fit
constexpr platform::Color kNoteYellow = 0x00C0FFFF;

class Note;

// What a note hands on to the layers above it. The program's start wires
// them (app/); left unset, a note does nothing more than its own handling.
struct NoteHooks {
  // A right press on the note's strip, or on its text area (`inTextArea`).
  std::function<void(Note& note, bool inTextArea)> rightPress;
  // Every key that goes down in a note's text area.
  std::function<void(int keyCode, int modifiers)> keyDown;
  // The close box or Alt+F4 on a note; unset, the note closes.
  std::function<void(Note& note)> closeRequest;
};
NoteHooks& Hooks();

class Note : public platform::EventSink, public std::enable_shared_from_this<Note> {
 public:
  // Creates a note window and runs its load sequence. The note stays hidden
  // until Show(). Made `over` another note, it starts on that note's monitor.
  static std::shared_ptr<Note> Load(Handle over = 0);
  // The loaded note whose window is `window`; null for anything else.
  static std::shared_ptr<Note> FromHandle(Handle window);
  // How many notes are loaded.
  static int Count();

  Handle window() const { return window_; }
  Handle textArea() const { return text_; }
  platform::CursorId customPointer() const { return customPointer_; }

  void Show();
  void Unload();

  // Writes this note's window handle to the active-note record.
  void RecordActive();

  // The translucency step's slot counter, kept with the note.
  std::int16_t translucencyCounter() const { return translucencyCounter_; }
  void SetTranslucencyCounter(std::int16_t value) { translucencyCounter_ = value; }

  void OnResize(Handle form) override;
  void OnClick(Handle source) override;
  void OnGotFocus(Handle form) override;
  bool OnMouseDown(Handle source, int button, int modifiers, Twips x, Twips y) override;
  void OnMouseMove(Handle source, int buttons, int modifiers, Twips x, Twips y) override;
  void OnKeyDown(Handle control, int keyCode, int modifiers) override;
  void OnTimer(Handle form) override;
  bool OnCloseRequest(Handle form) override;
  void OnUnload(Handle form) override;

 private:
  Note() = default;
  void RunLoadSequence();
  void ApplyStoredStyle();
  void ApplyStoredAlwaysOnTop();

  Handle window_ = 0;
  Handle text_ = 0;
  platform::CursorId customPointer_ = 0;
  std::int16_t translucencyCounter_ = 0;
};

// The start-up note: the first one the program opened. Its window while it
// is open, 0 after it was closed.
platform::Handle StartupNoteWindow();
void SetStartupNote(const Note& note);

// Keeps the text box's own context menu out of a note's text area, so the
// note's popup is the only context menu a note has (module Menu). Removing
// it twice is harmless.
void HookContextMenu(Note& note);
void UnhookContextMenu(Note& note);

// Sets a text area's colour, then bold, italic, underline, strikethrough,
// face and size, one after another.
void ApplyTextStyle(Handle textArea, platform::Color color, const platform::Font& font);

// Fits a note's text area to its window: full width, window height less 355.
// A window too low for that keeps its text area's height.
void FitTextArea(Note& note);

}  // namespace pinaleaf
