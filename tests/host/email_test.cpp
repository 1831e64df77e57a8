// E-mailing a note: the mailto address, the remembered recipients, the form,
// and the publisher's links.
#include <cctype>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host_test.h"
#include "notes/note.h"
#include "notes/program.h"
#include "sharing/email_form.h"
#include "sharing/start_run.h"

namespace {

using namespace pinaleaf;
using platform::Handle;
using Handles = std::vector<Handle>;
using Texts = std::vector<Text>;

// Percent-escapes back to bytes, the bytes read as UTF-8.
Text Decode(const Text& part) {
  std::string in = ToUtf8(part), out;
  for (size_t i = 0; i < in.size(); ++i) {
    auto hex = [&](size_t k) { return k < in.size() && std::isxdigit(static_cast<unsigned char>(in[k])); };
    if (in[i] == '%' && hex(i + 1) && hex(i + 2)) {
      out.push_back(static_cast<char>(std::stoi(in.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      EXPECT_NE(in[i], '%') << "a lone % in " << in;
      out.push_back(in[i]);
    }
  }
  return FromUtf8(out);
}

// Recipient, subject and body, split at the first "?" and the first "&"
// after it: neither may stand unescaped in the part before it.
Texts Split(const Text& url) {
  size_t q = url.find(u'?'), amp = url.find(u'&', q);
  if (url.rfind(u"mailto:", 0) != 0 || q == Text::npos || amp == Text::npos) return {};
  EXPECT_EQ(url.substr(q, 9), u"?Subject=");
  EXPECT_EQ(url.substr(amp, 6), u"&Body=");
  return {url.substr(7, q - 7), url.substr(q + 9, amp - q - 9), url.substr(amp + 6)};
}

// What may stand unescaped in a mailto header value.
bool IsPlainQueryChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         Text(u"-._~!$'()*+,;:@").find(c) != Text::npos;
}

TEST(Mailto, SubjectAndBodyDecodeToTheExactNoteText) {
  for (const Text& note : Texts{u"Hello world", u"NoSpace", u"fish & chips", u"why? because", u"#1 priority",
                                u"100% sure", u"%41 a=b+c;d", u"line one\r\nline two", u"Grüße 日本 😀", u""}) {
    Text url = BuildMailto(u"jo@example.org", note);
    SCOPED_TRACE(ToUtf8(url));
    Texts parts = Split(url);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], u"jo@example.org");
    size_t space = note.find(u' ');
    EXPECT_EQ(Decode(parts[1]), space == Text::npos ? Text() : note.substr(0, space + 1));
    EXPECT_EQ(Decode(parts[2]), note);
    for (char16_t c : parts[1] + parts[2]) EXPECT_TRUE(c == u'%' || IsPlainQueryChar(c)) << int{c};
  }
  // Spaces and line breaks in the forms mail programs read, text as UTF-8.
  EXPECT_EQ(BuildMailto(u"", u"Hi there\r\nü"), u"mailto:?Subject=Hi%20&Body=Hi%20there%0D%0A%C3%BC");
}

TEST(Mailto, TheRecipientStaysAsTypedButForWhatWouldBreakTheAddress) {
  for (auto [typed, sent] : {std::pair<Text, Text>{u"a?b@x.org", u"a%3Fb@x.org"}, {u"a#b&c@x.org", u"a%23b%26c@x.org"},
                             {u"100%@x.org", u"100%25@x.org"}, {u"Jo Bo <jo@x.org>", u"Jo%20Bo%20<jo@x.org>"},
                             {u"a@x.org\tb\r\n\x7F", u"a@x.org%09b%0D%0A%7F"}, {u"a@x.org,b@y.org", u"a@x.org,b@y.org"},
                             {u"jürgen@bücher.de", u"jürgen@bücher.de"}, {u"日本@例え.jp", u"日本@例え.jp"}, {u"", u""}}) {
    Text url = BuildMailto(typed, u"x");
    EXPECT_EQ(url, u"mailto:" + sent + u"?Subject=&Body=x");
    EXPECT_EQ(Decode(Split(url).at(0)), typed);
  }
}

class EmailNote : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    sim::SetProgramDirectory(u"D:\\Pinaleaf");
    for (auto [note, text] : {std::pair{&a_, u"alpha note"}, {&b_, u"beta & more\r\n100%"}}) {
      *note = Note::Load();
      (*note)->Show();
      platform::SetText((*note)->textArea(), text);
    }
    RecordActive(a_->window());
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

  static auto Calls() {
    std::vector<std::tuple<Handle, Text, Text>> calls;
    for (const sim::ShellCall& c : sim::ShellCalls()) calls.emplace_back(c.owner, c.target, c.workingDirectory);
    return calls;
  }

  std::shared_ptr<Note> a_, b_;
};

