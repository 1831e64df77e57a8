// Reading stored text: the conversions, the key table, and what a note's
// load makes of each stored value.
#include "host_test.h"

using Settings = Process;

TEST_F(Settings, NumbersAreStrictIntegersStayInRangeBooleansAreWordsOrNumbersAndUtf8KeepsEveryCharacter) {
  for (auto [text, value] : {std::pair{u" \t12 ", 12.0}, {u"+5", 5.0}, {u"-.5", -0.5}, {u"5.", 5.0},
                             {u"25e-1", 2.5}, {u"1E+3", 1000.0}, {u"1e-400", 0.0}}) {
    EXPECT_EQ(ParseNumber(text), value) << ToUtf8(text);
  }
  for (const char16_t* bad : {u"", u" ", u"+", u".", u"+-1", u"1e", u"e3", u"1e+", u"1.2.3", u"1 2", u"0x10",
                              u"inf", u"nan", u"1e309", u"1,5", u"\u00A012", u"\uFF11"}) {
    EXPECT_EQ(ParseNumber(bad), std::nullopt) << ToUtf8(bad);
  }
  EXPECT_EQ(std::tuple(ParseInt32(u"-2147483648"), ParseInt32(u" +2147483647 ")), std::tuple(INT32_MIN, INT32_MAX));
  EXPECT_EQ(ParseInteger(u"-9223372036854775808", INT64_MIN, INT64_MAX), INT64_MIN);
  for (const char16_t* bad : {u"2147483648", u"-2147483649", u"99999999999999999999", u"1.0", u"1e3", u"-",
                              u"12abc", u"\u0663"}) {
    EXPECT_EQ(ParseInt32(bad), std::nullopt) << ToUtf8(bad);
  }
  for (const char16_t* yes : {u"True", u" tRUE\t", u"-1", u"0.5"}) EXPECT_EQ(ParseBool(yes), true) << ToUtf8(yes);
  for (const char16_t* no : {u"fAlSe", u"0", u"-0", u"0e5"}) EXPECT_EQ(ParseBool(no), false) << ToUtf8(no);
  for (const char16_t* bad : {u"", u"yes", u"True1", u"\u0131true"}) EXPECT_EQ(ParseBool(bad), std::nullopt);
  // Each width at its edges, a lone surrogate, bad bytes: one replacement character each.
  const std::u16string text = u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0001F600";
  const std::string bytes = "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF0\x9F\x98\x80";
  EXPECT_EQ(std::pair(ToUtf8(text), FromUtf8(bytes)), std::pair(bytes, text));
  EXPECT_EQ(ToUtf8(u"x\xD83Dy"), "x\xEF\xBF\xBDy");
  EXPECT_EQ(std::tuple(FromUtf8("\xFFok"), FromUtf8("a\xE2\x82"), FromUtf8("\xED\xA0\x80")),
            std::tuple(Text(u"\uFFFDok"), Text(u"a\uFFFD\uFFFD"), Text(u"\uFFFD\uFFFD\uFFFD")));
}

TEST_F(Settings, EachKeyReadsAsTheTableSaysAndFallsBackWhereItHasAFallback) {
  std::vector<Text> keys;
  for (const SettingInfo& info : kSettings) keys.push_back(info.key);
  EXPECT_EQ(keys.size(), 18u);
  EXPECT_EQ(std::set<Text>(keys.begin(), keys.end()).size(), 18u);
  // A fraction is rounded to a whole alpha, halves to even, as a byte takes it.
  for (auto [stored, alpha] : {std::pair{u"12.5", 12.0}, {u"13.5", 14.0}, {u"255.4", 255.0}, {u"255.5", 200.0},
                               {u"-0.5", 0.0}, {u"-0.6", 200.0}, {u"256", 200.0}, {u"", 200.0}, {u"x", 200.0}}) {
    Sys().store[u"Translucency"] = stored;
    EXPECT_EQ(ReadValue(Setting::Translucency), alpha) << ToUtf8(stored);
  }
  for (auto [setting, stored, value] :
       {std::tuple{Setting::TransCount, u"32767", std::optional(32767.0)}, {Setting::TransCount, u"0", 1.0},
        {Setting::TextColor, u"-2147483648", -2147483648.0}, {Setting::TextColor, u"1.5", std::nullopt},
        {Setting::Size, u"2048", 2048.0}, {Setting::Size, u"1e-50", std::nullopt}, {Setting::Bold, u"-1", 1.0},
        {Setting::AlwaysOnTop, u"", std::nullopt}, {Setting::ReminderYear, u"10000", std::nullopt},
        {Setting::ActivehWnd, u" 65552.0 ", 65552.0}, {Setting::Font, u"Arial", std::nullopt}}) {
    Sys().store[InfoOf(setting).key] = stored;
    EXPECT_EQ(ReadValue(setting), value) << ToUtf8(stored);
  }
}

auto Styled(Form n) { return std::tuple(GetFont(TextAreaOf(n)), GetForeColor(TextAreaOf(n)), sim::Find(n)->topmost); }

TEST_F(Settings, ANoteLoadsTheStoredStyleWhereItReadsAndWritesNothing) {
  Form note = Start({});
  EXPECT_EQ(std::tuple(GetBackColor(TextAreaOf(note)), GetText(TextAreaOf(note)), Sys().store.size()),
            std::tuple(0x00C0FFFFu, Text(), size_t{0}));
  EXPECT_EQ(Styled(note), std::tuple(Font{u"Arial", 9}, kWindowTextColor, true));
  note = Start({{u"TextColor", u"16711680"}, {u"Bold", u"True"}, {u"Italic", u"-1"}, {u"Underline", u" true "},
                {u"Strikethru", u"2.5"}, {u"Font", u"Courier New"}, {u"Size", u"10.5"}, {u"AlwaysOnTop", u"0"}});
  EXPECT_EQ(Styled(note), std::tuple(Font{u"Courier New", 10.5f, true, true, true, true}, 0x00FF0000u, false));
  // Each value that does not read leaves the design one, and the switch on.
  for (auto [key, bad] : {std::pair{u"Size", u"0"}, {u"Size", u"2049"}, {u"Size", u"nan"}, {u"TextColor", u"12abc"},
                          {u"TextColor", u"2147483648"}, {u"Bold", u"yes"}, {u"Font", u""}, {u"AlwaysOnTop", u"no"}}) {
    EXPECT_EQ(Styled(Start({{key, bad}})), std::tuple(Font{}, kWindowTextColor, true)) << ToUtf8(bad);
  }
}
