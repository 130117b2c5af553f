#include "textservices/regex.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace textservices {
namespace {

struct ClassCase {
  const char* pattern;
  const char* text;
  bool matches;
};

// Character classes follow the system's definitions, not PCRE2's UCP tables.
TEST(RegexClasses, FollowTheSystemDefinitions) {
  const ClassCase cases[] = {
      {R"(^\w$)", "\u0301", true},  // a combining mark is a word character
      {R"(^\w$)", "\u203F", true},  // connector punctuation other than "_"
      {R"(^\w$)", "_", true},
      {R"(^\w$)", "\u00B2", false},  // superscript two (No) is not
      {R"(^\w$)", "đ", true},
      {R"(^\s$)", "\u180E", false},  // Mongolian vowel separator is not White_Space
      {R"(^\s$)", "\u00A0", true},
      {R"(^\s$)", "\u3000", true},
      {R"(^\s$)", "\u0085", true},
      {R"(^\d$)", "\u0661", true},  // Arabic-Indic one
      {R"(^\d$)", "\u00B2", false},
      {R"(m\b)", "5m\u00B2", true},  // ² is no word character, so a boundary
      {R"(o\b)", "o\u0301", false},  // a combining mark continues the word
      {R"(\bviệt\b)", "xin việt nam", true},
      {R"(\bviệt\b)", "việtx", false},
      {R"(^[^\s,]+$)", "ab\u00A0", false},  // \s inside a negated class
      {R"(^[\s-]+$)", "- \u2003-", true},
      {R"(^\S+$)", "abc", true},
      {R"(^\S+$)", "a\u2028", false},
      {R"(a\Bb)", "ab", true},
      {R"(a\Bb)", "a b", false},
      {R"([]a]+)", "]]a", true},
  };
  for (const auto& c : cases) {
    Regex re(c.pattern);
    EXPECT_EQ(re.test(c.text), c.matches) << c.pattern << " on " << c.text;
  }
}

TEST(RegexAnchors, DollarWithoutMultilineIsTheVeryEnd) {
  EXPECT_FALSE(Regex("a$").test("a\n"));
  EXPECT_TRUE(Regex("a$").test("ba"));
  EXPECT_TRUE(Regex("(?m)a$").test("a\nb"));
  EXPECT_TRUE(Regex(R"((?m)^\s*\d+[.)]\s+)").test("x\n2) y"));
  EXPECT_FALSE(Regex(R"(^\s*\d+[.)]\s+)").test("x\n2) y"));
  // Only a line feed separates lines; a lone carriage return does not.
  EXPECT_FALSE(Regex("(?m)^b").test("a\rb"));
}

TEST(RegexCaseless, FoldsUnicodeLiteralsAndClasses) {
  EXPECT_TRUE(Regex("(?i)thanh\\s+toán").test("THANH TOÁN"));
  EXPECT_TRUE(Regex("(?i)^[A-Z]+$").test("abcXYZ"));
  EXPECT_TRUE(Regex(R"(\b(USD|EUR)\b)").test("giá 5 EUR."));
  EXPECT_FALSE(Regex(R"(\b(USD|EUR)\b)").test("USDT"));
  EXPECT_TRUE(Regex("(?i)lead[\\s-]?time[:\\s]+([^.\\n]+)").test("LEADTIME 30 days"));
}

TEST(RegexFind, ReportsSpansAndAbsentGroups) {
  Regex re("(a)|(b)(c?)");
  auto m = re.find("xxbz");
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->whole(), (Span{2, 3}));
  EXPECT_FALSE(m->has(1));  // did not take part
  EXPECT_TRUE(m->has(2));
  EXPECT_TRUE(m->has(3));  // took part, matched empty
  EXPECT_EQ(m->group(3).size(), 0u);
  EXPECT_FALSE(m->has(7));  // beyond the pattern's groups
  EXPECT_EQ(m->str("xxbz", 2), "b");
  EXPECT_FALSE(re.find("xxbz", 3).has_value());
  EXPECT_FALSE(re.find("ab", 5).has_value());
  EXPECT_EQ(re.find("ab", 1)->whole(), (Span{1, 2}));
}

TEST(RegexIterate, StepsOneCharacterAfterAnEmptyMatch) {
  Regex re("x*");
  std::vector<Span> spans;
  re.for_each("axxé", [&](const Match& m) { spans.push_back(m.whole()); });
  // "" at 0, "xx" at 1, "" at 3 (before the two-byte é), "" at the end.
  std::vector<Span> want = {{0, 0}, {1, 3}, {3, 3}, {5, 5}};
  EXPECT_EQ(spans, want);
}

