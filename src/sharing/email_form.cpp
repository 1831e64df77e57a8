#include "sharing/email_form.h"

#include <algorithm>
#include <string_view>

#include "notes/active_note.h"
#include "notes/note.h"
#include "notes/program.h"
#include "notes/settings.h"
#include "notes/stay_on.h"
#include "notes/values.h"
#include "platform/platform.h"
#include "sharing/start_run.h"

namespace pinaleaf {
namespace {

const char kHex[] = "0123456789ABCDEF";

void AppendEscaped(Text& out, unsigned char byte) {
  out.push_back(u'%');
  out.push_back(static_cast<char16_t>(kHex[byte >> 4]));
  out.push_back(static_cast<char16_t>(kHex[byte & 15]));
}

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

// What RFC 6068 lets an address stand with, beside the unreserved ones.
bool IsAddressDelimiter(unsigned char c) {
  return c < 0x80 && std::string_view("!$'()*+,;:@").find(static_cast<char>(c)) != std::string_view::npos;
}

// Every byte of the text's UTF-8 form that `keep` refuses becomes %XX.
template <class Keep>
Text Escape(const Text& text, Keep keep) {
  Text out;
  for (char byte : ToUtf8(text)) {
    auto c = static_cast<unsigned char>(byte);
    if (c < 0x80 && keep(c)) {
      out.push_back(c);
    } else {
      AppendEscaped(out, c);
    }
  }
  return out;
}

size_t CharactersFrom(const Text& text, size_t at) {
  size_t count = 0;
  for (; at < text.size(); at += CharacterUnits(text, at))
    ++count;
  return count;
}

// Appends `text` escaped, whole characters only, while `out` stays within
// `longest` units; returns how many characters did not fit.
template <class Keep>
size_t AppendWhole(Text& out, const Text& text, Keep keep, size_t longest) {
  for (size_t at = 0; at < text.size();) {
    size_t units = CharacterUnits(text, at);
    Text escaped = Escape(text.substr(at, units), keep);
    if (out.size() + escaped.size() > longest)
      return CharactersFrom(text, at);
    out += escaped;
    at += units;
  }
  return 0;
}

bool InAddress(unsigned char c) {
  return IsUnreserved(c) || IsAddressDelimiter(c);
}

platform::Font Arial975() {
  platform::Font font;
  font.size = 9.75f;
  return font;
}

}  // namespace

Mailto BuildMailto(const Text& recipient, const Text& noteText, size_t longest) {
  size_t space = noteText.find(u' ');
  Text subject = space == Text::npos ? Text() : noteText.substr(0, space + 1);
  Text head = u"mailto:" + Escape(recipient, InAddress) + u"?Subject=";
  Text body = Escape(noteText, IsUnreserved);
  Text whole = head + Escape(subject, IsUnreserved) + u"&Body=" + body;
  if (whole.size() <= longest)
    return {whole, 0};
  const size_t kBodyKey = 6;  // "&Body="
  if (head.size() + kBodyKey > longest)
    return {Text(), CharactersFrom(noteText, 0)};
  // The body matters more: the subject may take half of the room at most.
  size_t room = longest - head.size() - kBodyKey;
  Text url = head;
  AppendWhole(url, subject, IsUnreserved, head.size() + room - std::min(body.size(), room / 2));
  url += u"&Body=";
  size_t leftOut = AppendWhole(url, noteText, IsUnreserved, longest);
  return {url, leftOut};
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

bool ComboHasItem(platform::ComboBox combo, const Text& text) {
  for (int i = 0; i < platform::ComboCount(combo); ++i) {
    if (platform::ComboItem(combo, i) == text)
      return true;
  }
  return false;
}

std::shared_ptr<EmailForm> EmailForm::Current() {
  return LoadedOne<EmailForm>();
}

void ShowEmailForm() {
  ShowSingle<EmailForm>();
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
  send_ = platform::CreateButton(window_, {120, 960, 2055, 495}, u"Send", Arial975(), [this] { SendEmail(); });
  cancel_ = platform::CreateButton(window_, {2280, 960, 2235, 495}, u"Cancel", Arial975(),
                                   [this] { platform::UnloadForm(window_); });
  label_ = platform::CreateLabel(window_, {120, 120, 3855, 255}, u"Enter e-mail recepients", Arial975());

  // Stored as ",a,b": the first entry is the empty one.
  for (const Text& recipient : SplitRecipients(ReadSetting(keys::EmailAddresses))) {
    platform::ComboAdd(combo_, recipient);
  }
  platform::ComboSelect(combo_, 0);
}

void EmailForm::SendEmail() {
  Text recipient = platform::GetText(combo_);
  if (!ComboHasItem(combo_, recipient)) {
    platform::ComboAdd(combo_, recipient);
    WriteSetting(keys::EmailAddresses, ReadSetting(keys::EmailAddresses) + u"," + recipient);
  }
  const Text title = u"E-mail Note";
  ForEachActiveNote([&](Note& note) {
    Text text = note.text();
    Mailto mail = BuildMailto(recipient, text, platform::LongestShellTarget());
    if (mail.url.empty()) {
      platform::ShowError(window_, u"The recipient is too long for an e-mail address.", title);
      return;
    }
    // A mail program takes an address of limited length: the user is told
    // what it leaves out before it opens.
    if (mail.leftOut > 0) {
      Text total = FormatInteger(static_cast<std::int64_t>(CharactersFrom(text, 0)));
      platform::ShowError(window_,
                          u"The note is too long to go into an e-mail whole: the last " +
                              FormatInteger(static_cast<std::int64_t>(mail.leftOut)) + u" of its " + total +
                              u" characters are left out of the mail.",
                          title);
    }
    ShellOpen(window_, mail.url, title);
  });
}

}  // namespace pinaleaf
