// The walk over the real pinaleaf, a process of its own under the tests' X
// server and its window manager: real keys and mouse through XTest, the
// windows as the server shows them, and what they hold described from
// inside the program by the describe plugin. Every other Ctrl shortcut is
// pressed as a user of a Russian layout presses it.
//
//   PINALEAF_WALK_SEED=N    the walk to take (22 unless told)
//   PINALEAF_WALK_STEPS=N   its length (one round unless told)
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "walk.h"
#include "x11.h"

namespace {

using std::string;
namespace fs = std::filesystem;

// Output of a command.
string Output(const char* command) {
  string text;
  FILE* pipe = popen(command, "r");
  for (int c; (c = fgetc(pipe)) != EOF;)
    text += static_cast<char>(c);
  pclose(pipe);
  return text;
}
class Linux : public walk::Driver {
 public:
  Linux() {
    linux = true;
    titles[0] = "Select Font";
    titles[1] = "Select Color";
    styles[0] = "=Regular";  // found by typing: each face lists its styles in an order of its own
    styles[1] = "=Italic";
    styles[2] = "=Bold Italic";
  }
  ~Linux() override {
    kill(pid_, SIGKILL);
    fs::remove_all(home_);
  }
  // With a home of its own, at first one that has never held a setting.
  void Start(bool fresh) override {
    char home[] = "/tmp/pinaleaf-walk-XXXXXX";
    if (fresh)
      fs::current_path(home_ = mkdtemp(home));  // where the save dialog opens
    setenv("HOME", home_.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    setenv("PINALEAF_SHELL_LOG", (home_ / "shell.log").c_str(), 1);
    setenv("PINALEAF_DESCRIBE", (home_ / "described").c_str(), 1);
    setenv("PATH", PINALEAF_TEST_TOOLS ":/usr/local/bin:/usr/bin:/bin", 1);
    setenv("QT_PLUGIN_PATH", PINALEAF_PLUGINS, 1);
    setenv("QT_QPA_GENERIC_PLUGINS", "pinaleafdescribe", 1);
    char* argv[] = {const_cast<char*>(PINALEAF_PROGRAM), nullptr};
    fs::remove(home_ / "described");
    posix_spawn(&pid_, PINALEAF_PROGRAM, nullptr, nullptr, argv, environ);
    x11::WaitUntil([&] { return fs::exists(home_ / "described"); }, 10000);  // before a signal could end it
    x11::WaitUntil([&] { return Describe().find("\nnote ") != string::npos; }, 10000);
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
    FILE* pipe = popen("xclip -i -selection clipboard", "w");
    fwrite(text.data(), 1, text.size(), pipe);
    pclose(pipe);
  }
  // The program's settings file, where a fresh account has it.
  string Stored(const string& key) override {
    std::istringstream file(x11::FileText(home_ / ".config/pinaleaf/settings.ini"));
    string line;
    while (std::getline(file, line) && !line.starts_with(key + "="))
      ;
    return line.substr(std::min(line.size(), key.size() + 1));
  }
  // As edited by hand, into a new file.
  void Store(const string& key, const string& value) override {
    fs::path path = home_ / ".config/pinaleaf/settings.ini";
    std::istringstream file(x11::FileText(path));
    std::ofstream edited(path.string() + ".new");
    for (string line; std::getline(file, line);)
      edited << (line.starts_with(key + "=") ? "" : line + "\n");
    edited << key << "=" << value << "\n";
    edited.close();
    fs::rename(path.string() + ".new", path);
  }
  string Handed() override {
    std::istringstream log(x11::FileText(home_ / "shell.log"));
    string line, last;
    while (std::getline(log, line))
      last = line;
    return last;
  }
  string File(const string& name) override {
    return x11::FileText(home_ / name);
  }
  string Saved(const string& text) override {
    return text;
  }

 private:
  static void Pause(int ms) {
    x11::WaitUntil([] { return false; }, ms);
  }

  fs::path home_;
  pid_t pid_ = 0;
  int shortcuts_ = 0;
};

TEST(Walk, NothingTheUserTypesIsLostWhateverTheyDo) {
  Linux driver;
  EXPECT_TRUE(walk::Walk(driver, walk::Seed(), walk::Steps()))
      << "replay with PINALEAF_WALK_SEED=" << walk::Seed() << ", the steps as logged above";
}

}  // namespace
