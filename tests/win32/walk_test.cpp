// The walk over the real pinaleaf.exe, a process of its own under Wine:
// real keys and mouse through the system's input queue, and what the user
// sees described from inside the program by describe.dll, hooked into it.
#include <algorithm>
#include <map>
#include <regex>

#include "harness.h"
#include "platform/store_file.h"
#include "walk.h"

namespace {

using namespace harness;
using std::string;

std::wstring Wide(const string& utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                      text.data(), static_cast<int>(text.size()))));
  return text;
}
const wchar_t kKey[] = L"Software\\Pinaleaf\\1.0";
platform::Text Text(const string& utf8) {
  std::wstring wide = Wide(utf8);
  return {wide.begin(), wide.end()};
}
class Win32 : public walk::Driver {
 public:
  Win32() {
    std::wstring here = Beside(L"");
    folder = platform::ToUtf8({here.begin(), here.end()});
    SetEnvironmentVariableW(L"PINALEAF_DESCRIBE", file_.c_str());  // for describe.dll in the program
  }
  ~Win32() override {
    TerminateProcess(program_.hProcess, 0);
  }
  // Hooked, once it takes messages, by describe.dll.
  void Start(bool fresh) override {
    if (fresh) {
      RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
      RegisterMailLogger();
    }
    program_ = harness::Start(L"pinaleaf.exe");
    WaitForInputIdle(program_.hProcess, 15000);
    static HMODULE dll = LoadLibraryW(Beside(L"describe.dll").c_str());
    auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "Hook")));
    SetWindowsHookExW(WH_GETMESSAGE, hook, dll, program_.dwThreadId);
    HWND note = nullptr;
    WaitUntil([&] { return (note = FindWindowW(nullptr, L"Form1")) != nullptr; }, 10000);
    LONG style = GetWindowLongW(note, GWL_EXSTYLE);
    EXPECT_TRUE((style & WS_EX_TOOLWINDOW) && !(style & WS_EX_APPWINDOW)) << "a note on the taskbar";
  }
  bool Running() override {
    return WaitForSingleObject(program_.hProcess, 0) == WAIT_TIMEOUT;
  }
  // Asked of the program's thread, which answers once it has come to it.
  string Describe() override {
    DeleteFileW(file_.c_str());
    PostThreadMessageW(program_.dwThreadId, RegisterWindowMessageW(L"PinaleafDescribe"), 0, 0);
    WaitUntil([&] { return GetFileAttributesW(file_.c_str()) != INVALID_FILE_ATTRIBUTES || !Running(); }, 60000);
    return Bytes(file_);
  }

  void Move(int x, int y) override {
    MouseAt({x, y});
  }
  void Click(int x, int y, bool right) override {
    ClickAt({x, y}, right);
  }
  void Drag(int x, int y, int toX, int toY) override {
    harness::Drag({x, y}, {toX, toY});
  }
  void Key(const string& name, int modifiers, int times) override {
    const std::map<string, int> kNamed = {{"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB},
                                          {"space", VK_SPACE},   {"End", VK_END},       {"Home", VK_HOME},
                                          {"Down", VK_DOWN},     {"Up", VK_UP},         {"Menu", VK_APPS}};
    int key = kNamed.contains(name) ? kNamed.at(name)
              : name.size() > 1     ? VK_F1 + std::atoi(&name[1]) - 1
                                    : std::toupper(name[0]);
    std::vector<WORD> keys;
    for (auto [bit, code] : {std::pair(1, VK_SHIFT), {2, VK_CONTROL}, {4, VK_MENU}}) {
      if (modifiers & bit)
        keys.push_back(static_cast<WORD>(code));
    }
    keys.push_back(static_cast<WORD>(key));
    Keys(keys, times);
  }
  // A line end as Return types it.
  void Type(const string& text) override {
    std::wstring typed = Wide(text);
    std::replace(typed.begin(), typed.end(), L'\n', L'\r');
    harness::Type(typed);
  }
  // Clicked where the caption answers that it is its close box.
  void CloseBox(walk::Id id) override {
    auto window = reinterpret_cast<HWND>(id);
    RECT rc;
    GetWindowRect(window, &rc);
    for (POINT at = {rc.right - 2, rc.top + 8}; at.x > rc.right - 60; --at.x) {
      if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) == HTCLOSE)
        return ClickAt(at);
    }
  }
  string Clipboard() override {
    return platform::ToUtf8(platform::ClipboardGet({}).value_or(platform::Text()));
  }
  void SetClipboard(const string& text) override {
    platform::ClipboardPut({}, Text(text));
  }
  void HoldClipboard() override {
    harness::HoldClipboard(100);
  }
  // The registry as another program reads and writes it.
  string Stored(const string& key) override {
    wchar_t value[4096] = L"";
    DWORD bytes = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kKey, Wide(key).c_str(), RRF_RT_REG_SZ, nullptr, value, &bytes);
    std::wstring text = value;
    return platform::ToUtf8({text.begin(), text.end()});
  }
  void Store(const string& key, const string& value) override {
    std::wstring text = Wide(value);
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, Wide(key).c_str(), REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  string Handed() override {
    return LastHanded();
  }
  string File(const string& name) override {
    return Bytes(Beside(Wide(name).c_str()));
  }
  // CR LF; Windows-1252 where it holds every character, else UTF-8 after a byte-order mark.
  string Saved(const string& text) override {
    string lines = std::regex_replace(text, std::regex("\n"), "\r\n");
    std::wstring wide = Wide(lines);
    string ansi(wide.size(), '\0');
    BOOL lossy = FALSE;
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), ansi.data(),
                        static_cast<int>(ansi.size()), nullptr, &lossy);
    return lossy ? "\xEF\xBB\xBF" + lines : ansi;
  }

 private:
  PROCESS_INFORMATION program_ = {};
  std::wstring file_ = Beside(L"describe.txt");
};

TEST(Walk, NothingTheUserTypesIsLostWhateverTheyDo) {
  Win32 driver;
  EXPECT_TRUE(walk::Walk(driver));
}

}  // namespace
