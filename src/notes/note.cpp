#include "notes/note.h"

#include "notes/active_note.h"
#include "notes/move_resize.h"
#include "notes/program.h"
#include "notes/settings.h"
#include "notes/stay_on.h"
#include "notes/translucency.h"
#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {

using platform::Window;

Form StartupNoteWindow() {
  Form startup = TheProgram().startupNote;
  return Note::FromWindow(startup) ? startup : Form();
}

Form AnyNoteWindow() {
  for (Form window : platform::LoadedForms()) {
    if (Note::FromWindow(window))
      return window;
  }
  return {};
}

void HookContextMenu(Note& note) {
  platform::BlockContextMenu(note.textArea());
}

void UnhookContextMenu(Note& note) {
  platform::UnblockContextMenu(note.textArea());
}

std::shared_ptr<Note> Note::Load(Form over) {
  std::shared_ptr<Note> note(new Note);
  platform::FormSpec design;
  design.kind = platform::FormKind::Note;
  design.caption = u"Form1";
  design.rect = {kNoteLeft, kNoteTop, kNoteWidth, kNoteHeight};
  design.backColor = kNoteYellow;
  design.minWidth = kNoteMinWidth;
  design.minHeight = kNoteMinHeight;
  design.over = over;
  note->window_ = platform::CreateForm(design, note);

  platform::TextBoxSpec text;
  text.rect = {0, kStripHeight, kTextAreaWidth, kNoteHeight - kTextAreaInset};
  text.backColor = kNoteYellow;
  text.text = u"Text1";
  note->text_ = platform::CreateTextBox(note->window_, text);

  note->RunLoadSequence();
  return note;
}

std::shared_ptr<Note> Note::FromWindow(Form window) {
  return window ? std::dynamic_pointer_cast<Note>(platform::SinkOf(window)) : nullptr;
}

int Note::Count() {
  int count = 0;
  for (Form window : platform::LoadedForms()) {
    if (FromWindow(window))
      ++count;
  }
  return count;
}

void Note::RunLoadSequence() {
  // The first tick comes after the load and the first showing.
  platform::SetTimer(window_, 1);
  HookContextMenu(*this);
  platform::SetText(text_, u"");

  Text cursorPath = platform::ProgramFile(u"HAND-M.CUR");
  if (platform::FileExists(cursorPath))
    customPointer_ = platform::LoadCursorFile(cursorPath);

  ApplyStoredStyle();
  ApplyStoredAlwaysOnTop();
}

// Each stored default is applied only when it reads; anything else leaves
// the design value, as an empty key does. The font is set once, if at all.
void Note::ApplyStoredStyle() {
  if (auto color = ReadSetting(keys::TextColor))
    platform::SetForeColor(text_, *color);
  platform::Font font = platform::GetFont(text_);
  auto applyFlag = [&](FlagKey key, bool platform::Font::*field) {
    if (auto value = ReadSetting(key))
      font.*field = *value;
  };
  applyFlag(keys::Bold, &platform::Font::bold);
  applyFlag(keys::Italic, &platform::Font::italic);
  applyFlag(keys::Underline, &platform::Font::underline);
  applyFlag(keys::Strikethru, &platform::Font::strikethrough);
  if (Text face = ReadSetting(keys::Font); !face.empty())
    font.name = face;
  if (auto size = ReadSetting(keys::Size))
    font.size = *size;
  if (font != platform::GetFont(text_))
    platform::SetFont(text_, font);
}

// A missing or unreadable value keeps the switch as it is (on by design).
void Note::ApplyStoredAlwaysOnTop() {
  if (auto stored = ReadSetting(keys::AlwaysOnTop))
    SetAlwaysOnTop(*stored);
  FollowAlwaysOnTop(window_);
}

void Note::Show() {
  platform::ShowForm(window_);
}

void Note::Unload() {
  if (platform::IsLoaded(window_))
    platform::UnloadForm(window_);
}

bool Note::IsOpen() const {
  return FromWindow(window_).get() == this;
}

void Note::Cover(const Text& shown) {
  if (!cover_) {
    Text text = platform::GetText(text_);
    int start = platform::GetSelStart(text_);
    int length = static_cast<int>(platform::GetSelectedText(text_).size());
    cover_ = Covered{text, start, length, platform::GetBackColor(window_)};
  }
  platform::SetText(text_, shown);
}

