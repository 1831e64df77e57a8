// The e-mail form: pick a recipient, and the active note goes to the
// desktop's mail program as a mailto: address.
#pragma once

#include <memory>
#include <vector>

#include "platform/platform.h"

namespace pinaleaf {

class EmailForm : public platform::EventSink, public std::enable_shared_from_this<EmailForm> {
 public:
  // The form while it is loaded; null otherwise.
  static std::shared_ptr<EmailForm> Current();

  platform::Form window() const {
    return window_;
  }
  platform::ComboBox combo() const {
    return combo_;
  }
  platform::Button sendButton() const {
    return send_;
  }
  platform::Button cancelButton() const {
    return cancel_;
  }

  // Remembers a new recipient, then opens the mail program for the active note.
  void SendEmail();

 private:
  template <class Form>
  friend std::shared_ptr<Form> ShowSingle();
  void Load();

  platform::Form window_;
  platform::Label label_;
  platform::ComboBox combo_;
  platform::Button send_, cancel_;
};

// Shows the form, loading it (and the remembered recipients) when it is not
// loaded.
void ShowEmailForm();

// The remembered recipients as stored: split at every comma, empty pieces
// kept (so ",a,b" gives "", "a", "b").
std::vector<platform::Text> SplitRecipients(const platform::Text& stored);

// Whether an entry of the combo box equals `text` exactly.
bool ComboHasItem(platform::ComboBox combo, const platform::Text& text);

// A mailto: address for the mail program, and how many characters of the
// note's text its body leaves out.
struct Mailto {
  platform::Text url;  // empty: not even the recipient fits
  size_t leftOut = 0;
};

// "mailto:" + recipient + "?Subject=" + subject + "&Body=" + body. The subject
// is the text up to and including its first space. Each part is percent-
// encoded as UTF-8; the recipient keeps as typed what RFC 6068 lets an
// address hold (letters, digits, "@", ".", "+" and the like). At most
// `longest` units long: the subject and then the body are cut at a whole
// character when the note does not fit.
Mailto BuildMailto(const platform::Text& recipient, const platform::Text& noteText, size_t longest);

}  // namespace pinaleaf
