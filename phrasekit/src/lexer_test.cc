#include "phrasekit/src/lexer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "textservices/unicode.h"

namespace phrasekit {

// Readable token lists in failure messages.
void PrintTo(const Tag& t, std::ostream* os) {
  static constexpr const char* kKinds[] = {
      "Qty",  "Connector", "ColorKeyword", "SizeKeyword", "MaterialKeyword", "Color",
      "Size", "Material",  "Gender",       "Standard",    "Ambiguous",       "Word"};
  static constexpr const char* kConnectors[] = {"And", "Or", "Separator", "To", "NoConnector"};
  *os << kKinds[static_cast<int>(t.kind)];
  if (t.is(Tag::Kind::Qty)) {
    *os << "(" << t.value;
    if (t.unit) *os << " " << unit_text(*t.unit);
    *os << ")";
  } else if (t.is(Tag::Kind::Connector)) {
    *os << "(" << kConnectors[static_cast<int>(t.connector)] << ")";
  } else if (t.kind >= Tag::Kind::Color) {
    *os << "«" << t.text << "»";
  }
}

namespace {

using Kind = Tag::Kind;

std::string utf8(char32_t c) {
  std::string out;
  if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (c & 0x3F));
  return out;
}

Tag qty(double v) { return Tag::qty(v, std::nullopt); }
Tag qty(double v, Unit u) { return Tag::qty(v, u); }
Tag word(std::string text) { return Tag::with_text(Kind::Word, std::move(text)); }
Tag size(std::string text) { return Tag::with_text(Kind::Size, std::move(text)); }
Tag color(std::string text) { return Tag::with_text(Kind::Color, std::move(text)); }
Tag material(std::string text) { return Tag::with_text(Kind::Material, std::move(text)); }
Tag gender(std::string text) { return Tag::with_text(Kind::Gender, std::move(text)); }
Tag standard(std::string text) { return Tag::with_text(Kind::Standard, std::move(text)); }
Tag country(std::string text) { return Tag::with_text(Kind::Ambiguous, std::move(text)); }
const Tag kSizeKw = Tag::bare(Kind::SizeKeyword);
const Tag kColorKw = Tag::bare(Kind::ColorKeyword);
const Tag kMaterialKw = Tag::bare(Kind::MaterialKeyword);
const Tag kTo = Tag::connector_of(ConnectorKind::To);
const Tag kSep = Tag::connector_of(ConnectorKind::Separator);
const Tag kAnd = Tag::connector_of(ConnectorKind::And);
const Tag kOr = Tag::connector_of(ConnectorKind::Or);

struct LexCase {
  std::string query;
  Tokens expected;
};

void expect_tokens(const std::vector<LexCase>& cases) {
  for (const LexCase& c : cases) EXPECT_EQ(tokenize(c.query), c.expected) << "query: " << c.query;
}

TEST(Lexer, NothingToRead) {
  expect_tokens({
      {"", {}},
      {" \t\n\u00A0\u3000 ", {}},
  });
}

TEST(Lexer, QuantitiesWithUnits) {
  expect_tokens({
      {"5kg", {qty(5, Unit::Kg)}},
      {"5 kg", {qty(5, Unit::Kg)}},
      {"5 kgs", {qty(5, Unit::Kg)}},
      {"5 kilogram", {qty(5, Unit::Kg)}},
      {"5\u00A0KG", {qty(5, Unit::Kg)}},
      {"10 m\u00B2", {qty(10, Unit::SqMeter)}},
      {"10m2", {qty(10, Unit::SqMeter)}},
      {"2 20ft fcl", {qty(2, Unit::Fcl)}},
      {"3 tons", {qty(3, Unit::Tonne)}},
      {"3 tấn", {qty(3, Unit::Tonne)}},
      {"12 đôi", {qty(12, Unit::Doi)}},
      {"12 chiếc", {qty(12, Unit::Cai)}},
      {"200 pcs.", {qty(200, Unit::Pcs), word(".")}},
      // "m" and "l" are sizes, never units.
      {"5 m", {qty(5), size("M")}},
      {"5 l", {qty(5), size("L")}},
      // A unit key must end at a boundary.
      {"5 kgx", {qty(5), word("kgx")}},
      {"i need 5 kg", {qty(5, Unit::Kg)}},
      {"tôi cần mua 5 cái", {qty(5, Unit::Cai)}},
  });
}

TEST(Lexer, NumberSeparatorsReadAsBuyersMeanThem) {
  expect_tokens({
      {"1,5 kg", {qty(1.5, Unit::Kg)}},
      {"1.5 kg", {qty(1.5, Unit::Kg)}},
      {"2,000 pcs", {qty(2000, Unit::Pcs)}},
      {"1,000,000 pcs", {qty(1000000, Unit::Pcs)}},
      {"1.000.000", {qty(1000000)}},
      {"1,250.50", {qty(1250.5)}},
      {"1,2345", {qty(12345)}},
      {"2.500 kg", {qty(2.5, Unit::Kg)}},
      // After a Vietnamese unit a lone dot before three digits groups
      // thousands.
      {"1.500 cái", {qty(1500, Unit::Cai)}},
      {"2.000 đôi", {qty(2000, Unit::Doi)}},
      {"1.500 tấn", {qty(1500, Unit::Tonne)}},
      {"1.500 lít", {qty(1500, Unit::Liter)}},
      {"1.500 liters", {qty(1.5, Unit::Liter)}},
      {"1.5 cái", {qty(1.5, Unit::Cai)}},
  });
}

TEST(Lexer, NumbersThatAreNoQuantity) {
  const std::string huge(400, '9');
  expect_tokens({
      // Zero is never a quantity.
      {"0 pcs", {word("0 pcs")}},
      // «.» ends a word, so the pieces are words of their own.
      {"0.0 kg", {word("0 . 0 kg")}},
      // A number without a unit must stand alone.
      {"10k", {word("10k")}},
      {"3xl", {size("3XL")}},
      // Digits other than ASCII are matched but not read.
      {"\u0661\u0662 pcs", {word("\u0661\u0662 pcs")}},
  });
  Tokens t = tokenize("500 pcs " + huge + " mm");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[1].unit, Unit::Mm);
  EXPECT_EQ(t[1].value, std::numeric_limits<double>::infinity());
}

