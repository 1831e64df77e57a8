// Text commands, saving and the font dialog on the real system: clipboard,
// file bytes, a failed save, the standard font dialog.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "commands/common_dialog.h"
#include "harness.h"
#include "app/app.h"
#include "notes/note.h"

namespace {

class TextCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Reset();
    note_ = harness::StartNote();
    text_ = harness::TextAreaOf(note_);
    SetForegroundWindow(note_);
    harness::ClickAt(harness::CentreOf(text_));  // active, and focused
  }
  void TearDown() override { harness::Reset(); }

  HWND note_ = nullptr;
  HWND text_ = nullptr;
};

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string Bytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

// Saves the note through the real save dialog, the name preset and OK pressed.
void SaveThroughDialog(const std::wstring& path, std::function<void()> afterOk = nullptr) {
  pinaleaf::CommonDialog1().FileName = std::u16string(path.begin(), path.end());
  harness::RunSoon(300, [afterOk] {
    if (HWND dialog = harness::VisibleWindowOfClass(L"#32770")) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    if (afterOk) harness::RunSoon(300, afterOk);
  });
  pinaleaf::RunMenuCommand(pinaleaf::kSaveNoteToFileItem);
  harness::Pump(100);
}

TEST_F(TextCommands, CopyCutAndPasteUseTheRealClipboard) {
  SetWindowTextW(text_, L"Gr\u00fc\u00dfe, \u65e5\u672c\u8a9e \U0001F600");
  SendMessageW(text_, EM_SETSEL, 0, 5);
  pinaleaf::RunMenuCommand(pinaleaf::kCopyItem);
  EXPECT_EQ(harness::ClipboardText(), L"Gr\u00fc\u00dfe");

  SendMessageW(text_, EM_SETSEL, 7, 10);
  pinaleaf::RunMenuCommand(pinaleaf::kCutItem);
  EXPECT_EQ(harness::ClipboardText(), L"\u65e5\u672c\u8a9e");
  EXPECT_EQ(TextOf(text_), L"Gr\u00fc\u00dfe,  \U0001F600");

  SendMessageW(text_, EM_SETSEL, 0, 0);
  pinaleaf::RunMenuCommand(pinaleaf::kPasteItem);
  EXPECT_EQ(TextOf(text_), L"\u65e5\u672c\u8a9eGr\u00fc\u00dfe,  \U0001F600");

  // Copy with nothing selected leaves the clipboard empty.
  pinaleaf::RunMenuCommand(pinaleaf::kCopyItem);
  EXPECT_EQ(harness::ClipboardText(), L"");
}

TEST_F(TextCommands, SavedFilesHoldTheTextLosslessly) {
  std::wstring path = TempPath(L"pinaleaf-save.txt");
  DeleteFileW(path.c_str());

  SetWindowTextW(text_, L"Gr\u00fc\u00dfe");
  SaveThroughDialog(path);
  EXPECT_EQ(Bytes(path), "Gr\xFC\xDF" "e");  // Windows-1252, no byte-order mark

  SetWindowTextW(text_, L"\u65e5\u672c");  // no form in 1252: UTF-8 with a mark
  SaveThroughDialog(path);
  EXPECT_EQ(Bytes(path), "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC");

  SetWindowTextW(text_, L"");
  SaveThroughDialog(path);
  EXPECT_EQ(Bytes(path), "");
  DeleteFileW(path.c_str());
}

TEST_F(TextCommands, AFailedSaveSaysWhyAndKeepsTheOldFile) {
  std::wstring path = TempPath(L"pinaleaf-readonly.txt");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  {
    std::ofstream old(path.c_str(), std::ios::binary);
    old << "old content";
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  SetWindowTextW(text_, L"new text");

  std::wstring message;
  SaveThroughDialog(path, [&] {
    if (HWND box = harness::VisibleWindowOfClass(L"#32770")) {
      wchar_t buffer[1024] = {};
      GetDlgItemTextW(box, 0xFFFF, buffer, 1024);
      message = buffer;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  harness::Pump(300);
  EXPECT_NE(message.find(path), std::wstring::npos) << "message: " << message.size();
  EXPECT_EQ(Bytes(path), "old content");
  EXPECT_EQ(TextOf(text_), L"new text");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

TEST_F(TextCommands, TheFontDialogRestylesTheNoteAndStoresTheStyle) {
  auto& dialog = pinaleaf::CommonDialog1();
  dialog.FontName = u"DejaVu Sans";  // a face this system has
  dialog.FontBold = true;
  dialog.Color = 0x0000FF;
  bool shown = false;
  harness::RunSoon(300, [&] {
    if (HWND box = harness::VisibleWindowOfClass(L"#32770")) {
      shown = true;
      SendDlgItemMessageW(box, 0x410 /* strikeout */, BM_CLICK, 0, 0);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  pinaleaf::RunMenuCommand(pinaleaf::kFontItem);
  harness::Pump(100);
  ASSERT_TRUE(shown);

  LOGFONTW lf = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text_, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, -21);  // the preset 16 points
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfStrikeOut);
  EXPECT_EQ(harness::ReadInAnotherProcess(L"Bold"), L"True");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"Strikethru"), L"True");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"Size"), L"16");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"TextColor"), L"255");
  EXPECT_EQ(harness::ReadInAnotherProcess(L"Font"), std::wstring(lf.lfFaceName));

  // A note loaded now starts in the stored style.
  auto fresh = pinaleaf::Note::Load();
  platform::Font font = platform::GetFont(fresh->textArea());
  EXPECT_TRUE(font.bold);
  EXPECT_TRUE(font.strikethrough);
  EXPECT_EQ(font.size, 16.0f);
  EXPECT_EQ(platform::GetForeColor(fresh->textArea()), 0x0000FFu);
}

}  // namespace
