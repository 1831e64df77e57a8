// Standard dialogs and file writing.
#include "platform/win32/win32.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace platform {
using namespace win32;
namespace {

const wchar_t kDialogs[] = L"comdlg32.dll";

// The names of the new file and of the old one while it is replaced, beside
// the target: "~pnl", eight hex digits and an ending.
const wchar_t kBesidePattern[] = L"~pnl%08lx.%ls";
constexpr size_t kTempNameLength = 16;

// Paths the old 260-character limit would refuse take the form that has
// none; the program does not declare itself long-path aware, so Windows
// holds it to that limit. The temporary file beside the target counts too.
std::wstring FullLengthPath(const Text& path) {
  std::wstring out(W(path));
  std::replace(out.begin(), out.end(), L'/', L'\\');
  size_t folder = out.find_last_of(L'\\') + 1;  // 0 with no folder
  if (std::max(out.size(), folder + kTempNameLength) < MAX_PATH || out.rfind(L"\\\\?\\", 0) == 0)
    return out;
  if (out.rfind(L"\\\\", 0) == 0)
    return L"\\\\?\\UNC\\" + out.substr(2);
  return L"\\\\?\\" + out;
}

std::optional<Text> Failure(DWORD error) {
  return SystemMessage(error ? error : ERROR_WRITE_FAULT);
}

// A name beside `target`, the n-th of its kind.
std::wstring NameBeside(const std::wstring& target, DWORD n, const wchar_t* ending) {
  wchar_t name[32];
  swprintf(name, 32, kBesidePattern, static_cast<unsigned long>(n ^ GetCurrentProcessId()), ending);
  return target.substr(0, target.find_last_of(L'\\') + 1) + name;  // the whole of it with no folder
}

// A new file beside `target`, with a short name of its own, holding `bytes`.
std::optional<Text> WriteBeside(const std::wstring& target, const std::string& bytes, std::wstring& temp) {
  HANDLE file = INVALID_HANDLE_VALUE;
  for (DWORD n = GetTickCount(); file == INVALID_HANDLE_VALUE; ++n) {
    temp = NameBeside(target, n, L"tmp");
    file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
      return Failure(GetLastError());
  }
  DWORD error = ERROR_SUCCESS;
  for (size_t written = 0; written < bytes.size() && error == ERROR_SUCCESS;) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
    DWORD done = 0;
    if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0)
      error = GetLastError();
    written += done;
  }
  if (error == ERROR_SUCCESS && !FlushFileBuffers(file))
    error = GetLastError();
  CloseHandle(file);
  if (error == ERROR_SUCCESS)
    return std::nullopt;
  DeleteFileW(temp.c_str());
  return Failure(error);
}

// Wine's save dialog puts the folder and the typed name together in a buffer
// of MAX_PATH characters on its own stack, and a longer name overruns it and
// ends the program. Under Wine the name is measured first: one that would
// not fit, its ending included, is refused with a word and stays in the box
// to be shortened.
const wchar_t kReplacedProc[] = L"PinaleafReplacedProc", kEndingRoom[] = L"PinaleafEndingRoom";

// CDM_GETSPEC or CDM_GETFOLDERPATH.
std::wstring DialogString(HWND dialog, UINT message) {
  std::wstring text(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    LRESULT needed = SendMessageW(dialog, message, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (needed <= 0)
      return {};
    if (static_cast<size_t>(needed) <= text.size())
      return text.c_str();
    text.assign(static_cast<size_t>(needed), L'\0');
  }
  return {};
}

// The path as Wine makes it: a name with a drive as it is, a rooted one on
// the folder's drive, any other in the folder; the ending added where the
// name has none.
bool FitsWinesDialog(HWND dialog) {
  std::wstring name = DialogString(dialog, CDM_GETSPEC);
  size_t dot = name.find_last_of(L'.'), stop = name.find_last_of(L"\\ ");
  size_t length = name.size();
  if (dot == std::wstring::npos || (stop != std::wstring::npos && stop > dot))
    length += reinterpret_cast<size_t>(GetPropW(dialog, kEndingRoom));
  if (name.size() < 2 || name[1] != L':')
    length += name.starts_with(L'\\') ? 2 : DialogString(dialog, CDM_GETFOLDERPATH).size() + 1;
  return length < MAX_PATH;
}

LRESULT CALLBACK WineSaveDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto replaced = reinterpret_cast<WNDPROC>(GetPropW(dialog, kReplacedProc));
  if (msg == WM_COMMAND && LOWORD(wParam) == IDOK && !FitsWinesDialog(dialog)) {
    MessageBoxW(dialog,
                L"This file name is too long. With its folder and its ending it may have at most 259 characters.",
                L"Save As", MB_OK | MB_ICONWARNING);
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    RemovePropW(dialog, kReplacedProc);
    RemovePropW(dialog, kEndingRoom);
  }
  return CallWindowProcW(replaced, dialog, msg, wParam, lParam);
}

