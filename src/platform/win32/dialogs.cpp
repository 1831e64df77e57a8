// Standard dialogs and file writing.
#include "platform/win32/win32.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>

namespace platform {
using namespace win32;
namespace {


Text SystemMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  Text message = length && buffer ? T(buffer) : Text();
  if (buffer) LocalFree(buffer);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.pop_back();
  }
  if (message.empty()) message = u"Error " + Text(reinterpret_cast<const char16_t*>(std::to_wstring(error).c_str()));
  return message;
}

// A printer's device context, so the font dialog can list printer fonts
// too; null when there is no printer.
HDC DefaultPrinterDc() {
  wchar_t name[512];
  DWORD size = 512;
  using GetDefaultPrinterFn = BOOL(WINAPI*)(LPWSTR, LPDWORD);
  HMODULE spooler = LoadLibraryW(L"winspool.drv");
  if (!spooler) return nullptr;
  auto getDefaultPrinter =
      reinterpret_cast<GetDefaultPrinterFn>(reinterpret_cast<void*>(GetProcAddress(spooler, "GetDefaultPrinterW")));
  HDC dc = nullptr;
  if (getDefaultPrinter && getDefaultPrinter(name, &size)) dc = CreateDCW(L"WINSPOOL", name, nullptr, nullptr);
  FreeLibrary(spooler);
  return dc;
}

}  // namespace

bool ChooseFontDialog(Handle owner, FontChoice& state) {
  HWND hwnd = ToHwnd(owner);
  int dpi = DpiOf(hwnd);
  LOGFONTW lf = {};
  lf.lfHeight = -static_cast<LONG>(std::lround(static_cast<double>(state.font.size) * dpi / 72.0));
  lf.lfWeight = state.font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = state.font.italic;
  lf.lfUnderline = state.font.underline;
  lf.lfStrikeOut = state.font.strikethrough;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::copy_n(state.font.name.begin(), std::min(state.font.name.size(), size_t{LF_FACESIZE - 1}), lf.lfFaceName);

  CHOOSEFONTW cf = {};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = hwnd;
  cf.lpLogFont = &lf;
  cf.rgbColors = ResolveColor(state.color);
  cf.Flags = CF_INITTOLOGFONTSTRUCT | (state.flags & (CF_SCREENFONTS | CF_EFFECTS));
  HDC printer = (state.flags & CF_PRINTERFONTS) ? DefaultPrinterDc() : nullptr;
  if (printer) {
    cf.hDC = printer;
    cf.Flags |= CF_PRINTERFONTS;
  }
  BOOL ok = ChooseFontW(&cf);
  if (printer) DeleteDC(printer);
  if (!ok) return false;
  state.font.name = T(lf.lfFaceName);
  state.font.size = static_cast<float>(cf.iPointSize) / 10.0f;
  state.font.bold = lf.lfWeight >= FW_SEMIBOLD;
  state.font.italic = lf.lfItalic != 0;
  state.font.underline = lf.lfUnderline != 0;
  state.font.strikethrough = lf.lfStrikeOut != 0;
  state.color = cf.rgbColors;
  return true;
}

bool ChooseColorDialog(Handle owner, Color& color) {
  static COLORREF custom[16] = {};  // the user's custom colours, for the run
  for (COLORREF& c : custom) {
    if (c == 0) c = RGB(255, 255, 255);
  }
  CHOOSECOLORW cc = {};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = ToHwnd(owner);
  cc.rgbResult = ResolveColor(color);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!ChooseColorW(&cc)) return false;
  color = cc.rgbResult;
  return true;
}

bool SaveFileDialog(Handle owner, SaveChoice& state) {
  std::wstring file(32768, L'\0');
  std::copy_n(state.fileName.begin(), std::min(state.fileName.size(), file.size() - 1), file.begin());
  // "name\0pattern\0\0"
  std::wstring filter(state.filterName.begin(), state.filterName.end());
  filter.push_back(L'\0');
  filter.append(state.filterPattern.begin(), state.filterPattern.end());
  filter.append(2, L'\0');
  // The dialog wants the extension without its dot.
  Text ext = state.defaultExt;
  if (!ext.empty() && ext.front() == u'.') ext.erase(0, 1);

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = ToHwnd(owner);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = ext.empty() ? nullptr : W(ext);
  ofn.Flags = state.flags | OFN_HIDEREADONLY;
  if (!GetSaveFileNameW(&ofn)) return false;
  state.fileName = T(file.c_str());
  return true;
}

std::optional<Text> WriteFileReplacing(const Text& path, const std::string& bytes) {
  std::wstring target(W(path));
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return SystemMessage(ERROR_ACCESS_DENIED);
  }
  // Replacing by a rename would pass over a read-only, locked or protected
  // file: ask for the right to write it first.
  HANDLE existing = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (existing == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return SystemMessage(error);
  } else {
    CloseHandle(existing);
  }
  size_t slash = target.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash + 1);
  wchar_t temp[MAX_PATH + 16];
  if (!GetTempFileNameW(folder.c_str(), L"pnl", 0, temp)) return SystemMessage(GetLastError());

  DWORD error = ERROR_SUCCESS;
  HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
  } else {
    size_t written = 0;
    while (written < bytes.size() && error == ERROR_SUCCESS) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
      DWORD done = 0;
      if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) error = GetLastError();
      written += done;
    }
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file)) error = GetLastError();
    CloseHandle(file);
  }
  // Only a complete copy replaces the file.
  if (error == ERROR_SUCCESS &&
      !MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileW(temp);
    return SystemMessage(error ? error : ERROR_WRITE_FAULT);
  }
  return std::nullopt;
}

}  // namespace platform