TEST(Lexer, RangesBetweenQuantities) {
  expect_tokens({
      {"100-200", {qty(100), kTo, qty(200)}},
      {"100-200 pcs", {qty(100), kTo, qty(200, Unit::Pcs)}},
      {"500 - 1000 cái", {qty(500), kTo, qty(1000, Unit::Cai)}},
      {"5kg-10kg", {qty(5, Unit::Kg), kTo, qty(10, Unit::Kg)}},
      {"100/200", {qty(100), kSep, qty(200)}},
      {"100 đến 200 cái", {qty(100), kTo, qty(200, Unit::Cai)}},
      {"từ 100 đến 200", {qty(100), kTo, qty(200)}},
  });
}

TEST(Lexer, OtherHyphensKeepTheirReading) {
  expect_tokens({
      {"t-shirt", {word("t-shirt")}},
      {"a4-b5", {word("a4-b5")}},
      {"-5", {word("-5")}},
      {"100-abc", {qty(100), word("-abc")}},
      // What follows must read as a quantity: zero and «3xl» do not.
      {"5 -0", {qty(5), word("-0")}},
      {"5-3xl", {qty(5), word("-3xl")}},
      // Only white space may separate the hyphen from the quantity.
      {"100 cần -200", {qty(100), word("-200")}},
      {"l-shaped", {size("L"), word("-shaped")}},
      {"x - 5", {word("x -"), qty(5)}},
  });
}

TEST(Lexer, Sizes) {
  expect_tokens({
      {"m", {size("M")}},
      {"XL", {size("XL")}},
      {"xl/xxl", {size("XL"), kSep, size("XXL")}},
      {"size 40, 41", {kSizeKw, size("40"), kSep, qty(41)}},
      {"size 47", {kSizeKw, word("47")}},
      {"size 1,000", {kSizeKw, word("1,000")}},
      {"size 38 đến 40", {kSizeKw, size("38"), kTo, size("40")}},
      {"size s-xl", {kSizeKw, size("S"), kTo, size("XL")}},
      {"giày size 38-42", {word("giày"), kSizeKw, size("38"), kTo, size("42")}},
      {"s - xl", {size("S"), kTo, size("XL")}},
      // «and» and a word end size context; «đến» keeps it.
      {"size m and 40", {kSizeKw, size("M"), kAnd, qty(40)}},
      {"size m shirt 40", {kSizeKw, size("M"), word("shirt"), qty(40)}},
      {"sch 40 pipe", {size("SCH40"), word("pipe")}},
      {"schedule 10", {size("SCH10")}},
      {"sizes", {word("sizes")}},
  });
}