// The hook's own dialog sits inside the system's, which it subclasses.
UINT_PTR CALLBACK WineSaveHook(HWND inner, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    HWND dialog = GetParent(inner);
    const wchar_t* ending = reinterpret_cast<const OPENFILENAMEW*>(lParam)->lpstrDefExt;
    SetPropW(dialog, kEndingRoom, reinterpret_cast<HANDLE>(ending ? wcslen(ending) + 1 : 0));
    LONG_PTR replaced = SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WineSaveDialogProc));
    SetPropW(dialog, kReplacedProc, reinterpret_cast<HANDLE>(replaced));
  }
  return 0;
}

}  // namespace

bool ChooseFontDialog(Form owner, FontChoice& state) {
  CommonControls6 looks;
  auto chooseFont = SystemCall<BOOL(WINAPI*)(CHOOSEFONTW*)>(kDialogs, "ChooseFontW");
  if (!chooseFont)
    return false;
  LOGFONTW lf = {};
  lf.lfHeight = -static_cast<LONG>(std::lround(static_cast<double>(state.font.size) * SystemDpi() / 72.0));
  lf.lfWeight = state.font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = state.font.italic;
  lf.lfUnderline = state.font.underline;
  lf.lfStrikeOut = state.font.strikethrough;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::copy_n(state.font.name.begin(), std::min(state.font.name.size(), size_t{LF_FACESIZE - 1}), lf.lfFaceName);

  // Printer fonts are listed without a printer's device context on every
  // Windows this runs on; opening an offline network printer could hold the
  // program for seconds.
  CHOOSEFONTW cf = {};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = ToHwnd(owner);
  cf.lpLogFont = &lf;
  cf.rgbColors = ColorRef(state.color);
  cf.Flags = CF_INITTOLOGFONTSTRUCT | (state.options.has(DialogOption::ScreenFonts) ? CF_SCREENFONTS : 0) |
             (state.options.has(DialogOption::PrinterFonts) ? CF_PRINTERFONTS : 0) |
             (state.options.has(DialogOption::FontEffects) ? CF_EFFECTS : 0);
  if (!chooseFont(&cf))
    return false;
  state.font.name = T(lf.lfFaceName);
  state.font.size = static_cast<float>(cf.iPointSize) / 10.0f;
  state.font.bold = lf.lfWeight >= FW_SEMIBOLD;
  state.font.italic = lf.lfItalic != 0;
  state.font.underline = lf.lfUnderline != 0;
  state.font.strikethrough = lf.lfStrikeOut != 0;
  state.color = cf.rgbColors;
  return true;
}

bool ChooseColorDialog(Form owner, Color& color) {
  CommonControls6 looks;
  auto chooseColor = SystemCall<BOOL(WINAPI*)(CHOOSECOLORW*)>(kDialogs, "ChooseColorW");
  if (!chooseColor)
    return false;
  static COLORREF custom[16] = {};  // the user's custom colours, for the run
  for (COLORREF& c : custom) {
    if (c == 0)
      c = RGB(255, 255, 255);
  }
  CHOOSECOLORW cc = {};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = ToHwnd(owner);
  cc.rgbResult = ColorRef(color);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!chooseColor(&cc))
    return false;
  color = cc.rgbResult;
  return true;
}

