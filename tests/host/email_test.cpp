// E-mailing a note: the mailto address, the remembered recipients, the form,
// and the publisher's links.
#include <stdexcept>
#include <tuple>

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

bool Unreserved(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || Text(u"-._~").find(c) != Text::npos;
}

TEST(Mailto, EveryPartDecodesToExactlyWhatWasTypedAndOnlySafeCharactersStandRaw) {
  for (const Text& note : Texts{u"Hello world", u"NoSpace", u"fish & chips?", u"#1 100% sure", u"%41 a=b+c;d",
                                u"line one\r\nline two", u"Grüße 日本 😀", u""}) {
    Texts parts = Split(BuildMailto(u"jo@example.org", note));
    ASSERT_EQ(parts.size(), 3u) << U8(note);
    size_t space = note.find(u' ');
    EXPECT_EQ(Decode(parts[1]), space == Text::npos ? Text() : note.substr(0, space + 1));
    EXPECT_EQ(Decode(parts[2]), note);
    for (char16_t c : parts[1] + parts[2]) EXPECT_TRUE(c == u'%' || Unreserved(c)) << int{c};
  }
  EXPECT_EQ(BuildMailto(u"", u"Hi there\r\nü"), u"mailto:?Subject=Hi%20&Body=Hi%20there%0D%0A%C3%BC");
  // The recipient keeps what an address may hold; the rest is escaped.
  for (auto [typed, sent] : {std::pair<Text, Text>{u"a.b+c-d_e~f!$'()*,;:@x.org", u"a.b+c-d_e~f!$'()*,;:@x.org"},
                             {u"a?b#c&d%e=f/g@x.org", u"a%3Fb%23c%26d%25e%3Df%2Fg@x.org"},
                             {u"Jo Bo <jo@x.org>", u"Jo%20Bo%20%3Cjo@x.org%3E"},
                             {u"\"\\^`{|}[]", u"%22%5C%5E%60%7B%7C%7D%5B%5D"},
                             {u"a@x.org\tb\r\n\x7F", u"a@x.org%09b%0D%0A%7F"},
                             {u"jürgen@bücher.de", u"j%C3%BCrgen@b%C3%BCcher.de"}}) {
    Texts parts = Split(BuildMailto(typed, u"x"));
    ASSERT_EQ(parts.size(), 3u) << U8(typed);
    EXPECT_EQ(parts[0], sent);
    EXPECT_EQ(Decode(parts[0]), typed);
  }
}

class EmailNote : public TwoNotes {
 protected:
  void SetUp() override {
    TwoNotes::SetUp();
    Sys().programDirectory = u"D:\\Pinaleaf";
    platform::SetText(TextAreaOf(a_), u"alpha note");
    platform::SetText(TextAreaOf(b_), u"beta & more\r\n100%");
  }
  static std::shared_ptr<EmailForm> Open() {
    sim::Run(ShowEmailForm);
    return EmailForm::Current();
  }
  static Texts Items(const EmailForm& form) {
    Texts items;
    for (int i = 0; i < platform::ComboCount(form.combo()); ++i) items.push_back(platform::ComboItem(form.combo(), i));
    return items;
  }
  void Send(const EmailForm& form, const Text& to) {
    platform::SetText(form.combo(), to);
    sim::PressButton(form.sendButton());
  }
};

TEST_F(EmailNote, SendRemembersNewRecipientsOnceAndMailsTheNoteActiveThen) {
  Sys().store[u"EmailAddresses"] = u"x@y.org,,ann@x.org";
  auto form = Open();
  EXPECT_EQ(Items(*form), (Texts{u"x@y.org", u"", u"ann@x.org"}));  // empty pieces kept
  EXPECT_EQ(platform::GetText(form->combo()), u"x@y.org");
  sim::MouseMove(TextAreaOf(b_), 0, 0, 10, 10);  // b is active when Send is pressed
  for (const Text& to : Texts{u"ann@x.org", u"", u"bo@x.org,cy@x.org", u"bo@x.org,cy@x.org"}) Send(*form, to);
  RecordActive(a_);
  Send(*form, u"Ann@x.org");
  EXPECT_EQ(sim::Stored(u"EmailAddresses"), u"x@y.org,,ann@x.org,bo@x.org,cy@x.org,Ann@x.org");
  EXPECT_EQ(Items(*form).back(), u"Ann@x.org");  // in the list at once
  const Text b = u"beta & more\r\n100%";
  std::vector<std::tuple<Handle, Text, Text>> calls;
  for (const sim::ShellCall& c : Sys().shellCalls) calls.emplace_back(c.owner, c.target, c.workingDirectory);
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0], std::tuple(form->window(), BuildMailto(u"ann@x.org", b), Text(u"D:\\Pinaleaf")));
  EXPECT_EQ(std::get<1>(calls[4]), BuildMailto(u"Ann@x.org", u"alpha note"));
  RecordActive(TextAreaOf(a_));  // no active note: nothing to send
  Send(*form, u"ann@x.org");
  EXPECT_EQ(Sys().shellCalls.size(), 5u);
  // Shown again it is not loaded again; Cancel unloads it, and the next load
  // reads the comma recipient as two.
  EXPECT_EQ(Open(), form);
  sim::PressButton(form->cancelButton());
  EXPECT_FALSE(EmailForm::Current());
  EXPECT_EQ(Items(*Open()).size(), 6u);
}

TEST_F(EmailNote, WhenNothingCanOpenTheMailTheUserIsToldAndNothingIsLost) {
  Sys().shellFailure = u"No application is associated with the specified file for this operation.";
  auto form = Open();
  Send(*form, u"ann@x.org");
  ASSERT_EQ(Sys().messageBoxes.size(), 1u);
  const sim::MessageBoxRecord& box = Sys().messageBoxes[0];
  EXPECT_EQ(std::tuple(box.owner, box.title), std::tuple(form->window(), Text(u"E-mail Note")));
  EXPECT_NE(box.prompt.find(*Sys().shellFailure), Text::npos);
  EXPECT_NE(box.prompt.find(u"mailto:ann@x.org?Subject=alpha%20"), Text::npos);
  EXPECT_TRUE(platform::IsVisible(form->window()));
  EXPECT_EQ(platform::GetText(TextAreaOf(a_)), u"alpha note");
  // A long note is named by its start in the message.
  platform::SetText(TextAreaOf(a_), Text(5000, u'x') + u"\U0001F600");
  Send(*form, u"ann@x.org");
  EXPECT_LT(Sys().messageBoxes.back().prompt.size(), 600u);
}

using PublisherLinks = TwoNotes;

// The start-up note owns the call while it is open, whichever note is active.
TEST_F(PublisherLinks, OpenFromTheStartupNoteOrAnotherOnceItIsClosed) {
  RecordActive(b_);
  RunEntry(kEmailAuthorItem);
  sim::Close(a_);
  RunEntry(kGotoWebSiteItem);
  ASSERT_EQ(Sys().shellCalls.size(), 2u);
  EXPECT_EQ(std::pair(Sys().shellCalls[0].owner, Sys().shellCalls[0].target),
            std::pair(a_, Text(u"mailto:" PINALEAF_SUPPORT_ADDRESS)));
  EXPECT_EQ(std::pair(Sys().shellCalls[1].owner, Sys().shellCalls[1].target),
            std::pair(b_, Text(u"" PINALEAF_WEBSITE_URL)));
}

}  // namespace
