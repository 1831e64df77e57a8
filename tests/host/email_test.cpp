// E-mailing a note: the mailto address, the remembered recipients, the form,
// and the publisher's links.
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "host_test.h"
#include "sharing/email_form.h"
#include "sharing/start_run.h"

namespace {

using namespace pinaleaf;

// Percent-escapes back to bytes, read as UTF-8; a lone "%" throws.
Text Decode(const Text& part) {
  std::string in = ToUtf8(part), out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '%') {
      out += in[i];
      continue;
    }
    size_t used = 0;
    out += static_cast<char>(std::stoi(in.substr(i + 1, 2), &used, 16));
    if (used != 2) throw std::invalid_argument("a lone %");
    i += 2;
  }
  return FromUtf8(out);
}

// Recipient, subject and body, split at the first "?" and the first "&"
// after it: neither may stand unescaped in the part before it.
Texts Split(const Text& url) {
  size_t q = url.find(u"?Subject="), amp = url.find(u"&Body=", q);
  if (url.rfind(u"mailto:", 0) != 0 || q == Text::npos || q != url.find(u'?') || amp != url.find(u'&', q)) return {};
  return {url.substr(7, q - 7), url.substr(q + 9, amp - q - 9), url.substr(amp + 6)};
}

// Mail programs differ on "+" and the other sub-delimiters: only the
// unreserved characters are safe unescaped.
bool IsUnreserved(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         Text(u"-._~").find(c) != Text::npos;
}

TEST(Mailto, SubjectAndBodyDecodeToTheExactNoteText) {
  for (const Text& note : Texts{u"Hello world", u"NoSpace", u"fish & chips?", u"#1 100% sure", u"%41 a=b+c;d",
                                u"line one\r\nline two", u"Grüße 日本 😀", u""}) {
    Text url = BuildMailto(u"jo@example.org", note);
    SCOPED_TRACE(ToUtf8(url));
    Texts parts = Split(url);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], u"jo@example.org");
    size_t space = note.find(u' ');
    EXPECT_EQ(Decode(parts[1]), space == Text::npos ? Text() : note.substr(0, space + 1));
    EXPECT_EQ(Decode(parts[2]), note);
    for (char16_t c : parts[1] + parts[2]) EXPECT_TRUE(c == u'%' || IsUnreserved(c)) << int{c};
  }
  // Spaces and line breaks in the forms mail programs read, text as UTF-8.
  EXPECT_EQ(BuildMailto(u"", u"Hi there\r\nü"), u"mailto:?Subject=Hi%20&Body=Hi%20there%0D%0A%C3%BC");
}

TEST(Mailto, TheRecipientStaysAsTypedButForWhatWouldBreakTheAddress) {
  for (auto [typed, sent] : {std::pair<Text, Text>{u"a?b#c&d@x.org", u"a%3Fb%23c%26d@x.org"},
                             {u"100%@x.org", u"100%25@x.org"}, {u"Jo Bo <jo@x.org>", u"Jo%20Bo%20<jo@x.org>"},
                             {u"a@x.org\tb\r\n\x7F", u"a@x.org%09b%0D%0A%7F"}, {u"a@x.org,b@y.org", u"a@x.org,b@y.org"},
                             {u"jürgen@bücher.de", u"jürgen@bücher.de"}}) {
    Text url = BuildMailto(typed, u"x");
    EXPECT_EQ(url, u"mailto:" + sent + u"?Subject=&Body=x");
    EXPECT_EQ(Decode(Split(url).at(0)), typed);
  }
}

class EmailNote : public TwoNotes {
 protected:
  void SetUp() override {
    TwoNotes::SetUp();
    sim::SetProgramDirectory(u"D:\\Pinaleaf");
    platform::SetText(a_->textArea(), u"alpha note");
    platform::SetText(b_->textArea(), u"beta & more\r\n100%");
  }
  static std::shared_ptr<EmailForm> Open() {
    ShowEmailForm();
    return EmailForm::Current();
  }
  static Texts Items(const EmailForm& form) {
    Texts items;
    for (int i = 0; i < platform::ComboCount(form.combo()); ++i) items.push_back(platform::ComboItem(form.combo(), i));
    return items;
  }
};

TEST_F(EmailNote, SendRemembersNewRecipientsAndMailsTheNoteActiveThen) {
  sim::Store(u"EmailAddresses", u"x@y.org,,ann@x.org");
  auto form = Open();
  EXPECT_EQ(Items(*form), (Texts{u"x@y.org", u"", u"ann@x.org"}));  // empty pieces kept
  EXPECT_EQ(platform::GetText(form->combo()), u"x@y.org");
  auto send = [&](const Text& to) {
    sim::TypeText(form->combo(), to);
    sim::PressButton(form->sendButton());
  };
  sim::MouseMove(b_->textArea(), 0, 0, 10, 10);  // b is active by the time of Send
  send(u"ann@x.org");
  send(u"");
  RecordActive(a_->window());
  send(u"Ann@x.org");
  send(u"bo@x.org,cy@x.org");
  EXPECT_EQ(sim::Stored(u"EmailAddresses"), u"x@y.org,,ann@x.org,Ann@x.org,bo@x.org,cy@x.org");
  Handle owner = form->window();
  const Text dir = u"D:\\Pinaleaf", b = u"beta & more\r\n100%", a = u"alpha note";
  std::vector<std::tuple<Handle, Text, Text>> calls;
  for (const sim::ShellCall& c : sim::ShellCalls()) calls.emplace_back(c.owner, c.target, c.workingDirectory);
  EXPECT_EQ(calls, (std::vector<std::tuple<Handle, Text, Text>>{{owner, BuildMailto(u"ann@x.org", b), dir},
                                                                {owner, BuildMailto(u"", b), dir},
                                                                {owner, BuildMailto(u"Ann@x.org", a), dir},
                                                                {owner, BuildMailto(u"bo@x.org,cy@x.org", a), dir}}));
  RecordActive(a_->textArea());  // no active note: nothing to send
  send(u"ann@x.org");
  EXPECT_EQ(sim::ShellCalls().size(), 4u);
  // Shown again, it is not loaded again; Cancel and the close box unload it,
  // and the next load reads the comma recipient as two.
  EXPECT_EQ(Open(), form);
  sim::PressButton(form->cancelButton());
  EXPECT_FALSE(EmailForm::Current());
  EXPECT_EQ(Items(*Open()).size(), 6u);
  sim::Close(EmailForm::Current()->window());
  EXPECT_FALSE(EmailForm::Current());
}

using PublisherLinks = TwoNotes;

// The start-up note owns the call while it is open, whichever note is active.
TEST_F(PublisherLinks, OpenFromTheStartupNoteOrAnotherOnceItIsClosed) {
  sim::SetProgramDirectory(u"D:\\Pinaleaf");
  RecordActive(b_->window());
  EmailAuthor();
  sim::Close(a_->window());
  GotoWebSite();
  ASSERT_EQ(sim::ShellCalls().size(), 2u);
  const sim::ShellCall &mail = sim::ShellCalls()[0], &web = sim::ShellCalls()[1];
  EXPECT_EQ(std::tuple(mail.owner, mail.target, mail.workingDirectory),
            std::tuple(a_->window(), Text(u"mailto:" PINALEAF_SUPPORT_ADDRESS), Text(u"D:\\Pinaleaf")));
  EXPECT_EQ(std::pair(web.owner, web.target), std::pair(b_->window(), Text(u"" PINALEAF_WEBSITE_URL)));
}

}  // namespace