bool SaveFileDialog(Form owner, SaveChoice& state) {
  CommonControls6 looks;
  auto getSaveFileName = SystemCall<BOOL(WINAPI*)(OPENFILENAMEW*)>(kDialogs, "GetSaveFileNameW");
  if (!getSaveFileName)
    return false;
  std::wstring file(32768, L'\0');
  std::copy_n(state.fileName.begin(), std::min(state.fileName.size(), file.size() - 1), file.begin());
  // "name\0pattern\0\0"
  std::wstring filter(state.filterName.begin(), state.filterName.end());
  filter.push_back(L'\0');
  filter.append(state.filterPattern.begin(), state.filterPattern.end());
  filter.append(2, L'\0');
  // The dialog wants the extension without its dot.
  Text ext = state.defaultExt;
  if (!ext.empty() && ext.front() == u'.')
    ext.erase(0, 1);

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = ToHwnd(owner);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = ext.empty() ? nullptr : W(ext);
  // The process's current folder stays where it was: left in the folder
  // chosen, it would keep that folder (a USB stick) from being removed.
  ofn.Flags = (state.options.has(DialogOption::ExplorerStyle) ? OFN_EXPLORER : 0) | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  // A hook would give Windows' dialog its old look: only where it must be.
  if (UnderWine() && (ofn.Flags & OFN_EXPLORER)) {
    ofn.Flags |= OFN_ENABLEHOOK;
    ofn.lpfnHook = WineSaveHook;
  }
  if (!getSaveFileName(&ofn))
    return false;
  state.fileName = T(file.c_str());
  return true;
}

// The old file's owner, group and access list on the new one, as the
// system's replace call keeps them; an owner the user may not give is left.
void KeepSecurity(const std::wstring& from, const std::wstring& to) {
  SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  GetFileSecurityW(from.c_str(), parts, nullptr, 0, &size);
  std::vector<BYTE> descriptor(size);
  if (size && GetFileSecurityW(from.c_str(), parts, descriptor.data(), size, &size) &&
      !SetFileSecurityW(to.c_str(), parts, descriptor.data()))
    SetFileSecurityW(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
}

// The system's replace call keeps the target's attributes, security and
// owner; it moves the old file aside under a backup name of ours, so that
// the old file is never lost nor left behind. Where the call could not (too
// long a path for some systems' own), or stopped with the old file moved
// aside (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2), the new file moves in itself
// with the old one's security, and the old one goes only then.
DWORD ReplaceExisting(const std::wstring& target, const std::wstring& temp) {
  std::wstring backup;
  for (DWORD n = GetTickCount(); backup.empty() || GetFileAttributesW(backup.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
    backup = NameBeside(target, n, L"bak");
  if (ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    DeleteFileW(backup.c_str());
    return ERROR_SUCCESS;
  }
  bool movedAside = GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
  KeepSecurity(movedAside ? backup : target, temp);
  if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (movedAside)
      DeleteFileW(backup.c_str());
    return ERROR_SUCCESS;
  }
  DWORD error = GetLastError();
  if (movedAside)  // the old file back in its place
    MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
  return error;
}

// The new content goes to a file of its own beside the target first; only a
// complete copy takes the target's place.
std::optional<Text> WriteFileReplacing(const Text& path, const std::string& bytes) {
  std::wstring target = FullLengthPath(path);
  DWORD attributes = GetFileAttributesW(target.c_str());
  bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  // A rename would pass over a read-only, locked or protected file: ask for
  // the right to write it first.
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return Failure(ERROR_ACCESS_DENIED);
  }
  if (exists) {
    HANDLE existing = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (existing == INVALID_HANDLE_VALUE)
      return Failure(GetLastError());
    CloseHandle(existing);
  }
  std::wstring temp;
  if (auto failure = WriteBeside(target, bytes, temp))
    return failure;
  DWORD error = ERROR_SUCCESS;
  if (exists) {
    error = ReplaceExisting(target, temp);
  } else if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileW(temp.c_str());
    return Failure(error);
  }
  // Some systems' replace call does not carry the attributes over.
  if (exists && GetFileAttributesW(target.c_str()) != attributes)
    SetFileAttributesW(target.c_str(), attributes);
  return std::nullopt;
}

}  // namespace platform
