// Real key input in a note, and mail and web addresses reaching the desktop
// through the shell.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "harness.h"
#include "app/app.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

namespace {

class KeysAndMail : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Reset();
    note_ = harness::StartNote();
    text_ = harness::TextAreaOf(note_);
    Focus();
    harness::ClickAt(harness::CentreOf(text_));
  }
  void TearDown() override { harness::Reset(); }

  void Focus() {
    SetForegroundWindow(note_);
    harness::Pump(50);
    SetFocus(text_);
  }
  void Keys(std::initializer_list<WORD> keys) {
    harness::PressKeys(keys);
    harness::Pump(300);
  }
  std::wstring Text() {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(text_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(text_, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  HWND note_ = nullptr;
  HWND text_ = nullptr;
};

void PutOnClipboard(const std::wstring& text) { platform::ClipboardSetText(std::u16string(text.begin(), text.end())); }

TEST_F(KeysAndMail, CtrlShortcutsRunTheirCommands) {
  Keys({VK_CONTROL, 'N'});
  EXPECT_EQ(platform::LoadedForms().size(), 3u);  // a second note beside the menu host

  SetWindowTextW(text_, L"");
  Focus();
  Keys({VK_CONTROL, VK_F1});
  SYSTEMTIME today;
  GetLocalTime(&today);
  wchar_t date[64];
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &today, nullptr, date, 64);
  EXPECT_EQ(Text(), date);

  Focus();
  Keys({VK_CONTROL, 'R'});
  auto reminder = pinaleaf::ReminderDialog::Current();
  ASSERT_TRUE(reminder);
  EXPECT_TRUE(IsWindowVisible(harness::ToHwnd(reminder->window())));

  Focus();
  Keys({VK_CONTROL, 'E'});
  auto email = pinaleaf::EmailForm::Current();
  ASSERT_TRUE(email);
  EXPECT_TRUE(IsWindowVisible(harness::ToHwnd(email->window())));

  // Ctrl+Q and Ctrl+Shift+N do nothing.
  size_t forms = platform::LoadedForms().size();
  Focus();
  Keys({VK_CONTROL, 'Q'});
  Keys({VK_CONTROL, VK_SHIFT, 'N'});
  EXPECT_EQ(platform::LoadedForms().size(), forms);
}

TEST_F(KeysAndMail, CtrlCXVStayTheTextBoxsOwn) {
  SetWindowTextW(text_, L"abc def");
  Focus();
  SendMessageW(text_, EM_SETSEL, 0, 3);
  Keys({VK_CONTROL, 'C'});
  EXPECT_EQ(harness::ClipboardText(), L"abc");

  // With nothing selected the text box's copy leaves the clipboard alone.
  PutOnClipboard(L"keep");
  SendMessageW(text_, EM_SETSEL, 7, 7);
  Keys({VK_CONTROL, 'C'});
  EXPECT_EQ(harness::ClipboardText(), L"keep");

  SendMessageW(text_, EM_SETSEL, 4, 7);
  Keys({VK_CONTROL, 'X'});
  EXPECT_EQ(Text(), L"abc ");
  EXPECT_EQ(harness::ClipboardText(), L"def");
  SendMessageW(text_, EM_SETSEL, 0, 0);
  Keys({VK_CONTROL, 'V'});
  EXPECT_EQ(Text(), L"defabc ");
}

std::string ShellLog() {
  const char* unixPath = std::getenv("PINALEAF_TEST_SHELL_LOG");
  if (!unixPath) return "<no log>";
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path) c = c == '/' ? '\\' : c;
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string WaitForShellLog(size_t lines) {
  std::string log;
  for (int i = 0; i < 100; ++i) {
    harness::Pump(100);
    log = ShellLog();
    size_t count = 0;
    for (char c : log) count += c == '\n';
    if (count >= lines) break;
  }
  return log;
}

TEST_F(KeysAndMail, MailAndWebAddressesReachTheDesktop) {
  ASSERT_NE(ShellLog(), "<no log>") << "run under tests/win32/run-wine-tests.sh";
  size_t before = 0;
  for (char c : ShellLog()) before += c == '\n';

  SetWindowTextW(text_, L"Milk & eggs #1 100%\r\nBread");
  pinaleaf::ShowEmailForm();
  harness::Pump(100);
  auto email = pinaleaf::EmailForm::Current();
  ASSERT_TRUE(email);
  SetWindowTextW(harness::ToHwnd(email->combo()), L"anna@example.com");
  SendMessageW(harness::ToHwnd(email->sendButton()), BM_CLICK, 0, 0);
  std::string log = WaitForShellLog(before + 1);
  EXPECT_NE(log.find("xdg-email mailto:anna@example.com?Subject=Milk%20&Body=Milk%20%26%20eggs%20%231%20100%25%0D%0ABread"),
            std::string::npos)
      << log;

  pinaleaf::RunMenuCommand(pinaleaf::kEmailAuthorItem);
  pinaleaf::RunMenuCommand(pinaleaf::kGotoWebSiteItem);
  log = WaitForShellLog(before + 3);
  EXPECT_NE(log.find("xdg-email mailto:" PINALEAF_SUPPORT_ADDRESS), std::string::npos) << log;
  EXPECT_NE(log.find("xdg-open " PINALEAF_WEBSITE_URL), std::string::npos) << log;
}

}  // namespace
