// The walk over the real pinaleaf.exe, a process of its own under Wine:
// real keys and mouse through the system's input queue, and what the user
// sees described from inside the program by describe.dll, hooked into it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "harness.h"
#include "platform/store_file.h"
#include "walk.h"

namespace {

using namespace harness;
using namespace std;

// UTF-16 from UTF-8, as the standard library converts a path.
wstring Wide(const string& utf8) {
  return filesystem::path(u8string(utf8.begin(), utf8.end())).wstring();
}

struct Win32 : walk::Driver {
  Win32() {
    wstring here = Beside(L"");
    folder = platform::ToUtf8({here.begin(), here.end()});
    SetEnvironmentVariableW(L"PINALEAF_DESCRIBE", file_.c_str());  // for describe.dll in the program
  }
  ~Win32() override {
    TerminateProcess(program_, 0);
  }
  // Hooked by describe.dll once its note is there.
  void Start(bool fresh) override {
    if (fresh)
      FreshAccount();
    program_ = harness::Start(L"pinaleaf.exe");
    HWND note = nullptr;
    WaitUntil([&] { return note = FindWindowW(nullptr, L"Form1"); }, 10000);
    thread_ = GetWindowThreadProcessId(note, nullptr);
    static HMODULE dll = LoadLibraryW(L"describe.dll");  // beside the tests
    SetWindowsHookExW(WH_GETMESSAGE, HOOKPROC(LPVOID(GetProcAddress(dll, "Hook"))), dll, thread_);
    EXPECT_EQ(GetWindowLongW(note, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW), WS_EX_TOOLWINDOW)
        << "a note on the taskbar";
  }
  bool Running() override {
    return WaitForSingleObject(program_, 0) == WAIT_TIMEOUT;
  }
  // Asked of the program's thread, which answers once it has come to it.
  string Describe() override {
    DeleteFileW(file_.c_str());
    PostThreadMessageW(thread_, RegisterWindowMessageW(L"PinaleafDescribe"), 0, 0);
    WaitUntil([&] { return GetFileAttributesW(file_.c_str()) != INVALID_FILE_ATTRIBUTES || !Running(); }, 60000);
    return Bytes(file_);
  }

  void Move(int x, int y) override {
    Mouse({x, y});
  }
  void Click(int x, int y, bool right) override {
    Mouse({x, y}, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  }
  void Drag(int x, int y, int toX, int toY) override {
    harness::Drag({x, y}, {toX, toY});
  }
  // A letter by its capital's key, F1 to F12 by number.
  void Key(const string& name, int modifiers, int times) override {
    const map<string, int> kNamed = {{"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB},
                                     {"space", VK_SPACE},   {"End", VK_END},       {"Home", VK_HOME},
                                     {"Down", VK_DOWN},     {"Up", VK_UP},         {"Menu", VK_APPS}};
    Keys(kNamed.contains(name) ? kNamed.at(name)
         : name.size() > 1     ? VK_F1 - 1 + stoi(&name[1])
                               : toupper(name[0]),
         modifiers, times);
  }
  void Type(const string& text) override {
    harness::Type(Wide(text));
  }
  // Clicked where the caption answers that it is its close box.
  void CloseBox(walk::Id id) override {
    RECT rc;
    GetWindowRect(HWND(id), &rc);
    for (POINT at = {rc.right - 2, rc.top + 8}; at.x > rc.right - 60; --at.x) {
      if (SendMessageW(HWND(id), WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) == HTCLOSE)
        return Mouse(at, MOUSEEVENTF_LEFTDOWN);
    }
  }
  string Clipboard() override {
    return platform::ToUtf8(platform::ClipboardGet({}).value_or(u""));
  }
  void SetClipboard(const string& text) override {
    wstring wide = Wide(text);
    platform::ClipboardPut({}, {wide.begin(), wide.end()});
  }
  void HoldClipboard() override {
    harness::HoldClipboard(100);
  }
  // The registry as another program reads and writes it.
  string Stored(const string& key) override {
    char16_t value[4096] = u"";
    DWORD bytes = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Pinaleaf\\1.0", Wide(key).c_str(), RRF_RT_REG_SZ, nullptr, value,
                 &bytes);
    return platform::ToUtf8(value);
  }
  void Store(const string& key, const string& value) override {
    wstring text = Wide(value);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Pinaleaf\\1.0", Wide(key).c_str(), REG_SZ, text.c_str(),
                    DWORD((text.size() + 1) * sizeof(wchar_t)));
  }
  string Handed() override {
    return LastHanded();
  }
  string File(const string& name) override {
    return Bytes(Beside(Wide(name)));
  }
  // CR LF; Windows-1252 where it holds every character, else UTF-8 after a byte-order mark.
  string Saved(const string& text) override {
    string lines = regex_replace(text, regex("\n"), "\r\n"), ansi = lines;  // no fewer bytes than it takes
    wstring wide = Wide(lines);
    BOOL lossy = FALSE;
    ansi.resize(WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), ansi.data(),
                                    int(ansi.size()), nullptr, &lossy));
    return lossy ? "\xEF\xBB\xBF" + lines : ansi;
  }

  HANDLE program_ = nullptr;
  DWORD thread_ = 0;  // the program's, which has its windows
  wstring file_ = Beside(L"describe.txt");
};

TEST(Walk, NothingTheUserTypesIsLostWhateverTheyDo) {
  Win32 driver;
  EXPECT_TRUE(walk::Walk(driver));
}

}  // namespace
