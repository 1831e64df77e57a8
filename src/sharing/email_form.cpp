#include "sharing/email_form.h"

#include "notes/active_note.h"
#include "notes/note.h"
#include "notes/settings.h"
#include "notes/values.h"
#include "sharing/start_run.h"

namespace pinaleaf {
namespace {

using platform::Handle;

std::shared_ptr<EmailForm>& Instance() {
  static std::shared_ptr<EmailForm> instance;
  return instance;
}

const char kHex[] = "0123456789ABCDEF";

void AppendEscaped(Text& out, unsigned char byte) {
  out.push_back(u'%');
  out.push_back(static_cast<char16_t>(kHex[byte >> 4]));
  out.push_back(static_cast<char16_t>(kHex[byte & 15]));
}

bool IsUnreserved(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
         c == u'.' || c == u'_' || c == u'~';
}

// Everything but the unreserved characters, as UTF-8 bytes: line breaks
// become %0D%0A, a space %20.
Text EncodeComponent(const Text& text) {
  Text out;
  std::string utf8 = ToUtf8(text);
  for (char byte : utf8) {
    auto c = static_cast<unsigned char>(byte);
    if (c < 0x80 && IsUnreserved(c)) {
      out.push_back(c);
    } else {
      AppendEscaped(out, c);
    }
  }
  return out;
}

// The recipient as typed, but for what would end the address ("?", "#"),
// start a field ("&"), look like an escape ("%"), or break the URL.
Text EncodeRecipient(const Text& text) {
  Text out;
  for (char16_t c : text) {
    if (c == u'?' || c == u'#' || c == u'&' || c == u'%' || c == u' ' || c < 0x20 || c == 0x7F) {
      AppendEscaped(out, static_cast<unsigned char>(c));
    } else {
      out.push_back(c);
    }
  }
  return out;
}

platform::Font Arial975() {
  platform::Font font;
  font.size = 9.75f;
  return font;
}

}  // namespace

Text BuildMailto(const Text& recipient, const Text& noteText) {
  size_t space = noteText.find(u' ');
  Text subject = space == Text::npos ? Text() : noteText.substr(0, space + 1);
  return u"mailto:" + EncodeRecipient(recipient) + u"?Subject=" + EncodeComponent(subject) + u"&Body=" +
         EncodeComponent(noteText);
}

std::vector<Text> SplitRecipients(const Text& stored) {
  std::vector<Text> recipients;
  size_t start = 0;
  for (size_t comma; (comma = stored.find(u',', start)) != Text::npos; start = comma + 1) {
    recipients.push_back(stored.substr(start, comma - start));
  }
  recipients.push_back(stored.substr(start));
  return recipients;
}

bool ComboHasItem(Handle combo, const Text& text) {
  for (int i = 0; i < platform::ComboCount(combo); ++i) {
    if (platform::ComboItem(combo, i) == text) return true;
  }
  return false;
}

std::shared_ptr<EmailForm> EmailForm::Current() {
  auto& instance = Instance();
  if (instance && !platform::IsLoaded(instance->window_)) instance.reset();
  return instance;
}

void ShowEmailForm() {
  auto form = EmailForm::Current();
  if (!form) {
    form = std::make_shared<EmailForm>();
    Instance() = form;
    form->Load();
  }
  platform::ShowForm(form->window_);
}

void EmailForm::Load() {
  platform::FormSpec design;
  design.kind = platform::FormKind::Dialog;
  design.caption = u"E-mail Note";
  design.rect = {0, 0, 4680, 1635};
  design.platformPlaces = true;
  window_ = platform::CreateForm(design, shared_from_this());
  // Created in tab order.
  combo_ = platform::CreateComboBox(window_, {120, 480, 4335, 360}, Arial975());
  send_ = platform::CreateButton(window_, {120, 960, 2055, 495}, u"Send", Arial975());
  cancel_ = platform::CreateButton(window_, {2280, 960, 2235, 495}, u"Cancel", Arial975());
  label_ = platform::CreateLabel(window_, {120, 120, 3855, 255}, u"Enter e-mail recepients", Arial975());

  // Stored as ",a,b": the first entry is the empty one.
  for (const Text& recipient : SplitRecipients(ReadSetting(u"EmailAddresses"))) platform::ComboAdd(combo_, recipient);
  platform::ComboSelect(combo_, 0);
}

void EmailForm::SendEmail() {
  Text recipient = platform::GetText(combo_);
  if (!ComboHasItem(combo_, recipient)) {
    platform::ComboAdd(combo_, recipient);
    WriteSetting(u"EmailAddresses", ReadSetting(u"EmailAddresses") + u"," + recipient);
  }
  ForEachActiveNote([&](Note& note) {
    ShellOpen(window_, BuildMailto(recipient, platform::GetText(note.textArea())));
  });
}

void EmailForm::OnCommand(Handle button) {
  if (button == send_) {
    SendEmail();
  } else if (button == cancel_) {
    platform::UnloadForm(window_);
  }
}

}  // namespace pinaleaf