TEST(RegexIterate, StopsWhenTheCallbackSaysSo) {
  Regex re(R"(\d)");
  int seen = 0;
  re.for_each("1 2 3", [&](const Match&) { return ++seen < 2; });
  EXPECT_EQ(seen, 2);
}

TEST(RegexReplace, TemplatesAndCallbacks) {
  Regex bold(R"(\*{1,3}([^*]+)\*{1,3})");
  EXPECT_EQ(bold.replace("**Cotton** and *x", "$1"), "Cotton and *x");
  Regex opt("(a)|(b)");
  EXPECT_EQ(opt.replace("ab", "[$1]"), "[a][]");  // absent group gives ""
  EXPECT_EQ(opt.replace("ab", "${2}$$"), "$b$");
  EXPECT_EQ(opt.replace("aaa", "-", 2), "--a");
  EXPECT_EQ(opt.replace("aaa", "-", 0), "aaa");
  Regex num(R"(\d+)");
  EXPECT_EQ(
      num.replace("a1b22", [](const Match& m,
                              std::string_view s) { return "<" + std::string(m.str(s)) + ">"; }),
      "a<1>b<22>");
  EXPECT_EQ(Regex("").replace("ab", "-"), "-a-b-");
}

TEST(RegexErrors, EngineFailuresAreNeverNoMatch) {
  EXPECT_THROW(Regex("(unclosed"), std::logic_error);
  EXPECT_THROW(Regex(R"([^\S])"), std::logic_error);
}

TEST(RegexLimits, LongSubjectsStayWithinTheEngineLimits) {
  std::string big(16 << 20, ' ');
  big += "x";
  Regex re(R"((?i)lead[\s-]?time[:\s]+([^.\n]+))");
  EXPECT_FALSE(re.test(big));
  Regex run(R"(\s+x)");
  auto m = run.find(big);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->whole().begin, 0u);
}

constinit LazyRegex RE_LAZY{R"(\d+)"};

TEST(LazyRegex, ConcurrentFirstUseSharesOneCompiledPattern) {
  std::vector<std::thread> threads;
  std::vector<const Regex*> seen(8);
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&, i] {
      seen[i] = &RE_LAZY.get();
      EXPECT_TRUE(RE_LAZY->test("a 12"));
    });
  }
  for (auto& t : threads) t.join();
  for (const Regex* r : seen) EXPECT_EQ(r, seen[0]);
}

}  // namespace
}  // namespace textservices

#include "textservices/numbers.h"

namespace textservices {
namespace {

// The shared number pattern takes whole thousands groups and nothing more.
TEST(NumberPattern, MatchesWholeGroupedNumbers) {
  Regex re("^(" BIDSIFT_NUMBER_PATTERN ")");
  const std::pair<const char*, const char*> cases[] = {
      {"1,000,000 pcs", "1,000,000"},
      {"1,250.50 USD", "1,250.50"},
      {"1.000.000,5", "1.000.000,5"},
      {"2,000 pcs", "2,000"},
      {"1,000,0000", "1,000"},
      {"1,2345", "1,2345"},
      {"1.5 kg", "1.5"},
      {"3xl", "3"},
      {"2,500,000.75", "2,500,000.75"},
  };
  for (const auto& [text, want] : cases) {
    auto m = re.find(text);
    ASSERT_TRUE(m.has_value()) << text;
    EXPECT_EQ(m->str(text, 1), want) << text;
  }
}

}  // namespace
}  // namespace textservices

