#include "notes/note.h"

#include "notes/active_note.h"
#include "notes/move_resize.h"
#include "notes/settings.h"
#include "notes/stay_on.h"
#include "notes/translucency.h"
#include "notes/values.h"

namespace pinaleaf {
namespace {

Handle g_startupNote = 0;

constexpr float kMaxFontSize = 2048.0f;

std::optional<float> ParseFontSize(const Text& text) {
  auto number = ParseNumber(text);
  if (!number) return std::nullopt;
  // Checked as the single-precision size it becomes: 1e-50 would be 0 points.
  float size = static_cast<float>(*number);
  if (!(size > 0.0f) || size > kMaxFontSize) return std::nullopt;
  return size;
}

}  // namespace

NoteHooks& Hooks() {
  static NoteHooks hooks;
  return hooks;
}

Handle StartupNoteWindow() { return Note::FromHandle(g_startupNote) ? g_startupNote : 0; }

void SetStartupNote(const Note& note) { g_startupNote = note.window(); }

void HookContextMenu(Note& note) { platform::BlockContextMenu(note.textArea()); }

void UnhookContextMenu(Note& note) { platform::UnblockContextMenu(note.textArea()); }

std::shared_ptr<Note> Note::Load(Handle over) {
  std::shared_ptr<Note> note(new Note);
  platform::FormSpec design;
  design.kind = platform::FormKind::Note;
  design.caption = u"Form1";
  design.rect = {kNoteLeft, kNoteTop, kNoteWidth, kNoteHeight};
  design.backColor = kNoteYellow;
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

std::shared_ptr<Note> Note::FromHandle(Handle window) {
  if (window == 0 || !platform::IsLoaded(window)) return nullptr;
  return std::dynamic_pointer_cast<Note>(platform::SinkOf(window));
}

int Note::Count() {
  int count = 0;
  for (Handle window : platform::LoadedForms()) {
    if (FromHandle(window)) ++count;
  }
  return count;
}

void Note::RunLoadSequence() {
  // The first tick comes after the load and the first showing.
  platform::SetTimer(window_, 1);
  HookContextMenu(*this);
  platform::SetText(text_, u"");

  Text cursorPath = platform::ProgramDirectory() + u"\\HAND-M.CUR";
  if (platform::FileExists(cursorPath)) customPointer_ = platform::LoadCursorFile(cursorPath);

  ApplyStoredStyle();
  ApplyStoredAlwaysOnTop();
}

// Each stored default is applied only when it converts; anything else leaves
// the design value, as an empty key does.
void Note::ApplyStoredStyle() {
  if (auto color = ParseInt32(ReadSetting(u"TextColor"))) {
    platform::SetForeColor(text_, static_cast<platform::Color>(*color));
  }
  platform::Font font = platform::GetFont(text_);
  auto applyFlag = [&](const Text& key, bool platform::Font::*field) {
    if (auto value = ParseBool(ReadSetting(key))) {
      font.*field = *value;
      platform::SetFont(text_, font);
    }
  };
  applyFlag(u"Bold", &platform::Font::bold);
  applyFlag(u"Italic", &platform::Font::italic);
  applyFlag(u"Underline", &platform::Font::underline);
  applyFlag(u"Strikethru", &platform::Font::strikethrough);
  Text face = ReadSetting(u"Font");
  if (!face.empty()) {
    font.name = face;
    platform::SetFont(text_, font);
  }
  if (auto size = ParseFontSize(ReadSetting(u"Size"))) {
    font.size = *size;
    platform::SetFont(text_, font);
  }
}

// A missing or unreadable value keeps the switch as it is (on by design).
void Note::ApplyStoredAlwaysOnTop() {
  if (auto stored = ParseBool(ReadSetting(u"AlwaysOnTop"))) SetAlwaysOnTop(*stored);
  FollowAlwaysOnTop(window_);
}

void Note::Show() { platform::ShowForm(window_); }

void Note::Unload() {
  if (platform::IsLoaded(window_)) platform::UnloadForm(window_);
}

void Note::RecordActive() { WriteSetting(u"ActivehWnd", FormatInteger(window_)); }

void Note::OnResize(Handle) {
  // Fits the active note, whichever note was resized; an unreadable record
  // fits every note.
  ForEachActiveNote([](Note& note) { FitTextArea(note); }, UnreadableRecord::MatchesAll);
}

void Note::OnClick(Handle) { RecordActive(); }

void Note::OnGotFocus(Handle) { RecordActive(); }

bool Note::OnMouseDown(Handle source, int button, int, Twips x, Twips y) {
  RecordActive();
  if (source == window_) {
    if (button == platform::kLeftButton) DragNoteWindow(window_);
    if (button == platform::kRightButton && Hooks().rightPress) Hooks().rightPress(*this, false);
    return false;
  }
  bool handled = false;
  ForEachActiveNote([&](Note& note) {
    platform::Rect text = platform::GetRect(note.textArea());
    if (button == platform::kLeftButton && InResizeZone(x, y, text.width, text.height)) {
      platform::ReleaseCapture();
      platform::RunMoveSizeLoop(note.window(), ResizeHitTest(x, y, text.width, text.height));
      if (platform::IsLoaded(note.window())) {
        text = platform::GetRect(note.textArea());
        text.width = platform::GetRect(note.window()).width;
        platform::SetRect(note.textArea(), text);
      }
      handled = true;  // the button is up again: no selection may start
    }
    if (button == platform::kRightButton && Hooks().rightPress) Hooks().rightPress(note, true);
  });
  return handled;
}

void Note::OnMouseMove(Handle source, int, int, Twips x, Twips y) {
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

void Note::OnKeyDown(Handle source, int keyCode, int modifiers) {
  if (source == text_ && Hooks().keyDown) Hooks().keyDown(keyCode, modifiers);
}

void Note::OnTimer(Handle) { RunTranslucencyStep(*this); }

// The program closes a note as "Delete This Note" does, last-note question
// included, so no process is ever left without a note.
bool Note::OnCloseRequest(Handle) {
  if (!Hooks().closeRequest) return true;
  Hooks().closeRequest(*this);
  return false;
}

void Note::OnUnload(Handle) { UnhookContextMenu(*this); }

void ApplyTextStyle(Handle textArea, platform::Color color, const platform::Font& style) {
  platform::SetForeColor(textArea, color);
  platform::Font font = platform::GetFont(textArea);
  auto set = [&](auto field) {
    font.*field = style.*field;
    platform::SetFont(textArea, font);
  };
  set(&platform::Font::bold);
  set(&platform::Font::italic);
  set(&platform::Font::underline);
  set(&platform::Font::strikethrough);
  set(&platform::Font::name);
  set(&platform::Font::size);
}

void FitTextArea(Note& note) {
  platform::Rect window = platform::GetRect(note.window());
  platform::Rect text = platform::GetRect(note.textArea());
  text.width = window.width;
  if (window.height - kTextAreaInset >= 0) text.height = window.height - kTextAreaInset;
  platform::SetRect(note.textArea(), text);
}

}  // namespace pinaleaf