void Note::Uncover() {
  if (!cover_)
    return;
  Covered covered = std::move(*cover_);
  cover_.reset();
  platform::SetText(text_, covered.text);
  platform::SetSelection(text_, covered.selStart, covered.selLength);
  platform::SetBackColor(window_, covered.color);
  platform::SetBackColor(text_, covered.color);
}

Text Note::text() const {
  return cover_ ? cover_->text : platform::GetText(text_);
}

void Note::RecordActive() {
  WriteSetting(keys::ActivehWnd, window_);
}

void Note::OnResize(Form) {
  // Fits the active note, whichever note was resized; an unreadable record
  // fits every note.
  ForEachActiveNote([](Note& note) { FitTextArea(note); }, UnreadableRecord::MatchesAll);
}

void Note::OnClick(Window) {
  RecordActive();
}

void Note::OnGotFocus(Form) {
  RecordActive();
}

bool Note::OnMouseDown(Window source, platform::MouseButton button, int, Twips x, Twips y) {
  Uncover();
  RecordActive();
  NoteHooks& hooks = TheProgram().hooks;
  if (source == window_) {
    if (button == platform::kLeftButton)
      DragNoteWindow(window_);
    if (button == platform::kRightButton && hooks.rightPress)
      hooks.rightPress(*this, false);
    return false;
  }
  bool handled = false;
  ForEachActiveNote([&](Note& note) {
    platform::Rect text = platform::GetRect(note.textArea());
    if (button == platform::kLeftButton && InResizeZone(x, y, text.width, text.height)) {
      // The text area follows through OnResize, which fits this note, the
      // active one, as the size changes: the drag may end after the call.
      platform::DragForm(note.window(), ResizeHitTest(x, y, text.width, text.height));
      handled = true;  // the press is the drag's: no selection may start
    }
    if (button == platform::kRightButton && hooks.rightPress)
      hooks.rightPress(note, true);
  });
  return handled;
}

void Note::OnMouseMove(Window source, int, int, Twips x, Twips y) {
  if (source == window_) {
    platform::SetPointer(window_, platform::Pointer::Custom, customPointer_);
    return;
  }
  RecordActive();
  ForEachActiveNote([&](Note& note) {
    platform::Rect text = platform::GetRect(note.textArea());
    bool corner = InCornerZone(x, y, text.width, text.height);
    platform::SetPointer(note.window(), corner ? platform::Pointer::SizeNWSE : platform::Pointer::IBeam,
                         note.customPointer());
  });
}

void Note::OnKeyDown(platform::Control source, platform::Key key, int modifiers) {
  Uncover();  // the key then goes into the user's own text
  if (source == text_ && TheProgram().hooks.keyDown)
    TheProgram().hooks.keyDown(key, modifiers);
}

bool Note::OnCut(TextBox) {
  if (TheProgram().hooks.cut)
    TheProgram().hooks.cut(*this);
  return TheProgram().hooks.cut != nullptr;
}

void Note::OnTimer(Form) {
  RunTranslucencyStep(*this);
}

// The program closes a note as "Delete This Note" does, last-note question
// included, so no process is ever left without a note.
bool Note::OnCloseRequest(Form) {
  if (!TheProgram().hooks.closeRequest)
    return true;
  TheProgram().hooks.closeRequest(*this);
  return false;
}

void Note::OnUnload(Form) {
  UnhookContextMenu(*this);
}

// The font is set whole, once: each change of font lays the whole text out
// again, which takes a second and more for a long text of mixed scripts.
void ApplyTextStyle(TextBox textArea, platform::Color color, const platform::Font& style) {
  platform::SetForeColor(textArea, color);
  platform::SetFont(textArea, style);
}

void FitTextArea(Note& note) {
  platform::Rect window = platform::GetRect(note.window());
  platform::Rect text = platform::GetRect(note.textArea());
  text.width = window.width;
  if (window.height - kTextAreaInset >= 0)
    text.height = window.height - kTextAreaInset;
  platform::SetRect(note.textArea(), text);
}

}  // namespace pinaleaf