namespace textservices {
namespace {

TEST(SplitAlternatives, TopLevelOnlyWithLeadingOptions) {
  using V = std::vector<std::string>;
  EXPECT_EQ(split_alternatives("(?mi)^a|b(c|d)|[|]"), (V{"(?mi)^a", "(?mi)b(c|d)", "(?mi)[|]"}));
  EXPECT_EQ(split_alternatives(R"(a\|b)"), V{});
  EXPECT_EQ(split_alternatives("(a|b)"), V{});
  EXPECT_EQ(split_alternatives("a(?i)b|c"), V{});  // the option reaches c as well
  EXPECT_EQ(split_alternatives("a(?i:b)|c"), (V{"a(?i:b)", "c"}));
  EXPECT_EQ(split_alternatives("[]|]x|y"), (V{"[]|]x", "y"}));
}

// Testing alternative by alternative answers exactly as the whole pattern.
TEST(SplitAlternatives, TestAgreesWithASearchOfTheWholePattern) {
  const char* patterns[] = {
      R"((?mi)^\s*\d+[.)]\s|^\s*[-•*·]\s|\btarget\s+\d|\b(?:payment\s+terms?|lead[\s-]?time)\b)",
      R"((?i)^\s*\d|\b(?:pcs|pieces?|sets?|kg|tons?)\b)",
      R"(\(\s*[,\s]*\)|\(\s*:\s*\))",
  };
  const char* texts[] = {
      "",
      " ",
      "1. x",
      "x\n 2) y",
      "•\tx",
      "a - b",
      "- b",
      "TARGET 5",
      "targets 5",
      "Payment  Terms",
      "payment terminal",
      "LEAD-TIME",
      "misleadtime",
      "lead  time",
      "5kg",
      "5 KG",
      "rice 5 pcs",
      "\u0661. x",
      "( , )",
      "(:)",
      "( x )",
      "x\r1. y",
  };
  for (const char* p : patterns) {
    Regex re(p);
    for (const char* t : texts) {
      EXPECT_EQ(re.test(t), re.find(t).has_value()) << p << " on " << t;
    }
  }
}

}  // namespace
}  // namespace textservices

namespace textservices {
namespace {

// The shortened boundary tests (one side known to be a word character) find
// exactly the matches of the full two-sided test.
TEST(BoundaryRewrite, ShortFormsMatchLikeTheFullTest) {
  const std::string w = R"([\p{L}\p{M}\p{Nd}\p{Pc}])";
  const std::string full = "(?:(?<=" + w + ")(?!" + w + ")|(?<!" + w + ")(?=" + w + "))";
  const char* patterns[] = {
      R"(\b(USD|EUR|GBP)\b)",
      R"((?i)\b(?:to|for|deliver(?:y)? to|destination)\s+([A-Z][a-zA-Z\s]{2,30})(?:[,.]|$))",
      R"((?i)\b(?:pcs|pieces?|sets?|kg|tons?)\b)",
      R"((?mi)\btarget\s+\d|\b(?:payment\s+terms?|lead[\s-]?time)\b)",
      R"((?i)(\d+\s*(?:mm|m\b|kg\b|inch(?:es)?\b)))",
      R"(\b\d+\b|x\b|\bé)",
  };
  const char* texts[] = {
      "100 USD",
      "100USD",
      "USDT",
      "(USD)",
      "giá 5 EUR.",
      "ship to Hanoi, now",
      "for men.",
      "delivery to HCM city.",
      "5 pcs",
      "5pcs",
      "3 pieces",
      "pieceX",
      "ton tons tonsil",
      "Target 5",
      "xtarget 5",
      "payment terms",
      "lead-time",
      "leadtimes",
      "5 m",
      "5m\u00B2",
      "5 inches",
      "5 inchx",
      "a1 22 x\u0301 x é xé \u203Fé",
      "o\u0301x",
  };
  for (const char* p : patterns) {
    std::string spelled(p);
    for (std::size_t at = spelled.find(R"(\b)"); at != std::string::npos;
         at = spelled.find(R"(\b)", at + full.size())) {
      spelled.replace(at, 2, full);
    }
    Regex fast(p), reference(spelled);
    for (const char* t : texts) {
      std::vector<Span> a, b;
      fast.for_each(t, [&](const Match& m) { a.push_back(m.whole()); });
      reference.for_each(t, [&](const Match& m) { b.push_back(m.whole()); });
      EXPECT_EQ(a, b) << p << " on " << t;
    }
  }
}

TEST(BoundaryRewrite, KnownWordSidesGiveOneSidedTests) {
  EXPECT_EQ(rewrite_classes(R"(\bab)").find("(?="), std::string::npos);
  EXPECT_EQ(rewrite_classes(R"(ab\b)").find("(?<"), std::string::npos);
  EXPECT_EQ(rewrite_classes(R"((?:terms?|time)\b)").find("(?<"), std::string::npos);
  EXPECT_NE(rewrite_classes(R"(a?\b)").find("(?<="), std::string::npos);
  EXPECT_NE(rewrite_classes(R"(\b\d)").find("(?="), std::string::npos);
}

}  // namespace
}  // namespace textservices
