// Reading stored text: the conversions, the key table, and what a note's
// load makes of each stored value.
#include "host_test.h"

using Settings = Process;

TEST_F(Settings, NumbersAreStrictIntegersStayInRangeBooleansAreWordsOrNumbersAndUtf8KeepsEveryCharacter) {
  for (auto [text, value] : {std::pair{u" \t12 ", 12.0}, {u"-.5", -0.5}, {u"25e-1", 2.5}, {u"1e-400", 0.}}) {
    EXPECT_EQ(ParseNumber(text), value) << ToUtf8(text);
  }
  for (auto bad : {u"", u"+", u".", u"1e", u"e3", u"1.2.3", u"1 2", u"0x10", u"nan", u"1e309", u"\uFF11"}) {
    EXPECT_EQ(ParseNumber(bad), std::nullopt) << ToUtf8(bad);
  }
  EXPECT_EQ(std::pair(ParseInteger(u"-2147483648", INT32_MIN, 0), ParseInteger(u" +7 ", 0, 7)),
            std::pair(std::optional<std::int64_t>(INT32_MIN), std::optional<std::int64_t>(7)));
  for (auto bad : {u"2147483648", u"-2147483649", u"99999999999999999999", u"1.0", u"1e3", u"-", u"\u0663"}) {
    EXPECT_EQ(ParseInteger(bad, INT32_MIN, INT32_MAX), std::nullopt) << ToUtf8(bad);
  }
  for (auto yes : {u"True", u" tRUE\t", u"-1", u"0.5"}) EXPECT_EQ(ParseBool(yes), true) << ToUtf8(yes);
  for (auto no : {u"fAlSe", u"0", u"-0", u"0e5"}) EXPECT_EQ(ParseBool(no), false) << ToUtf8(no);
  for (auto bad : {u"", u"yes", u"True1", u"\u0131true"}) EXPECT_EQ(ParseBool(bad), std::nullopt);
  // Each width at its edges; a lone surrogate has no UTF-8 form.
  const std::u16string text = u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0001F600";
  const std::string bytes = "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF0\x9F\x98\x80";
  EXPECT_EQ(std::pair(ToUtf8(text), ToUtf8(u"x\xD83Dy")), std::pair(bytes, std::string("x\xEF\xBF\xBDy")));
}

TEST_F(Settings, EachKeyReadsAsTheTableSaysAndANoteLoadsWhatReads) {
  // A fraction is rounded to a whole alpha, halves to even; an alpha no command reaches (a note hidden,
  // or one more opaque than 254) is read as the nearest one they reach.
  for (auto [setting, stored, value] :
       {std::tuple{Setting::Translucency, u"92.5", std::optional(92.0)}, {Setting::Translucency, u"93.5", 94.0},
        {Setting::Translucency, u"255.5", 254.0}, {Setting::Translucency, u"0", 80.0},
        {Setting::Translucency, u"x", 200.0}, {Setting::TransCount, u"32767", 32767.0},
        {Setting::TransCount, u"0", 1.0},
        {Setting::TextColor, u"-2147483648", -2147483648.0}, {Setting::TextColor, u"1.5", std::nullopt},
        {Setting::Size, u"2048", 2048.0}, {Setting::Size, u"1e-50", std::nullopt},
        {Setting::AlwaysOnTop, u"", std::nullopt}, {Setting::ReminderYear, u"10000", std::nullopt},
        {Setting::ActivehWnd, u" 65552.0 ", 65552.0}, {Setting::Font, u"Arial", std::nullopt}}) {
    Sys().store[InfoOf(setting).key] = stored;
    EXPECT_EQ(ReadValue(setting), value) << ToUtf8(stored);
  }
  auto styled = [](Form n) {
    return std::tuple(GetFont(TextAreaOf(n)), GetForeColor(TextAreaOf(n)), sim::Find(n)->topmost);
  };
  Form note = Start({{u"TextColor", u"16711680"}, {u"Bold", u"True"}, {u"Italic", u"-1"}, {u"Underline", u" true "},
                     {u"Strikethru", u"2.5"}, {u"Font", u"Courier New"}, {u"Size", u"10.5"}, {u"AlwaysOnTop", u"0"}});
  EXPECT_EQ(styled(note), std::tuple(Font{u"Courier New", 10.5f, true, true, true, true}, 0x00FF0000u, false));
  // Each value that does not read leaves the design one (Arial 9 pt in the
  // system's window-text colour), and the switch on.
  const auto design = std::tuple(Font{u"Arial", 9, false, false, false, false}, 0x80000008u, true);
  for (auto [key, bad] : {std::pair{u"Size", u"0"}, {u"Size", u"nan"}, {u"TextColor", u"12abc"}, {u"Bold", u"yes"},
                          {u"Font", u""}, {u"AlwaysOnTop", u"no"}}) {
    EXPECT_EQ(styled(Start({{key, bad}})), design) << ToUtf8(bad);
  }
}
