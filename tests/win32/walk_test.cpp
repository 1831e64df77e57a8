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

HANDLE g_program = nullptr;
DWORD g_thread = 0;  // the program's, which has its windows
wstring g_file = Beside(L"describe.txt");

TEST(Walk, NothingTheUserTypesIsLostWhateverTheyDo) {
  SetEnvironmentVariableW(L"PINALEAF_DESCRIBE", g_file.c_str());  // for describe.dll in the program
  EXPECT_TRUE(walk::Walk());
  TerminateProcess(g_program, 0);
}

}  // namespace

namespace walk {

System given = {.folder = [] {
  wstring here = Beside(L"");
  return platform::ToUtf8({here.begin(), here.end()});
}()};

// Hooked by describe.dll once its note is there.
void Start(bool fresh) {
  if (fresh)
    FreshAccount();
  g_program = harness::Start(L"pinaleaf.exe");
  HWND note = nullptr;
  WaitUntil([&] { return note = FindWindowW(nullptr, L"Form1"); }, 10000);
  g_thread = GetWindowThreadProcessId(note, nullptr);
  static HMODULE dll = LoadLibraryW(L"describe.dll");  // beside the tests
  SetWindowsHookExW(WH_GETMESSAGE, HOOKPROC(LPVOID(GetProcAddress(dll, "Hook"))), dll, g_thread);
  EXPECT_EQ(GetWindowLongW(note, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW), WS_EX_TOOLWINDOW)
      << "a note on the taskbar";
}
bool Running() {
  return WaitForSingleObject(g_program, 0) == WAIT_TIMEOUT;
}
// Asked of the program's thread, which answers once it has come to it.
string Describe() {
  DeleteFileW(g_file.c_str());
  PostThreadMessageW(g_thread, RegisterWindowMessageW(L"PinaleafDescribe"), 0, 0);
  WaitUntil([&] { return GetFileAttributesW(g_file.c_str()) != INVALID_FILE_ATTRIBUTES || !Running(); }, 60000);
  return Bytes(g_file);
}

void Move(int x, int y) {
  Mouse({x, y});
}
void Click(int x, int y, bool right) {
  Mouse({x, y}, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
}
void Drag(int x, int y, int toX, int toY) {
  harness::Drag({x, y}, {toX, toY});
}
// A letter by its capital's key, F1 to F12 by number.
void Key(const string& name, int modifiers, int times) {
  const map<string, int> kNamed = {{"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB},
                                   {"space", VK_SPACE},   {"End", VK_END},       {"Home", VK_HOME},
                                   {"Down", VK_DOWN},     {"Up", VK_UP},         {"Menu", VK_APPS}};
  Keys(kNamed.contains(name) ? kNamed.at(name)
       : name.size() > 1     ? VK_F1 - 1 + stoi(&name[1])
                             : toupper(name[0]),
       modifiers, times);
}
void Type(const string& text) {
  harness::Type(Wide(text));
}
// Clicked where the caption answers that it is its close box.
void CloseBox(Id id) {
  RECT rc;
  GetWindowRect(HWND(id), &rc);
  for (POINT at = {rc.right - 2, rc.top + 8}; at.x > rc.right - 60; --at.x) {
    if (SendMessageW(HWND(id), WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) == HTCLOSE)
      return Mouse(at, MOUSEEVENTF_LEFTDOWN);
  }
}
string Clipboard() {
  return platform::ToUtf8(platform::ClipboardGet({}).value_or(u""));
}
void SetClipboard(const string& text) {
  wstring wide = Wide(text);
  platform::ClipboardPut({}, {wide.begin(), wide.end()});
}
void HoldClipboard() {
  harness::HoldClipboard(100);
}
// The registry as another program reads and writes it.
string Stored(const string& key) {
  char16_t value[4096] = u"";
  DWORD bytes = sizeof value;
  RegGetValueW(HKEY_CURRENT_USER, L"Software\\Pinaleaf\\1.0", Wide(key).c_str(), RRF_RT_REG_SZ, nullptr, value, &bytes);
  return platform::ToUtf8(value);
}
void Store(const string& key, const string& value) {
  wstring text = Wide(value);
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Pinaleaf\\1.0", Wide(key).c_str(), REG_SZ, text.c_str(),
                  DWORD((text.size() + 1) * sizeof(wchar_t)));
}
string Handed() {
  return LastHanded();
}
string File(const string& name) {
  return Bytes(Beside(Wide(name)));
}
// CR LF; Windows-1252 where it holds every character, else UTF-8 after a byte-order mark.
string Saved(const string& text) {
  string lines = regex_replace(text, regex("\n"), "\r\n"), ansi = lines;  // no fewer bytes than it takes
  wstring wide = Wide(lines);
  BOOL lossy = FALSE;
  ansi.resize(WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), ansi.data(),
                                  int(ansi.size()), nullptr, &lossy));
  return lossy ? "\xEF\xBB\xBF" + lines : ansi;
}

}  // namespace walk
