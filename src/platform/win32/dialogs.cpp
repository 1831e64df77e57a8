// Standard dialogs and file writing.
#include "platform/win32/win32.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace platform {
using namespace win32;
namespace {

const wchar_t kDialogs[] = L"comdlg32.dll";

// The screen's dots per inch, which the font dialog itself turns heights
// into points with, whatever monitor it opens on.
int FontDialogDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The temporary file's name beside the target: "~pnl" and eight hex digits.
const wchar_t kTempPattern[] = L"~pnl%08lx.tmp";
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

// A new file beside `target`, with a short name of its own, holding `bytes`.
std::optional<Text> WriteBeside(const std::wstring& target, const std::string& bytes, std::wstring& temp) {
  size_t slash = target.find_last_of(L'\\');
  std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
  HANDLE file = INVALID_HANDLE_VALUE;
  for (DWORD n = GetTickCount(); file == INVALID_HANDLE_VALUE; ++n) {
    wchar_t name[32];
    swprintf(name, 32, kTempPattern, static_cast<unsigned long>(n ^ GetCurrentProcessId()));
    temp = folder + name;
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

}  // namespace

bool ChooseFontDialog(Form owner, FontChoice& state) {
  CommonControls6 looks;
  auto chooseFont = SystemCall<BOOL(WINAPI*)(CHOOSEFONTW*)>(kDialogs, "ChooseFontW");
  if (!chooseFont)
    return false;
  LOGFONTW lf = {};
  lf.lfHeight = -static_cast<LONG>(std::lround(static_cast<double>(state.font.size) * FontDialogDpi() / 72.0));
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
  if (!getSaveFileName(&ofn))
    return false;
  state.fileName = T(file.c_str());
  return true;
}

// The new content goes to a file of its own beside the target first; only a
// complete copy takes the target's place. An existing target is replaced by
// the system's replace call, which keeps its attributes, security and owner.
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
  if (!exists) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
      return std::nullopt;
  } else if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
             // Where the replace call could not (too long a path for some
             // systems' own), or left the target gone: the new file moves in.
             MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    // Some systems' replace call does not carry the attributes over.
    if (GetFileAttributesW(target.c_str()) != attributes)
      SetFileAttributesW(target.c_str(), attributes);
    return std::nullopt;
  }
  DWORD error = GetLastError();
  DeleteFileW(temp.c_str());
  return Failure(error);
}

}  // namespace platform