TEST_F(EmailNote, TheFormListsTheRememberedRecipientsAndLoadsOnce) {
  auto form = Open();
  ASSERT_TRUE(form);
  EXPECT_EQ(platform::GetCaption(form->window()), u"E-mail Note");
  EXPECT_TRUE(platform::IsVisible(form->window()));
  Handles controls = sim::ControlsOf(form->window());  // in tab order
  ASSERT_EQ(controls.size(), 4u);
  EXPECT_EQ(controls[0], form->combo());
  EXPECT_EQ(sim::Find(controls[0])->kind, sim::Kind::ComboBox);
  EXPECT_EQ(controls[1], form->sendButton());
  EXPECT_EQ(controls[2], form->cancelButton());
  EXPECT_EQ(platform::GetCaption(controls[1]), u"Send");
  EXPECT_EQ(platform::GetCaption(controls[2]), u"Cancel");
  EXPECT_EQ(platform::GetCaption(controls[3]), u"Enter e-mail recepients");
  for (Handle control : controls) EXPECT_EQ(platform::GetFont(control), (platform::Font{.size = 9.75f}));
  EXPECT_EQ(Items(*form), Texts{u""});  // nothing stored yet

  // Each load splits the stored text at its commas and selects the first entry.
  for (auto [stored, items] : {std::pair<Text, Texts>{u",a,b", {u"", u"a", u"b"}},
                               {u"x@y.org,b", {u"x@y.org", u"b"}}, {u",,", {u"", u"", u""}}}) {
    sim::PressButton(form->cancelButton());
    EXPECT_FALSE(platform::IsLoaded(form->window()));
    sim::Store(u"EmailAddresses", stored);
    form = Open();
    EXPECT_EQ(Items(*form), items) << ToUtf8(stored);
    EXPECT_EQ(platform::GetText(form->combo()), items.front());
  }

  // Shown again, it is not loaded again.
  size_t loaded = platform::LoadedForms().size();
  sim::Store(u"EmailAddresses", u",changed");
  EXPECT_EQ(Open(), form);
  EXPECT_EQ(Items(*form), (Texts{u"", u"", u""}));
  EXPECT_EQ(platform::LoadedForms().size(), loaded);

  // The close box unloads it, as Cancel does.
  sim::Close(form->window());
  EXPECT_FALSE(platform::IsLoaded(form->window()));
  EXPECT_FALSE(EmailForm::Current());
}

TEST_F(EmailNote, SendRemembersNewRecipientsAndMailsTheNoteActiveThen) {
  auto form = Open();
  auto send = [&](const Text& to) {
    sim::TypeText(form->combo(), to);
    sim::PressButton(form->sendButton());
  };
  sim::MouseMove(b_->textArea(), 0, 0, 10, 10);  // b is active by the time of Send
  send(u"ann@x.org");
  EXPECT_EQ(sim::Stored(u"EmailAddresses"), u",ann@x.org");
  send(u"ann@x.org");
  send(u"");  // the empty first entry counts as remembered
  EXPECT_EQ(sim::Stored(u"EmailAddresses"), u",ann@x.org");
  RecordActive(a_->window());
  send(u"Ann@x.org");
  send(u"bo@x.org,cy@x.org");
  EXPECT_EQ(sim::Stored(u"EmailAddresses"), u",ann@x.org,Ann@x.org,bo@x.org,cy@x.org");
  EXPECT_EQ(Items(*form), (Texts{u"", u"ann@x.org", u"Ann@x.org", u"bo@x.org,cy@x.org"}));
  EXPECT_TRUE(platform::IsVisible(form->window()));  // ready for another recipient

  Handle owner = form->window();
  const Text dir = u"D:\\Pinaleaf", b = u"beta & more\r\n100%", a = u"alpha note";
  EXPECT_EQ(Calls(), (std::vector<std::tuple<Handle, Text, Text>>{
                         {owner, BuildMailto(u"ann@x.org", b), dir},
                         {owner, BuildMailto(u"ann@x.org", b), dir},
                         {owner, BuildMailto(u"", b), dir},
                         {owner, BuildMailto(u"Ann@x.org", a), dir},
                         {owner, BuildMailto(u"bo@x.org,cy@x.org", a), dir},
                     }));

  // The next opening reads the comma recipient as two.
  sim::PressButton(form->cancelButton());
  form = Open();
  EXPECT_EQ(Items(*form), (Texts{u"", u"ann@x.org", u"Ann@x.org", u"bo@x.org", u"cy@x.org"}));

  // With no active note there is nothing to send.
  for (const Text& record : {Text(), FormatInteger(form->window()), FormatInteger(a_->textArea())}) {
    sim::Store(u"ActivehWnd", record);
    send(u"ann@x.org");
  }
  EXPECT_EQ(sim::ShellCalls().size(), 5u);
}

using PublisherLinks = HostTest;

TEST_F(PublisherLinks, OpenFromTheStartupNoteOrAnotherOnceItIsClosed) {
  sim::SetProgramDirectory(u"D:\\Pinaleaf");
  StartProgram();
  Handle start = StartupNoteWindow();
  EmailAuthor();
  GotoWebSite();
  auto other = Note::Load();
  other->Show();
  sim::Close(start);
  ASSERT_FALSE(platform::IsLoaded(start));
  RecordActive(start);  // names the closed note
  EmailAuthor();
  GotoWebSite();
  const Text mail = u"mailto:" PINALEAF_SUPPORT_ADDRESS, web = u"" PINALEAF_WEBSITE_URL, dir = u"D:\\Pinaleaf";
  ASSERT_EQ(sim::ShellCalls().size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    const sim::ShellCall& call = sim::ShellCalls()[i];
    EXPECT_EQ(std::tuple(call.owner, call.target, call.workingDirectory),
              std::tuple(i < 2 ? start : other->window(), i % 2 ? web : mail, dir))
        << i;
  }
}

// Another note being active does not take the call over.
TEST_F(PublisherLinks, TheStartupNoteOwnsTheCallWhileItIsOpen) {
  StartProgram();
  auto other = Note::Load();
  other->Show();
  RecordActive(other->window());
  EmailAuthor();
  GotoWebSite();
  ASSERT_EQ(sim::ShellCalls().size(), 2u);
  for (const sim::ShellCall& call : sim::ShellCalls()) EXPECT_EQ(call.owner, StartupNoteWindow());
}

}  // namespace
