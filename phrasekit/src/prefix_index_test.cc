#include "phrasekit/src/prefix_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "phrasekit/src/lexer.h"
#include "phrasekit/src/ontology.h"
#include "textservices/unicode.h"

namespace phrasekit {
namespace {

using Hit = PrefixIndex::Hit;
using Order = PrefixIndex::Order;

std::string utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

TEST(PrefixIndex, LongestKeyThatEndsAtABoundary) {
  const std::vector<std::string_view> keys = {"ab", "abc", "a", "b c", "abcdefghij", "abcdefgh"};
  struct Case {
    std::string_view rest;
    std::optional<Hit> expected;
  };
  const Case cases[] = {
      {"abc d", Hit{1, 3}},
      {"ab-c", Hit{0, 2}},
      {"a", Hit{2, 1}},
      {"abcd", std::nullopt},  // «abc» runs on, and so do «ab» and «a»
      {"", std::nullopt},
      {"x", std::nullopt},
      {"b c!", Hit{3, 3}},
      {"b", std::nullopt},           // shorter than the only key with its first byte
      {"abcdefghij", Hit{4, 10}},    // a key beyond the eight-byte head
      {"abcdefghik", std::nullopt},  // differs after the head
      {"abcdefgh ij", Hit{5, 8}},
      {"abcdefg", std::nullopt},
      {"a\u00A0", Hit{2, 1}},     // no-break space ends a match
      {"a\u00E1", std::nullopt},  // a letter does not
  };
  for (Order order : {Order::LongestFirst, Order::AsListed}) {
    const PrefixIndex index(keys, order);
    for (const Case& c : cases) {
      EXPECT_EQ(index.longest(c.rest), c.expected) << "rest: " << c.rest;
    }
  }
}

TEST(PrefixIndex, EqualKeysReportTheFirstInTheTable) {
  const std::vector<std::string_view> keys = {"x", "ab", "ab"};
  for (Order order : {Order::LongestFirst, Order::AsListed}) {
    EXPECT_EQ(PrefixIndex(keys, order).longest("ab"), (Hit{1, 2}));
  }
}

TEST(PrefixIndex, BucketsHoldTheKeysOfOneFirstByteInTheIndexOrder) {
  const std::vector<std::string_view> keys = {"ba", "a", "bcd", "b", "abc", "bc"};
  auto texts = [](std::span<const PrefixIndex::Key> bucket) {
    std::vector<std::string_view> out;
    for (const PrefixIndex::Key& k : bucket) out.push_back(k.text());
    return out;
  };
  const PrefixIndex longest(keys, Order::LongestFirst);
  const PrefixIndex listed(keys, Order::AsListed);
  using Texts = std::vector<std::string_view>;
  EXPECT_EQ(texts(longest.starting_with('b')), (Texts{"bcd", "ba", "bc", "b"}));
  EXPECT_EQ(texts(listed.starting_with('b')), (Texts{"ba", "bcd", "b", "bc"}));
  EXPECT_EQ(texts(listed.starting_with('a')), (Texts{"a", "abc"}));
  EXPECT_TRUE(texts(listed.starting_with('c')).empty());
  EXPECT_TRUE(listed.any_starting_with('a'));
  EXPECT_FALSE(listed.any_starting_with('c'));
  EXPECT_EQ(listed.starting_with('b')[1].entry, 2u);
}

TEST(PrefixIndex, EmptyKeysAreRejected) {
  const std::vector<std::string_view> keys = {"a", ""};
  EXPECT_THROW(PrefixIndex(keys, Order::LongestFirst), std::invalid_argument);
  EXPECT_FALSE(PrefixIndex().longest("a").has_value());
}

// A joint index answers for each table what the table's own index answers,
// also where tables share keys or a key is a prefix of another table's key.
TEST(PrefixIndexSet, EachTableGetsItsOwnLongestKey) {
  const std::vector<std::vector<std::string_view>> tables = {
      {"ab", "abc", "a"}, {"abc", "x"}, {"a b", "ab"}, {"ab", "ab"}};
  const PrefixIndexSet set(tables);
  for (std::string_view rest : {"abc d", "ab-c", "a", "abcd", "a b", "x", "", "ab", "q"}) {
    const PrefixIndexSet::Hits hits = set.longest(rest);
    bool any = false;
    for (std::size_t t = 0; t < tables.size(); ++t) {
      const auto expected = PrefixIndex(tables[t], Order::LongestFirst).longest(rest);
      EXPECT_EQ(hits[t], expected) << "table " << t << " at «" << rest << "»";
      any = any || expected.has_value();
    }
    EXPECT_EQ(hits.any(), any) << rest;
  }
  EXPECT_EQ(set.longest("abc")[0], (Hit{1, 3}));
  EXPECT_EQ(set.longest("ab")[3], (Hit{0, 2}));
  EXPECT_FALSE(set.longest("abc")[4].has_value());  // beyond the tables
}

// Random tables over a small alphabet, so that keys share first bytes,
// first two bytes and long heads, looked up at random texts: each table's
// hit is what the plain walk over that table finds.
TEST(PrefixIndexSet, RandomTablesAnswerAsThePlainWalk) {
  const std::vector<std::string> alphabet = {"a", "b", " ", "-", "x", "á"};
  std::mt19937 rng(99);
  auto pick = [&rng](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  };
  auto random_text = [&](std::size_t max_symbols) {
    std::string t;
    // Half of the symbols are "a", so that keys share long heads.
    for (std::size_t n = 1 + pick(max_symbols); n > 0; --n) {
      t += alphabet[pick(2) == 0 ? 0 : pick(alphabet.size())];
    }
    return t;
  };
  int found = 0;
  for (int round = 0; round < 40; ++round) {
    std::vector<std::string> storage;
    storage.reserve(400);
    std::vector<std::vector<std::string_view>> tables(1 + pick(PrefixIndexSet::kMaxTables));
    for (auto& table : tables) {
      for (std::size_t n = pick(20); n > 0; --n) {
        storage.push_back(random_text(12));
        table.push_back(storage.back());
      }
    }
    const PrefixIndexSet set(tables);
    for (int i = 0; i < 300; ++i) {
      const std::string rest = random_text(14);
      const PrefixIndexSet::Hits hits = set.longest(rest);
      for (std::size_t t = 0; t < tables.size(); ++t) {
        const TextList list(tables[t].begin(), tables[t].end());
        const std::optional<std::size_t> expected = Lexer::list_match(rest, list);
        const std::optional<Hit> hit = hits[t];
        ASSERT_EQ(hit ? std::optional(hit->length) : std::nullopt, expected)
            << "table " << t << " at «" << rest << "»";
        if (hit) {
          EXPECT_EQ(tables[t][hit->entry].size(), hit->length);
          // The first entry of that text: ties go to the table order.
          EXPECT_EQ(std::find(tables[t].begin(), tables[t].end(), rest.substr(0, hit->length)) -
                        tables[t].begin(),
                    static_cast<std::ptrdiff_t>(hit->entry));
          ++found;
        }
      }
    }
  }
  EXPECT_GT(found, 2000);
}

TEST(PrefixIndexSet, RejectsMoreThanSixteenTables) {
  const std::vector<std::vector<std::string_view>> tables(17, std::vector<std::string_view>{"a"});
  EXPECT_THROW(PrefixIndexSet{tables}, std::invalid_argument);
  EXPECT_NO_THROW(PrefixIndexSet(std::span(tables).first(16)));
}

// The boundary and white-space tests against their definitions: a boundary
// character or any White_Space character, over every code point.
TEST(PrefixIndex, BoundaryIsPunctuationOrWhiteSpace) {
  const std::string_view punctuation = "!),-./?";
  int white = 0;
  for (char32_t c = 1; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const std::string ch = utf8(c);
    const bool space = textservices::is_white_space(c);
    const bool expected =
        (c < 0x80 && punctuation.find(static_cast<char>(c)) != punctuation.npos) || space;
    ASSERT_EQ(is_boundary(ch + "a"), expected) << "U+" << std::hex << static_cast<int>(c);
    ASSERT_EQ(white_space_length(ch + "a"), space ? ch.size() : 0)
        << "U+" << std::hex << static_cast<int>(c);
    white += space;
  }
  EXPECT_EQ(white, 25);  // the Unicode White_Space set
  EXPECT_TRUE(is_boundary(""));
  EXPECT_EQ(white_space_length(""), 0u);
}

// Every table of the shared ontology with its index, compared through one
// function: the index's answer and the plain walk's, as text.
struct Table {
  std::string name;
  std::vector<std::string_view> keys;
  std::function<std::string(std::string_view)> indexed;
  std::function<std::string(std::string_view)> reference;
};

std::string describe(std::optional<std::size_t> length) {
  return length ? std::to_string(*length) : "-";
}

template <class Value>
std::string describe(const std::optional<std::pair<Value, std::size_t>>& found) {
  if (!found) return "-";
  std::ostringstream out;
  if constexpr (std::is_same_v<Value, Unit>) {
    out << unit_text(found->first);
  } else {
    out << found->first;
  }
  out << "/" << found->second;
  return out.str();
}

// A list or map of the cascade, looked up through the ontology's joint index.
Table list_table(std::string name, const TextList& list, Cascade::Table table) {
  return Table{std::move(name), list,
               [table](std::string_view rest) {
                 auto hit = ONTOLOGY->index.cascade.longest(rest)[table];
                 return describe(hit ? std::optional(hit->length) : std::nullopt);
               },
               [&list](std::string_view rest) { return describe(Lexer::list_match(rest, list)); }};
}

template <class Value>
Table map_table(std::string name, const Map<Value>& map,
                std::function<std::optional<Hit>(std::string_view)> lookup) {
  std::vector<std::string_view> keys;
  for (const auto& e : map) keys.push_back(e.key);
  return Table{std::move(name), std::move(keys),
               [&map, lookup](std::string_view rest) {
                 std::optional<std::pair<Value, std::size_t>> found;
                 if (auto hit = lookup(rest)) found.emplace(map[hit->entry].value, hit->length);
                 return describe(found);
               },
               [&map](std::string_view rest) { return describe(Lexer::map_prefix(rest, map)); }};
}

template <class Value>
Table cascade_map(std::string name, const Map<Value>& map, Cascade::Table table) {
  return map_table(std::move(name), map, [table](std::string_view rest) {
    return ONTOLOGY->index.cascade.longest(rest)[table];
  });
}

template <class Value>
Table single_map(std::string name, const Map<Value>& map, const PrefixIndex& index) {
  return map_table(std::move(name), map,
                   [&index](std::string_view rest) { return index.longest(rest); });
}

// The standard prefixes are taken first-in-table-order, not longest: the
// first that the text starts with, through the index and by a plain walk.
Table standard_table(const Ontology& o) {
  return Table{"standard_prefixes", o.standard_prefixes,
               [&o](std::string_view rest) -> std::string {
                 if (rest.empty()) return "-";
                 for (const auto& k : o.index.standard_prefixes.starting_with(
                          static_cast<unsigned char>(rest[0]))) {
                   if (rest.starts_with(k.text())) return std::string(k.text());
                 }
                 return "-";
               },
               [&o](std::string_view rest) -> std::string {
                 for (std::string_view p : o.standard_prefixes) {
                   if (rest.starts_with(p)) return std::string(p);
                 }
                 return "-";
               }};
}

std::vector<Table> ontology_tables() {
  const Ontology& o = ONTOLOGY.get();
  return {
      standard_table(o),
      single_map("size_map", o.size_map, o.index.size_map),
      single_map("unit_map", o.unit_map, o.index.unit_map),
      list_table("skip_phrases", o.skip_phrases, Cascade::SkipPhrases),
      list_table("range_words", o.range_words, Cascade::RangeWords),
      list_table("and_words", o.and_words, Cascade::AndWords),
      list_table("or_words", o.or_words, Cascade::OrWords),
      list_table("size_keywords", o.size_keywords, Cascade::SizeKeywords),
      list_table("color_keywords", o.color_keywords, Cascade::ColorKeywords),
      list_table("material_keywords", o.material_keywords, Cascade::MaterialKeywords),
      list_table("protected_phrases", o.protected_phrases, Cascade::ProtectedPhrases),
      cascade_map("gender_map", o.gender_map, Cascade::GenderMap),
      cascade_map("color_map", o.color_map, Cascade::ColorMap),
      cascade_map("size_map (cascade)", o.size_map, Cascade::SizeMap),
      cascade_map("material_map", o.material_map, Cascade::MaterialMap),
      cascade_map("country_map", o.country_map, Cascade::CountryMap),
  };
}

// Runs every table on `rest`; returns how many answers were not empty.
int expect_same_answers(const std::vector<Table>& tables, std::string_view rest) {
  int found = 0;
  for (const Table& t : tables) {
    const std::string indexed = t.indexed(rest);
    EXPECT_EQ(indexed, t.reference(rest)) << t.name << " at «" << rest << "»";
    found += indexed != "-";
  }
  return found;
}

// Every key of every table, alone and followed by each kind of character
// that does or does not end a match, and every key cut short.
TEST(PrefixIndex, OntologyTablesAnswerAsThePlainWalkForEveryKey) {
  const std::vector<Table> tables = ontology_tables();
  const std::vector<std::string> continuations = {
      "",  " ", "  x", "\t", "\n", "!",  ")",  ",",  "-",  ".",      "/",        "?",
      "(", "&", ":",   "'",  "+",  "x",  "s",  "1",  "0",  "\u00A0", "\u2028",   "\u3000",
      "á", "đ", "ă",   "²",  "٣",  "-x", ".5", " m", "s ", "es",     "\xC3\xA1 "};
  int found = 0;
  for (const Table& owner : tables) {
    for (std::string_view key : owner.keys) {
      for (const std::string& c : continuations) {
        found += expect_same_answers(tables, std::string(key) + c);
      }
      for (std::size_t n = 1; n < key.size(); ++n) {
        found += expect_same_answers(tables, key.substr(0, n));
        found += expect_same_answers(tables, std::string(key.substr(0, n)) + " ");
      }
    }
  }
  // The comparisons must have exercised real matches, not only misses.
  EXPECT_GT(found, 5000);
}

std::vector<std::string> corpus_lines(const char* name) {
  std::ifstream in(std::string(BIDSIFT_CORPUS_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every character position of every corpus line, as written and lower-cased
// (the lexer looks keys up in lower-cased text).
TEST(PrefixIndex, OntologyTablesAnswerAsThePlainWalkOverTheCorpus) {
  const std::vector<Table> tables = ontology_tables();
  int found = 0;
  std::size_t lines = 0;
  for (const char* name : {"queries.txt", "rfqs.txt"}) {
    for (const std::string& line : corpus_lines(name)) {
      ++lines;
      for (const std::string& text : {line, textservices::to_lower(line)}) {
        for (std::size_t pos = 0; pos < text.size();
             pos += textservices::char_length_at(text, pos)) {
          found += expect_same_answers(tables, std::string_view(text).substr(pos));
        }
      }
    }
  }
  EXPECT_GT(lines, 1000u);
  EXPECT_GT(found, 5000);
}

// Texts made of pieces of keys, joined by boundary and other characters, so
// that keys meet partial keys, longer keys and their own prefixes.
TEST(PrefixIndex, OntologyTablesAnswerAsThePlainWalkOnKeyFragments) {
  const std::vector<Table> tables = ontology_tables();
  std::vector<std::string_view> keys;
  for (const Table& t : tables) keys.insert(keys.end(), t.keys.begin(), t.keys.end());
  const std::vector<std::string> joins = {"", "", " ", "-", ",", "x", "s", "1", "\u00A0", "á", "."};
  std::mt19937 rng(20240611);
  auto pick = [&rng](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  };
  int found = 0;
  for (int i = 0; i < 4000; ++i) {
    std::string text;
    const std::size_t pieces = 1 + pick(4);
    for (std::size_t p = 0; p < pieces; ++p) {
      std::string_view key = keys[pick(keys.size())];
      // A whole key, or a piece of it cut at character boundaries.
      std::size_t begin = 0, end = key.size();
      if (pick(2) == 0) {
        begin = pick(key.size());
        end = begin + 1 + pick(key.size() - begin);
        while (begin > 0 && (static_cast<unsigned char>(key[begin]) & 0xC0) == 0x80) --begin;
        while (end < key.size() && (static_cast<unsigned char>(key[end]) & 0xC0) == 0x80) ++end;
      }
      text += key.substr(begin, end - begin);
      text += joins[pick(joins.size())];
    }
    for (std::size_t pos = 0; pos < text.size(); pos += textservices::char_length_at(text, pos)) {
      found += expect_same_answers(tables, std::string_view(text).substr(pos));
    }
  }
  EXPECT_GT(found, 5000);
}

}  // namespace
}  // namespace phrasekit
