// A note: one borderless light-yellow window holding one multi-line text area.
#pragma once

#include <memory>
#include <optional>

#include "platform/platform.h"

namespace pinaleaf {

using platform::Form;
using platform::Text;
using platform::TextBox;
using platform::Twips;

// Design geometry and colours of a new note.
constexpr Twips kNoteLeft = 2025;
constexpr Twips kNoteTop = 2055;
constexpr Twips kNoteWidth = 1995;
constexpr Twips kNoteHeight = 2355;
constexpr Twips kStripHeight = 360;     // the drag strip above the text area
constexpr Twips kTextAreaInset = 355;   // window height less text-area height
constexpr Twips kTextAreaWidth = 2000;  // until the first fit
constexpr platform::Color kNoteYellow = 0x00C0FFFF;
// The smallest note, an inch square: the strip to drag it by, a few lines of
// text and both resize bands stay within reach.
constexpr Twips kNoteMinWidth = 1440;
constexpr Twips kNoteMinHeight = 1440;

class Note : public platform::EventSink, public std::enable_shared_from_this<Note> {
 public:
  // Creates a note window and runs its load sequence. The note stays hidden
  // until Show(). Made `over` another note, it starts on that note's monitor.
  static std::shared_ptr<Note> Load(Form over = {});
  // The loaded note whose window is `window`; null for anything else.
  static std::shared_ptr<Note> FromWindow(Form window);
  // How many notes are loaded.
  static int Count();

  Form window() const {
    return window_;
  }
  TextBox textArea() const {
    return text_;
  }
  platform::CursorId customPointer() const {
    return customPointer_;
  }

  void Show();
  void Unload();
  // Whether this note is still open (its window was not closed).
  bool IsOpen() const;

  // The reminder alarm shows its own text in the note for a while. The
  // user's text, selection and colour wait aside until Uncover(), or until
  // the user presses a key or a mouse button on the note: then they come
  // back at once, and the key or press acts on them.
  void Cover(const Text& shown);
  void Uncover();
  bool covered() const {
    return cover_.has_value();
  }
  // The note's text as the user left it, also while the alarm covers it.
  Text text() const;

  // Writes this note's window number to the active-note record.
  void RecordActive();

  // Whether a dialog that this note owns is open (OwnedDialog).
  bool HasOpenDialog() const {
    return openDialogs_ > 0;
  }

  void OnResize(Form) override;
  void OnClick(platform::Window) override;
  void OnGotFocus(Form) override;
  bool OnMouseDown(platform::Window source, platform::MouseButton button, int modifiers, Twips x, Twips y) override;
  void OnMouseMove(platform::Window source, int buttons, int modifiers, Twips x, Twips y) override;
  void OnKeyDown(platform::Control source, platform::Key key, int modifiers) override;
  bool OnCut(TextBox) override;
  void OnTimer(Form) override;
  bool OnCloseRequest(Form) override;
  void OnUnload(Form) override;

 private:
  Note() = default;
  void RunLoadSequence();
  void ApplyStoredStyle();
  void ApplyStoredAlwaysOnTop();

  struct Covered {
    Text text;
    int selStart = 0, selLength = 0;
    platform::Color color = 0;
  };

  Form window_;
  TextBox text_;
  std::optional<Covered> cover_;
  platform::CursorId customPointer_ = 0;
  int openDialogs_ = 0;
  friend class OwnedDialog;
};

// While one lives, the note `owner` (if it is one) counts a dialog of its own
// as open. Such a note is not closed: the dialog, and what the user is
// choosing there, would go with it.
class OwnedDialog {
 public:
  explicit OwnedDialog(Form owner) : note_(Note::FromWindow(owner)) {
    if (note_)
      ++note_->openDialogs_;
  }
  ~OwnedDialog() {
    if (note_)
      --note_->openDialogs_;
  }
  OwnedDialog(const OwnedDialog&) = delete;
  OwnedDialog& operator=(const OwnedDialog&) = delete;

 private:
  std::shared_ptr<Note> note_;
};

// The start-up note's window while it is open; none after it was closed.
Form StartupNoteWindow();
// The first loaded note's window; none when no note is loaded.
Form AnyNoteWindow();

// Keeps the text box's own context menu out of a note's text area, so the
// note's popup is the only context menu a note has (module Menu). Removing
// it twice is harmless.
void HookContextMenu(Note& note);
void UnhookContextMenu(Note& note);

// Sets a text area's colour, then its font: bold, italic, underline,
// strikethrough, face and size.
void ApplyTextStyle(TextBox textArea, platform::Color color, const platform::Font& style);

// Fits a note's text area to its window: full width, window height less 355.
// A window too low for that keeps its text area's height.
void FitTextArea(Note& note);

}  // namespace pinaleaf
