// What the program keeps beside its windows and the settings store, in one
// owner: main makes one for the run, and each test a fresh one. Every layer
// reaches the running one through TheProgram(). It holds no list of notes:
// the loaded-window list is that, and the single forms are found there too.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "notes/common_dialog.h"
#include "notes/translucent_form.h"
#include "platform/platform.h"

namespace pinaleaf {

class Note;

// What a note hands on to the layers above it; the program's start wires
// them (app/). Left unset, a note does nothing more than its own handling.
struct NoteHooks {
  // A right press on the note's strip, or on its text area (`inTextArea`).
  std::function<void(Note& note, bool inTextArea)> rightPress;
  // Every key that goes down in a note's text area.
  std::function<void(platform::Key key, int modifiers)> keyDown;
  // The close box or Alt+F4 on a note; unset, the note closes.
  std::function<void(Note& note)> closeRequest;
  // Ctrl+X in a note's text area; unset, the text box cuts by itself.
  std::function<void(Note& note)> cut;
};

class Program {
 public:
  Program();   // the running program from now on
  ~Program();  // the one that ran before it runs again
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  NoteHooks hooks;
  platform::Form startupNote;  // the first note the program opened
  bool alwaysOnTop = true;     // the "Always On Top" check mark, on by design
  // Translucency controllers by slot, and those a wrapped slot counter pushed
  // out: all stay bound to their windows until the process ends.
  std::unordered_map<int, std::unique_ptr<CTranslucentForm>> translucencySlots;
  std::vector<std::unique_ptr<CTranslucentForm>> retiredTranslucency;
  CommonDialog commonDialog;  // CommonDialog1, the start-up note's, for the whole run
  bool alarmRinging = false;  // one reminder alarm at a time

 private:
  Program* previous_;
};

Program& TheProgram();

// The loaded form whose sink is a `Sink` (the menu host, the e-mail form, the
// reminder dialog: one of each at most); empty when there is none.
template <class Sink>
std::shared_ptr<Sink> LoadedOne() {
  for (platform::Form form : platform::LoadedForms()) {
    if (auto sink = std::dynamic_pointer_cast<Sink>(platform::SinkOf(form)))
      return sink;
  }
  return nullptr;
}

}  // namespace pinaleaf
