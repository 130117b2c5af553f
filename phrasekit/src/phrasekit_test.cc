#include "phrasekit/src/phrasekit.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "textservices/unicode.h"

namespace phrasekit {
namespace {

constexpr ConnectorKind kAnd = ConnectorKind::And;
constexpr ConnectorKind kOr = ConnectorKind::Or;
constexpr ConnectorKind kSep = ConnectorKind::Separator;
constexpr ConnectorKind kTo = ConnectorKind::To;
constexpr ConnectorKind kNone = ConnectorKind::NoConnector;

TEST(ParseQuery, VietnameseRequestWithSizeRange) {
  const QueryResult r = parse_query("Tôi cần mua 500 cái áo thun nam cotton màu đỏ size M đến XL");
  const Group expected{.qty = 500,
                       .chunks = {{"áo thun", kNone}},
                       .colors = {"red"},
                       .sizes = {"M", "L", "XL"},
                       .materials = {"cotton"},
                       .genders = {"male"},
                       .uom = "cái"};
  EXPECT_EQ(r.groups, std::vector<Group>{expected});
}

TEST(ParseQuery, EnglishRequestWithTwoProducts) {
  const QueryResult r = parse_query("I need 200 pcs polo shirt, cotton, navy and 300 pcs t-shirt");
  const std::vector<Group> expected = {
      Group{.qty = 200,
            .chunks = {{"polo shirt", kAnd}},
            .colors = {"navy"},
            .materials = {"cotton"},
            .uom = "pcs"},
      Group{.qty = 300, .chunks = {{"t-shirt", kNone}}, .uom = "pcs"},
  };
  EXPECT_EQ(r.groups, expected);
}

TEST(ParseQuery, TextsWithoutProductOrQuantityGiveNoGroups) {
  for (const char* text : {"", "   \t\n ", "red cotton", "size xl", "iso 9001"}) {
    EXPECT_TRUE(parse_query(text).groups.empty()) << text;
  }
}

TEST(ParseQuery, PhrasesWithoutQuantity) {
  const std::vector<Group> expected = {Group{.chunks = {{"polo shirt", kOr}, {"t-shirt", kNone}}}};
  EXPECT_EQ(parse_query("polo shirt OR t-shirt").groups, expected);
}

TEST(ParseQuery, DecomposedTextReadsLikeItsComposedForm) {
  const std::string composed = "Tôi cần mua 1.500 cái áo nữ màu đỏ size M đến XL";
  const std::string decomposed =
      "To\u0302i ca\u0302\u0300n mua 1.500 ca\u0301i a\u0301o nu\u031B\u0303 "
      "ma\u0300u \u0111o\u0309 size M \u0111e\u0302\u0301n XL";
  ASSERT_FALSE(textservices::is_nfc(decomposed));
  ASSERT_EQ(textservices::to_nfc(decomposed), composed);
  const QueryResult expected = parse_query(composed);
  ASSERT_EQ(expected.groups.size(), 1u);
  EXPECT_EQ(expected.groups[0].qty, 1500);
  EXPECT_EQ(expected.groups[0].genders, std::vector<std::string>{"female"});
  EXPECT_EQ(parse_query(decomposed), expected);
}

// One character beyond ASCII anywhere in otherwise ASCII text, in any of
// the eight byte lanes and in the tail, still sends the text through repair
// and composition.
TEST(ParseQuery, OneNonAsciiCharacterAnywhereIsCanonicalised) {
  const std::string prefix = "200 pcs polo shirt x";
  for (std::size_t at = 0; at <= 20; ++at) {
    const std::string words = "sh" + std::string(at, 'z');
    const QueryResult composed = parse_query(prefix + words + "\u00E1 navy");
    ASSERT_EQ(composed.groups.size(), 1u);
    EXPECT_EQ(parse_query(prefix + words + "a\u0301 navy"), composed) << "at " << at;
    EXPECT_EQ(parse_query(prefix + words + "\xFF navy"),
              parse_query(prefix + words + "\uFFFD navy"))
        << "at " << at;
  }
  EXPECT_EQ(parse_query("a\u0301"), parse_query("\u00E1"));
  EXPECT_EQ(parse_query("5 pcs a\u0301"), parse_query("5 pcs \u00E1"));
}

// parse_query takes text of these characters as NFC without asking: every
// pair of them is its own NFC form, so no sequence of them composes or
// reorders.
TEST(ParseQuery, PlainCharactersNeverComposeWithEachOther) {
  std::vector<std::string> chars;
  for (char32_t c = 1; c < 0x1F00; c = c == 0x2FF ? 0x1E00 : c + 1) {
    std::string ch;
    if (c < 0x80) {
      ch += static_cast<char>(c);
    } else if (c < 0x800) {
      ch += static_cast<char>(0xC0 | (c >> 6));
      ch += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      ch += static_cast<char>(0xE0 | (c >> 12));
      ch += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      ch += static_cast<char>(0x80 | (c & 0x3F));
    }
    chars.push_back(ch);
  }
  ASSERT_EQ(chars.size(), 0x2FFu + 0x100u);
  int failures = 0;
  for (const std::string& a : chars) {
    for (const std::string& b : chars) {
      const std::string pair = a + b;
      if (textservices::to_nfc(pair) != pair && ++failures <= 5) ADD_FAILURE() << pair;
    }
  }
  EXPECT_EQ(failures, 0);
}

// Ill-formed bytes where the plain-text check reads: cut-off and broken
// sequences of the characters it accepts, and lead bytes it does not.
TEST(ParseQuery, IllFormedPlainTextIsRepaired) {
  for (const std::string bad : {"\xC3", "\xC3x", "\xE1\xBA", "\xE1\xBAx", "\xE1\xBA\xC3\xA1",
                                "\xCB", "\xC0\x80", "\xC1\xBF", "\xE1\xB7\xBF", "\xE0\xA0\x80",
                                "\xED\xA0\x80", "\xF0\x9F\x98\x80", "\x80", "\xFE"}) {
    for (const std::string& q : {"200 pcs ao " + bad, bad + " 5 pcs", "12345678" + bad + "9"}) {
      std::string repaired;
      const std::string_view canonical = textservices::canonical_text(q, &repaired);
      EXPECT_EQ(parse_query(q), parse_query(canonical)) << q;
    }
  }
}

TEST(ParseQuery, IllFormedBytesReadAsReplacementCharacters) {
  EXPECT_EQ(parse_query("200 pcs shirt \xFF\xC3"), parse_query("200 pcs shirt \uFFFD\uFFFD"));
  EXPECT_EQ(parse_query("200 pcs shirt \xFF").groups.at(0).chunks.at(0).text, "shirt \uFFFD");
}

TEST(ParseQuery, ConcurrentCallsAgree) {
  const std::string query = "500 cái áo nam size m đến xl, 200 pcs t-shirt iso 9001 from china";
  const QueryResult expected = parse_query(query);
  std::vector<QueryResult> results(8);
  std::vector<std::thread> threads;
  for (QueryResult& r : results) {
    threads.emplace_back([&r, &query] {
      for (int i = 0; i < 50; ++i) r = parse_query(query);
    });
  }
  for (std::thread& t : threads) t.join();
  for (const QueryResult& r : results) EXPECT_EQ(r, expected);
}

TEST(ChunksToString, ConnectorWordsBetweenChunks) {
  struct Case {
    std::vector<Chunk> chunks;
    const char* text;
  };
  const Case cases[] = {
      {{}, ""},
      {{{"polo shirt", kOr}, {"t-shirt", kNone}}, "polo shirt OR t-shirt"},
      {{{"cotton", kSep}, {"linen", kNone}}, "cotton AND linen"},
      {{{"a", kNone}, {"b", kAnd}}, "a b"},
      {{{"s", kTo}, {"xl", kNone}}, "s TO xl"},
      {{{"only", kTo}}, "only"},
      {{{"a", kAnd}, {"b", kSep}, {"c", kOr}}, "a AND b AND c"},
  };
  for (const Case& c : cases) EXPECT_EQ(chunks_to_string(c.chunks), c.text);
}

}  // namespace
}  // namespace phrasekit
