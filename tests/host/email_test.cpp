// E-mailing a note: the mailto address, the remembered recipients, the form,
// and the publisher's links.
#include "host_test.h"
#include "sharing/email_form.h"

TEST(Mailto, TheSubjectIsTheFirstWordAndEachPartIsPercentEscapedUtf8) {
  EXPECT_EQ(BuildMailto(u"", u"Hi there\r\n\u00FC"), u"mailto:?Subject=Hi%20&Body=Hi%20there%0D%0A%C3%BC");
  EXPECT_EQ(BuildMailto(u"x", u"#1 100% sure & a=b+c;d? %41 \U0001F600!*'()\u65E5-._~"),
            u"mailto:x?Subject=%231%20&Body=%231%20100%25%20sure%20%26%20a%3Db%2Bc%3Bd%3F%20%2541%20"
            u"%F0%9F%98%80%21%2A%27%28%29%E6%97%A5-._~");
  // The recipient keeps what an address may hold; the rest is escaped.
  for (auto [typed, sent] : {std::pair<Text, Text>{u"a.b+c-d_e~f!$'()*,;:@x.org", u"a.b+c-d_e~f!$'()*,;:@x.org"},
                             {u"a?b#c&d%e=f/g@x.org", u"a%3Fb%23c%26d%25e%3Df%2Fg@x.org"},
                             {u"Jo Bo <jo@x.org>", u"Jo%20Bo%20%3Cjo@x.org%3E"},
                             {u"\"\\^`{|}[]", u"%22%5C%5E%60%7B%7C%7D%5B%5D"},
                             {u"a@x.org\tb\r\n\x7F", u"a@x.org%09b%0D%0A%7F"},
                             {u"j\u00FCrgen@b\u00FCcher.de", u"j%C3%BCrgen@b%C3%BCcher.de"}}) {
    EXPECT_EQ(BuildMailto(typed, u"x"), u"mailto:" + sent + u"?Subject=&Body=x");
  }
}

std::shared_ptr<EmailForm> OpenEmail() {
  sim::Run(ShowEmailForm);
  return EmailForm::Current();
}
// Types the recipient over the combo box's text and presses Send.
void Send(const EmailForm& form, const Text& to) {
  SetFocus(form.combo());
  sim::Type(to);
  sim::Click(form.sendButton());
}

using Email = TwoNotes;

TEST_F(Email, SendRemembersNewRecipientsOnceMailsTheNoteActiveThenAndSaysWhyWhenNothingCanOpenIt) {
  SetText(TextAreaOf(a_), u"alpha note");
  Sys().store[u"EmailAddresses"] = u"x@y.org,,ann@x.org";
  auto form = OpenEmail();
  const auto& items = sim::Find(form->combo())->items;
  EXPECT_EQ(std::pair(items, GetText(form->combo())),
            std::pair(std::vector<Text>{u"x@y.org", u"", u"ann@x.org"}, Text(u"x@y.org")));
  sim::MouseMove(TextAreaOf(b_), 0, 0, 10, 10);  // b is active when Send is pressed
  for (Text to : {u"ann@x.org", u"", u"bo@x.org,cy@x.org", u"bo@x.org,cy@x.org"}) Send(*form, to);
  RecordActive(a_);
  Send(*form, u"Ann@x.org");
  // A new recipient is in the list at once, and stored once.
  EXPECT_EQ(std::pair(items.back(), *sim::Stored(u"EmailAddresses")),
            std::pair(Text(u"Ann@x.org"), Text(u"x@y.org,,ann@x.org,bo@x.org,cy@x.org,Ann@x.org")));
  const sim::ShellCall& first = Sys().shellCalls.at(0);
  EXPECT_EQ(std::tuple(Sys().shellCalls.size(), first.owner, first.target),
            std::tuple(5u, form->window(), BuildMailto(u"ann@x.org", u"")));
  EXPECT_EQ(Sys().shellCalls.at(4).target, BuildMailto(u"Ann@x.org", u"alpha note"));
  // When nothing can open it the user is told why, with the start of a long address.
  Sys().shellFailure = u"No application is associated with the specified file for this operation.";
  Send(*form, u"ann@x.org");
  const sim::MessageBoxRecord& box = Sys().messageBoxes.at(0);
  EXPECT_EQ(std::tuple(box.owner, box.title, box.prompt, IsVisible(form->window())),
            std::tuple(form->window(), Text(u"E-mail Note"),
                       u"No program could open\n" + BuildMailto(u"ann@x.org", u"alpha note") + u"\n\n" +
                           *Sys().shellFailure,
                       true));
  SetText(TextAreaOf(a_), Text(5000, u'x') + u"\U0001F600");
  Send(*form, u"ann@x.org");
  EXPECT_LT(Sys().messageBoxes.back().prompt.size(), 600u);
  // Shown again it is not loaded again; Cancel unloads it, and the next load
  // reads the comma recipient as two.
  EXPECT_EQ(OpenEmail(), form);
  sim::Click(form->cancelButton());
  EXPECT_EQ(sim::Find(OpenEmail()->combo())->items.size(), 6u);
}

// The start-up note owns the call while it is open, whichever note is active.
TEST_F(Email, PublisherLinksOpenFromTheStartupNoteOrAnotherOnceItIsClosed) {
  RecordActive(b_);
  RunEntry(Id::EmailAuthor);
  sim::Close(a_);
  RunEntry(Id::GotoWebSite);
  EXPECT_EQ(std::tuple(Sys().shellCalls.size(), Sys().shellCalls.at(0).owner, Sys().shellCalls.at(0).target,
                       Sys().shellCalls.at(1).owner, Sys().shellCalls.at(1).target),
            std::tuple(2u, a_, Text(u"mailto:" PINALEAF_SUPPORT_ADDRESS), b_, Text(u"" PINALEAF_WEBSITE_URL)));
}
