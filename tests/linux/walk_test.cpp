// The walk over the real pinaleaf, a process of its own under the tests' X
// server and its window manager: real keys and mouse through XTest, the
// windows as the server shows them, and what they hold described from
// inside the program by the describe plugin. Every other Ctrl shortcut is
// pressed as a user of a Russian layout presses it. Its CMakeLists entry
// gives it a home of its own ($HOME, where the save dialog opens).
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "walk.h"
#include "x11.h"

namespace {

using std::string;
namespace fs = std::filesystem;

// What a command writes.
string Output(const string& command) {
  string text;
  FILE* pipe = popen(command.c_str(), "r");
  for (int c; (c = fgetc(pipe)) != EOF;)
    text += static_cast<char>(c);
  pclose(pipe);
  return text;
}
void Pause(int ms) {
  x11::WaitUntil([] { return false; }, ms);
}

class Linux : public walk::Driver {
 public:
  Linux() {
    linux = true;
    titles[0] = "Select Font";
    titles[1] = "Select Color";
    // Found by typing from the top of a list (Qt's lists search from the
    // next entry); each face lists its styles in an order of its own.
    font[0] = "Home|=";
    font[1] = "Home|=Regular";
    font[2] = "Home|=Italic";
    font[3] = "Home|=Bold Italic";
  }
  ~Linux() override {
    kill(pid_, SIGKILL);
  }
  // At first on an account that has never held a setting (the walk's own
  // home alone is emptied).
  void Start(bool fresh) override {
    if (fresh && home_.filename() == "walk-home")
      fs::remove_all(home_);
    fs::create_directories(home_);
    fs::current_path(home_);
    fs::remove(home_ / "described");
    char* argv[] = {const_cast<char*>(PINALEAF_PROGRAM), nullptr};
    posix_spawn(&pid_, PINALEAF_PROGRAM, nullptr, nullptr, argv, environ);
    x11::WaitUntil([&] { return fs::exists(home_ / "described"); }, 10000);  // before a signal could end it
  }
  bool Running() override {
    return waitpid(pid_, nullptr, WNOHANG) == 0;
  }
  // The windows as the X server shows them, the top first; the rest as the program does.
  string Describe() override {
    fs::remove(home_ / "described");
    kill(pid_, SIGUSR1);
    string out;
    for (x11::Id w : x11::Shown()) {
      x11::Box b = x11::Geometry(w);
      string title = x11::Name(w);
      char line[256];
      snprintf(line, sizeof line, "%s %lu %d %d %d %d %d %d %zu\n",
               x11::Property(w, "_NET_WM_PID") == std::vector<long>{pid_} ? "window" : "other", w, b.x, b.y, b.width,
               b.height, x11::Opacity(w).value_or(0), x11::HasState(w, "_NET_WM_STATE_ABOVE"), title.size());
      out += x11::OverrideRedirect(w) ? "" : line + title + "\n";
    }
    x11::WaitUntil([&] { return fs::exists(home_ / "described") || !Running(); }, 60000);
    return out + x11::FileText(home_ / "described");
  }

  void Move(int x, int y) override {
    x11::Move(x, y);
  }
  // A window manager holds a press until it has looked at it: keys that
  // follow come first unless the hand pauses, as a hand does.
  void Click(int x, int y, bool right) override {
    x11::Click(x, y, right ? 3 : 1);
    Pause(150);
  }
  void Drag(int x, int y, int toX, int toY) override {
    x11::Drag(x, y, toX, toY);
  }
  // The letters of the shortcuts, and the Russian ones in their places.
  void Key(const string& name, int modifiers, int times) override {
    const char* const kRussian[] = {"ef", "es", "ve", "u", "a", "te", "shcha", "ka", "yeru", "em", "che", "shorti"};
    const char* at = name.size() == 1 ? std::strchr("acdefnorsvxq", name[0]) : nullptr;
    bool russian = modifiers == 2 && at && ++shortcuts_ % 2;
    string key = russian ? string("Cyrillic_") + kRussian[at - "acdefnorsvxq"] : name;
    // A layout takes a moment to reach the program, and Qt presses a button
    // by its letter a moment later.
    Pause(russian && !system("setxkbmap ru") ? 200 : 0);
    for (int i = 0; i < times; ++i)
      x11::Key(key.c_str(), modifiers);
    Pause(modifiers == 4 || (russian && !system("setxkbmap us")) ? 200 : 0);
  }
  // UTF-8 as the characters typed.
  void Type(const string& text) override {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::wstring characters(text.size(), L'\0');
    characters.resize(std::mbstowcs(characters.data(), text.c_str(), text.size()));
    x11::Type({characters.begin(), characters.end()});
  }
  void CloseBox(walk::Id window) override {
    x11::CloseBox(window);
  }
  string Clipboard() override {
    return Output("timeout 5 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null");
  }
  void SetClipboard(const string& text) override {
    FILE* pipe = popen("xclip -i -selection clipboard >/dev/null 2>&1", "w");
    fwrite(text.data(), 1, text.size(), pipe);
    pclose(pipe);
  }
  // The program's settings file, where a fresh account has it; edited as by hand.
  string Stored(const string& key) override {
    return Output("sed -n 's/^" + key + "=//p' .config/pinaleaf/settings.ini | head -c -1");
  }
  void Store(const string& key, const string& value) override {
    (void)!system(("sed -i '/^" + key + "=/d; $a" + key + "=" + value + "' .config/pinaleaf/settings.ini").c_str());
  }
  string Handed() override {
    return Output("tail -n 1 shell.log 2>/dev/null | head -c -1");
  }
  string File(const string& name) override {  // an empty note saved is a file of no bytes
    return fs::exists(home_ / name) ? x11::FileText(home_ / name) : "(no file)";
  }
  string Saved(const string& text) override {
    return text;
  }

 private:
  fs::path home_ = std::getenv("HOME");
  pid_t pid_ = 0;
  int shortcuts_ = 0;
};

TEST(Walk, NothingTheUserTypesIsLostWhateverTheyDo) {
  Linux driver;
  EXPECT_TRUE(walk::Walk(driver));
}

}  // namespace
