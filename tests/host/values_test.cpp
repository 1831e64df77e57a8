// Edge cases of the conversions between stored text and values.
#include "host_test.h"

TEST(Values, NumbersAreStrictIntegersStayInRangeBooleansAreWordsOrNumbersAndUtf8KeepsEveryCharacter) {
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
  EXPECT_EQ(ParseInteger(u"9223372036854775808", INT64_MIN, INT64_MAX), std::nullopt);
  for (const char16_t* bad : {u"2147483648", u"-2147483649", u"99999999999999999999", u"1.0", u"1e3", u"-",
                              u"12abc", u"\u0663"}) {
    EXPECT_EQ(ParseInt32(bad), std::nullopt) << ToUtf8(bad);
  }
  for (const char16_t* yes : {u"True", u" tRUE\t", u"-1", u"0.5"}) EXPECT_EQ(ParseBool(yes), true) << ToUtf8(yes);
  for (const char16_t* no : {u"fAlSe", u"0", u"-0", u"0e5"}) EXPECT_EQ(ParseBool(no), false) << ToUtf8(no);
  for (const char16_t* bad : {u"", u"yes", u"True1", u"\u0131true"}) EXPECT_EQ(ParseBool(bad), std::nullopt);
  // UTF-8 keeps every character and replaces what is none.
  // Each width at its edges: U+007F, U+0080, U+07FF, U+0800, U+FFFF, U+10000.
  const std::u16string text = u"\u007F\u0080\u07FF\u0800\u20AC\uFFFF\U00010000\U0001F600";
  const std::string bytes = "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBF\xF0\x90\x80\x80\xF0\x9F\x98\x80";
  EXPECT_EQ(std::pair(ToUtf8(text), FromUtf8(bytes)), std::pair(bytes, text));
  // A lone surrogate has no UTF-8 form; its neighbours survive.
  EXPECT_EQ(ToUtf8(u"x\xD83Dy\xDE00"), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
  // Each bad byte becomes one replacement character.
  EXPECT_EQ(std::tuple(FromUtf8("\xFFok"), FromUtf8("a\xE2\x82"), FromUtf8("\xE2(\xA1")),
            std::tuple(Text(u"\uFFFDok"), Text(u"a\uFFFD\uFFFD"), Text(u"\uFFFD(\uFFFD")));
  // Past U+10FFFF, overlong, or an encoded surrogate: no character at all.
  for (const char* bad : {"\xF4\x90\x80\x80", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80"}) {
    EXPECT_EQ(FromUtf8(bad).find_first_not_of(u'\uFFFD'), std::u16string::npos) << bad;
  }
}