TEST(Lexer, ConnectorsAndKeywords) {
  expect_tokens({
      {"polo shirt OR t-shirt", {word("polo shirt"), kOr, word("t-shirt")}},
      {"a & b", {word("a"), kAnd, word("b")}},
      {"a + b và c", {word("a"), kAnd, word("b"), kAnd, word("c")}},
      {"a và/hoặc b", {word("a"), kAnd, word("b")}},
      {"a hoặc b", {word("a"), kOr, word("b")}},
      // "&" does not end a match.
      {"a&b", {word("a&b")}},
      {"red&blue", {word("red&blue")}},
      {"màu đỏ", {kColorKw, color("red")}},
      {"màu sắc đỏ", {kColorKw, color("red")}},
      {"colour: red", {word("colour:"), color("red")}},
      {"material cotton", {kMaterialKw, material("cotton")}},
  });
}

TEST(Lexer, AttributeValues) {
  expect_tokens({
      {"xanh lá", {color("green")}},
      {"xanh", {color("blue")}},
      {"ĐỎ", {color("red")}},
      {"light grey", {color("light_gray")}},
      {"redish", {word("redish")}},
      {"cotton from china", {material("cotton"), word("from"), country("China")}},
      {"men's shirt", {gender("male"), word("shirt")}},
      {"united states", {country("USA")}},
      {"lycra", {material("spandex")}},
  });
}

TEST(Lexer, VietnameseTextNeedsAWordBeforeGenderAndMaterial) {
  expect_tokens({
      {"áo nam", {word("áo"), gender("male")}},
      {"nam áo", {word("nam áo")}},
      {"áo cotton", {word("áo"), material("cotton")}},
      {"cotton áo", {word("cotton áo")}},
      {"áo và nữ", {word("áo"), kAnd, word("nữ")}},
      // Country names are not looked up in Vietnamese text.
      {"áo china", {word("áo china")}},
      {"việt nam", {word("việt nam")}},
      {"đồng phục", {word("đồng phục")}},
      // The skip phrase «cần» is tried before the protected «cần thơ».
      {"cần thơ", {word("thơ")}},
  });
}

TEST(Lexer, Standards) {
  expect_tokens({
      {"iso 9001", {standard("ISO 9001")}},
      {"iso9001", {standard("ISO9001")}},
      {"din-933", {standard("DIN-933")}},
      {"ASTM A312", {standard("ASTM A312")}},
      {"astm a312 tp304", {standard("ASTM A312"), word("tp304")}},
      {"IEC60204", {standard("IEC60204")}},
      {"en 10204", {standard("EN 10204")}},
      {"iso", {standard("ISO")}},
      {"iso, din", {standard("ISO"), kSep, standard("DIN")}},
      // A prefix ending in a letter does not run into a word.
      {"isolation", {word("isolation")}},
      {"dining table", {word("dining table")}},
      {"isopropyl", {word("isopropyl")}},
      {"dinnerware", {word("dinnerware")}},
      {"vdexx", {word("vdexx")}},
  });
}

TEST(Lexer, WordsAndTheMergePass) {
  expect_tokens({
      {"t-shirt (cotton)", {word("t-shirt (cotton )")}},
      {"a4/a5", {word("a4/a5")}},
      {"hello!", {word("hello !")}},
      // A terminator where a word would start is a word of one character.
      {"x .5 kg", {word("x ."), qty(5, Unit::Kg)}},
      {"a\u3000b", {word("a b")}},
      {"  polo   shirt  ", {word("polo shirt")}},
      {"polo, shirt", {word("polo"), kSep, word("shirt")}},
  });
}

TEST(Lexer, BoundaryCharacters) {
  for (std::string_view rest : {"", " x", "\u00A0", "\u2028", "!", ")", ",", "-", ".", "/", "?"}) {
    EXPECT_TRUE(is_boundary(rest)) << rest;
  }
  for (std::string_view rest : {"a", "1", "(", "&", ":", "'", "\u00E1", "+"}) {
    EXPECT_FALSE(is_boundary(rest)) << rest;
  }
}

