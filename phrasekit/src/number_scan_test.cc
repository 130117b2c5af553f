#include "phrasekit/src/number_scan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "textservices/unicode.h"

namespace phrasekit {
namespace {

TEST(NumberLength, GroupedAndDecimalNumbers) {
  struct Case {
    std::string_view rest;
    std::optional<std::size_t> expected;
  };
  const Case cases[] = {
      {"2,000 pcs", 5},     {"1,5 kg", 3},      {"1.000.000 đ", 9},
      {"1,250.50", 8},      {"1.250,50", 8},    {"12,500,000", 10},
      {"1,000,0000", 5},  // a run of groups followed by a digit falls back
      {"1.000.000,", 9},    {"1,000,000.", 9},  {"1,000,000,5", 5},
      {"1.5kg", 3},         {"10k", 2},         {"3xl", 1},
      {"1,2345", 6},        {"50.000", 6},      {"2.", 1},
      {"x1", std::nullopt}, {"", std::nullopt}, {",5", std::nullopt},
      {"1,000.", 5},        {"1.000,", 5},      {"7", 1},
      {"١٢ pcs", 4},  // Arabic-Indic digits are digits too
      {"12٣", 4},           {"1,٣٣٣,000", 12},  {"đ1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(number_length(c.rest), c.expected) << "rest: " << c.rest;
    EXPECT_EQ(number_length_by_pattern(c.rest), c.expected) << "rest: " << c.rest;
  }
}

// Every text of up to six symbols drawn from digits, both separators, a
// letter, a space and two digits of other scripts.
TEST(NumberLength, AgreesWithThePatternOnEveryShortText) {
  const std::vector<std::string> symbols = {"0", "7", ",", ".", "x", " ", "٣", "５"};
  std::vector<std::string> texts = {""};
  std::size_t numbers = 0;
  for (int length = 1; length <= 6; ++length) {
    std::vector<std::string> longer;
    longer.reserve(texts.size() * symbols.size());
    for (const std::string& t : texts) {
      for (const std::string& s : symbols) longer.push_back(t + s);
    }
    texts = std::move(longer);
    for (const std::string& t : texts) {
      const std::optional<std::size_t> expected = number_length_by_pattern(t);
      ASSERT_EQ(number_length(t), expected) << "text: " << t;
      numbers += expected.has_value();
    }
  }
  EXPECT_GT(numbers, 50000u);
}

// Longer texts: random runs of digits and separators.
TEST(NumberLength, AgreesWithThePatternOnLongRandomTexts) {
  const std::string symbols = "0123456789,.,.,. x";
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> pick(0, symbols.size() - 1);
  std::uniform_int_distribution<int> size(1, 24);
  for (int i = 0; i < 50000; ++i) {
    std::string t(1, static_cast<char>('1' + i % 9));
    for (int n = size(rng); n > 0; --n) t += symbols[pick(rng)];
    ASSERT_EQ(number_length(t), number_length_by_pattern(t)) << "text: " << t;
  }
}

TEST(NumberLength, AgreesWithThePatternOverTheCorpus) {
  std::size_t numbers = 0;
  for (const char* name : {"queries.txt", "rfqs.txt"}) {
    std::ifstream in(std::string(BIDSIFT_CORPUS_DIR) + "/" + name, std::ios::binary);
    ASSERT_TRUE(in.good()) << name;
    for (std::string line; std::getline(in, line);) {
      for (std::size_t pos = 0; pos < line.size(); pos += textservices::char_length_at(line, pos)) {
        const std::string_view rest = std::string_view(line).substr(pos);
        const std::optional<std::size_t> expected = number_length_by_pattern(rest);
        EXPECT_EQ(number_length(rest), expected) << "at «" << rest << "»";
        numbers += expected.has_value();
      }
    }
  }
  EXPECT_GT(numbers, 1000u);
}

// number_value reads plain digit runs itself; every run, short or too long
// for that, and every grouped number must read as read_number reads it.
TEST(NumberValue, ReadsAsReadNumber) {
  using textservices::DotGroups;
  std::vector<std::string> runs = {
      "0",
      "7",
      "007",
      "1,5",
      "2,000",
      "1.500",
      "1.000.000",
      "1,250.50",
      "999999999999999",
      "9007199254740993",
      "12345678901234567890",
      "١٢",
      "000000000000000000001",
  };
  std::mt19937 rng(3);
  for (int i = 0; i < 20000; ++i) {
    std::string run;
    const int length = 1 + i % 18;
    for (int k = 0; k < length; ++k) run += static_cast<char>('0' + rng() % 10);
    runs.push_back(run);
  }
  // Digits with separators anywhere, also first, last and doubled.
  const std::string symbols = "0123456789012345678901234567890123456789,.";
  for (int i = 0; i < 100000; ++i) {
    std::string run;
    const int length = 1 + i % 20;
    for (int k = 0; k < length; ++k) run += symbols[rng() % symbols.size()];
    runs.push_back(run);
  }
  for (const char* run : {".5", "5.", ",", ".", "1,,5", "1..5", "0.1", "0,30", "1.2.3,4",
                          "123456789012345.6", "1234567890.12345", "0.000000000000001"}) {
    runs.push_back(run);
  }
  for (const std::string& run : runs) {
    for (DotGroups dots : {DotGroups::Decimal, DotGroups::Thousands}) {
      EXPECT_EQ(number_value(run, dots), textservices::read_number(run, dots)) << "run: " << run;
    }
  }
}

}  // namespace
}  // namespace phrasekit
