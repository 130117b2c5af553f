#include "textservices/unicode.h"

#include <gtest/gtest.h>

namespace textservices {
namespace {

TEST(CaseMapping, FullDefaultMappingsInTheRootLocale) {
  EXPECT_EQ(to_lower("ĐỎ"), "đỏ");
  EXPECT_EQ(to_upper("đỏ"), "ĐỎ");
  EXPECT_EQ(to_upper("straße"), "STRASSE");
  EXPECT_EQ(to_lower("İ"), "i\u0307");  // no Turkish tailoring
  EXPECT_EQ(to_lower("I"), "i");
  EXPECT_EQ(to_lower("\u212A"), "k");  // Kelvin sign
  EXPECT_EQ(to_lower("Hello WORLD"), "hello world");
  EXPECT_EQ(to_lower(""), "");
  EXPECT_EQ(upper_char(U'ß'), "SS");
  EXPECT_EQ(upper_char(U'đ'), "Đ");
  EXPECT_EQ(upper_char(U'1'), "1");
}

TEST(Properties, WhiteSpaceAlphabeticNumeric) {
  EXPECT_TRUE(is_white_space(U'\u00A0'));
  EXPECT_TRUE(is_white_space(U'\u2028'));
  EXPECT_FALSE(is_white_space(U'\u180E'));
  EXPECT_FALSE(is_white_space(U'\u200B'));
  EXPECT_TRUE(is_alphabetic(U'ạ'));
  EXPECT_FALSE(is_alphabetic(U'1'));
  EXPECT_TRUE(is_numeric(U'\u00B2'));  // No
  EXPECT_TRUE(is_numeric(U'\u2163'));  // Nl, Roman numeral four
  EXPECT_TRUE(is_numeric(U'\u0661'));  // Nd
  EXPECT_FALSE(is_numeric(U'a'));
}

TEST(Trim, RemovesWhiteSpaceOnly) {
  EXPECT_EQ(trim("\u00A0 a b \n\u3000"), "a b");
  EXPECT_EQ(trim(" \t\r\n"), "");
  EXPECT_EQ(trim("\u200Bx\u200B"), "\u200Bx\u200B");  // zero-width space is no White_Space
  EXPECT_EQ(trim("é"), "é");
}

TEST(Utf8, ValidationAndRepair) {
  EXPECT_TRUE(is_valid_utf8("việt nam 🙂"));
  EXPECT_FALSE(is_valid_utf8("\xC0\x80"));      // overlong
  EXPECT_FALSE(is_valid_utf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(is_valid_utf8("\xE1\xBB"));      // truncated
  EXPECT_EQ(to_valid_utf8("a\xFF"
                          "b"),
            "a\uFFFDb");
  EXPECT_EQ(to_valid_utf8("ok"), "ok");
  std::size_t n = 0;
  EXPECT_EQ(decode_at("aộ", 1, &n), U'ộ');
  EXPECT_EQ(n, 3u);
}

TEST(Nfc, DecomposedTextComposes) {
  EXPECT_TRUE(is_nfc("áo thun màu đỏ"));
  EXPECT_FALSE(is_nfc("a\u0301o"));
  EXPECT_EQ(to_nfc("a\u0301o"), "áo");
  EXPECT_EQ(to_nfc("\u212A"), "K");
}

// A span found in the lower-case copy maps to whole source characters.
TEST(LowerMapped, SpansMapOutwardOverLengthChangingCharacters) {
  LowerMapped ascii("AbC");
  EXPECT_TRUE(ascii.identity());
  EXPECT_EQ(ascii.text(), "abc");
  EXPECT_EQ(ascii.source_end(3), 3u);

  // "xİy": İ is 2 bytes and lowers to 3 (i + U+0307).
  LowerMapped dot("x\u0130y");
  ASSERT_EQ(dot.text(), "xi\u0307y");
  EXPECT_EQ(dot.source_begin(1), 1u);
  EXPECT_EQ(dot.source_begin(2), 1u);  // inside the expansion: the whole İ
  EXPECT_EQ(dot.source_end(2), 3u);
  EXPECT_EQ(dot.source_begin(4), 3u);  // "y"
  EXPECT_EQ(dot.source_end(5), 4u);

  // Kelvin sign: 3 bytes lower to 1.
  LowerMapped kelvin("\u212A5y");
  ASSERT_EQ(kelvin.text(), "k5y");
  EXPECT_EQ(kelvin.source_begin(1), 3u);
  EXPECT_EQ(kelvin.source_end(1), 3u);
  EXPECT_EQ(kelvin.source_end(0), 0u);
  EXPECT_EQ(kelvin.source_end(3), 5u);
  EXPECT_EQ(kelvin.source_end(99), 5u);  // never past the end

  // Ohm sign U+2126 (3 bytes) lowers to ω (2 bytes).
  LowerMapped ohm("a\u2126b");
  EXPECT_EQ(ohm.text(), "a\u03C9b");
  EXPECT_EQ(ohm.source_begin(3), 4u);
}

}  // namespace
}  // namespace textservices