TEST(Lexer, VietnameseLetterSet) {
  int count = 0;
  for (char32_t c = 0; c < 0x2000; ++c) count += is_vietnamese_letter(c);
  EXPECT_EQ(count, 67);
  for (char32_t c : {U'à', U'đ', U'ư', U'ạ', U'ỹ', U'ơ'}) EXPECT_TRUE(is_vietnamese_letter(c));
  for (char32_t c : {U'À', U'Đ', U'Ạ', U'Ỹ', U'ç', U'ñ', U'a'})
    EXPECT_FALSE(is_vietnamese_letter(c));
  EXPECT_TRUE(Lexer("ÁO", ONTOLOGY.get()).vietnamese());
  EXPECT_TRUE(Lexer("café", ONTOLOGY.get()).vietnamese());
  EXPECT_FALSE(Lexer("naïve façade", ONTOLOGY.get()).vietnamese());
}

// The lexer lower-cases ASCII text itself; every text must read as the
// full mapping of the trimmed query.
TEST(Lexer, TextIsTheTrimmedLowerCaseQuery) {
  std::vector<std::string> queries = {
      "",
      "   ",
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ@[`{ abcdefghijklmnopqrstuvwxyz 0123456789",
      "  Polo SHIRT  ",
      "\t\n\v\f\rX\r\n",
      "\x1c A \x1f",
      "\u00A0 ÁO Thun \u3000",
      "\u2028x",
      "12345678",
      "1234567",
      "ABCDEFGH\u00C1",
      "İSTANBUL",
  };
  for (const char* name : {"/queries.txt", "/rfqs.txt"}) {
    std::ifstream in(std::string(BIDSIFT_CORPUS_DIR) + name, std::ios::binary);
    for (std::string line; std::getline(in, line);) queries.push_back(line);
  }
  EXPECT_GT(queries.size(), 1000u);
  // Every character of the first planes between ASCII letters, among them
  // the ones whose form the lexer keeps and the ones it leaves to the full
  // mapping (U+0130 lowers to two characters, U+03A3 by its context).
  for (char32_t c = 0x80; c < 0x3100; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const std::string ch = utf8(c);
    queries.push_back("AB" + ch + "CD" + ch + ch);
    queries.push_back("xxxxxxxx" + ch);
  }
  // Random texts mixing ASCII, kept characters and others.
  const std::vector<std::string> pieces = {
      "A",      "z",      " ",      "Đ",    "đ",        "Ế",       "ế",      "Ư",
      "\u0130", "\u03A3", "\u03C3", "ß",    "\u01C5",   "\u0301",  "\u00A0", "\u2013",
      "\u20AB", "ÀÁÂÃ",   "ỳỵỷỹ",   "ỲỴỶỸ", "abcdefgh", "ABCDEFGH"};
  std::mt19937 rng(5);
  for (int i = 0; i < 5000; ++i) {
    std::string q;
    for (int n = 1 + static_cast<int>(rng() % 12); n > 0; --n) q += pieces[rng() % pieces.size()];
    queries.push_back(q);
  }
  for (const std::string& q : queries) {
    EXPECT_EQ(Lexer(q, ONTOLOGY.get()).text(), textservices::to_lower(textservices::trim(q)))
        << "query: " << q;
  }
}

TEST(Lexer, MapPrefixTakesTheLongestKeyThatEndsAtABoundary) {
  const TextMap map = {{"ab", "1"}, {"abc", "2"}, {"a", "3"}};
  using Found = std::optional<std::pair<std::string_view, std::size_t>>;
  auto found = [](std::string_view value, std::size_t n) { return Found(std::in_place, value, n); };
  EXPECT_EQ(Lexer::map_prefix("abc d", map), found("2", 3));
  EXPECT_EQ(Lexer::map_prefix("ab-c", map), found("1", 2));
  EXPECT_EQ(Lexer::map_prefix("a", map), found("3", 1));
  EXPECT_EQ(Lexer::map_prefix("abcd", map), Found{});
  EXPECT_EQ(Lexer::list_match("tôi cần mua x", ONTOLOGY->skip_phrases),
            std::string_view("tôi cần mua").size());
  EXPECT_EQ(Lexer::list_match("cầnx", ONTOLOGY->skip_phrases), std::nullopt);
}

}  // namespace
}  // namespace phrasekit
