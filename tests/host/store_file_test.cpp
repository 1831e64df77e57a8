// The settings file as text: what goes in comes back exactly, the rest of
// the file stays byte for byte, and a file spoilt by hand still reads.
#include <gtest/gtest.h>

#include "platform/store_file.h"

namespace {

using namespace std;
using namespace platform::store;

TEST(StoreFile, AnyTextComesBackAndTheRestOfTheFileStaysAsItWas) {
  // Any value comes back whole (the fuzz target tries them): here, as written.
  string file = Put(Put("# mine\r\n[pinaleaf\\1.0]\r\nOther= x \r\n\nno equals\n[Else\\1.0]\nFont=Arial", u"pinaleaf",
                        u"1.0", u"Font",
                        u"\\\n\x7F"
                        u"\xD800"),
                    u"New", u"2", u"K", u"v");
  EXPECT_EQ(file,
            "# mine\r\n[pinaleaf\\1.0]\r\nOther= x \r\n"
            R"(Font=\\\n\u{7F}\u{D800})"
            "\n\nno equals\n[Else\\1.0]\nFont=Arial\n[New\\2]\nK=v\n");
  EXPECT_EQ(Find(file, u"PINALEAF", u"1.0", u"font"),
            u"\\\n\x7F"
            u"\xD800");
  EXPECT_EQ(Find(file, u"Pinaleaf", u"1.0", u"Other"), u" x ");
  EXPECT_EQ(Find(file, u"Pinaleaf", u"1.0", u"Missing"), nullopt);
  EXPECT_EQ(Put(file, u"Pinaleaf", u"1.0", u"A=B", u"v"), file);
}

TEST(StoreFile, ASpoiltFileReadsWhatItCan) {
  const string file =
      "K=before any section\n[Pinaleaf\\1.0\nK=under a broken header\n[Pinaleaf\\1.0]\n"
      "Bad=\xC3(\xED\xA0\x80\xFC\x84\x80\x80\n"
      R"(Odd=\q\u{}\u{110000}\u{1234567}\u{41\)";
  EXPECT_EQ(Find(file, u"Pinaleaf", u"1.0", u"K"), nullopt);
  EXPECT_EQ(Find(file, u"Pinaleaf", u"1.0", u"Bad"), u"\uFFFD(\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Find(file, u"Pinaleaf", u"1.0", u"Odd"), uR"(\q\u{}\u{110000}\u{1234567}\u{41\)");
  EXPECT_EQ(Put(file, u"Pinaleaf", u"1.0", u"K", u"v"), file + "\nK=v\n");
}

}  // namespace
