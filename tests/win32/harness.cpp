#include "harness.h"

#include <fstream>
#include <iterator>
#include <thread>

namespace harness {
namespace {

const wchar_t kSettings[] = L"Software\\Pinaleaf\\1.0", kMailto[] = L"Software\\Classes\\mailto";

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  probe::Wait(150);
}

INPUT KeyInput(WORD key, bool up, wchar_t unicode = 0) {
  INPUT input = {INPUT_KEYBOARD};
  input.ki = {static_cast<WORD>(unicode ? 0 : key), unicode,
              static_cast<DWORD>((up ? KEYEVENTF_KEYUP : 0) | (unicode ? KEYEVENTF_UNICODE : 0))};
  return input;
}

INPUT MouseInput(POINT at, DWORD buttons) {
  INPUT input = {INPUT_MOUSE};
  input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons;
  return input;
}

// Visible top-level windows of a process, of a class, with a title that starts so.
std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* windowClass, const std::wstring& title) {
  std::vector<HWND> found;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    DWORD owner = 0;
    wchar_t name[64] = {};
    GetWindowThreadProcessId(hwnd, &owner);
    GetClassNameW(hwnd, name, 64);
    if (owner == (pid ? pid : GetCurrentProcessId()) && IsWindowVisible(hwnd) && windowClass == std::wstring(name) &&
        TextOf(hwnd).rfind(title, 0) == 0) {
      found.push_back(hwnd);
    }
  }
  return found;
}

}  // namespace

std::wstring Beside(const wchar_t* name) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}


bool WaitUntil(const std::function<bool()>& ready, int ms) {
  for (DWORD end = GetTickCount() + static_cast<DWORD>(ms); !ready(); probe::Wait(10)) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
  }
  return true;
}

void MouseAt(POINT at, DWORD buttons) { Send({MouseInput(at, buttons)}); }

void ClickAt(POINT at, bool right) {
  Send({MouseInput(at, 0), MouseInput(at, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
        MouseInput(at, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

// From a second thread, so that a move or size loop may run in this one.
void Drag(POINT from, POINT to) {
  MouseAt(from);
  std::thread mover([=] {
    INPUT down = MouseInput(from, MOUSEEVENTF_LEFTDOWN);
    SendInput(1, &down, sizeof(INPUT));
    for (int i = 1; i <= 10; ++i) {
      Sleep(30);
      INPUT move = MouseInput({from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10}, 0);
      SendInput(1, &move, sizeof(INPUT));
    }
    INPUT up = MouseInput(to, MOUSEEVENTF_LEFTUP);
    SendInput(1, &up, sizeof(INPUT));
  });
  probe::Wait(800);
  mover.join();
  probe::Wait(200);
}

void Keys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(KeyInput(key, false));
  for (auto it = keys.end(); it != keys.begin();) inputs.push_back(KeyInput(*--it, true));
  Send(inputs);
}

void Type(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) inputs.insert(inputs.end(), {KeyInput(0, false, c), KeyInput(0, true, c)});
  Send(inputs);
}

POINT CentreOf(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

HWND FindWindowOf(DWORD pid, const wchar_t* windowClass, const std::wstring& title) {
  auto found = WindowsOf(pid, windowClass, title);
  return found.empty() ? nullptr : found.front();
}

void RegisterMailLogger() {
  std::wstring command = L"\"" + Beside(L"mail_logger.exe") + L"\" %1";
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, kMailto, L"URL Protocol", REG_SZ, L"", sizeof(wchar_t));
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, (std::wstring(kMailto) + L"\\shell\\open\\command").c_str(), nullptr, REG_SZ,
                  command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  DeleteFileW(Beside(L"shell.log").c_str());
}

std::string Bytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string MailLog() { return Bytes(Beside(L"shell.log")); }

std::wstring Stored(const wchar_t* key) {
  std::wstring value(4096, L'\0');
  DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, kSettings, key, RRF_RT_REG_SZ, nullptr, value.data(), &bytes)) return L"<none>";
  value.resize(bytes / sizeof(wchar_t) - 1);
  return value;
}

void Store(const wchar_t* key, const std::wstring& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kSettings, key, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

Program::Program() {
  std::wstring command = L"\"" + Beside(L"pinaleaf.exe") + L"\"";
  STARTUPINFOW si = {sizeof(si)};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) {
    WaitUntil([&] { return !Notes().empty(); }, 15000);
  }
}

Program::~Program() {
  if (!pi_.hProcess) return;
  if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
  WaitForSingleObject(pi_.hProcess, 5000);
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

// Cascaded: the oldest stands highest.
std::vector<HWND> Program::Notes() const {
  auto notes = WindowsOf(pi_.dwProcessId, L"PinaleafForm", L"Form1");
  auto top = [](HWND hwnd) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    return std::pair(rc.top, rc.left);
  };
  std::sort(notes.begin(), notes.end(), [&](HWND a, HWND b) { return top(a) < top(b); });
  return notes;
}

HWND Program::Focus() const {
  GUITHREADINFO info = {sizeof(info)};
  return GetGUIThreadInfo(pi_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

HWND Program::Active() const {
  GUITHREADINFO info = {sizeof(info)};
  bool ours = GetGUIThreadInfo(pi_.dwThreadId, &info) && GetForegroundWindow() == info.hwndActive;
  return ours ? info.hwndActive : nullptr;
}

DWORD Program::ExitCode(int ms) {
  DWORD code = STILL_ACTIVE;
  WaitUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, ms);
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

}  // namespace harness

