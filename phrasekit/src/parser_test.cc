#include "phrasekit/src/parser.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

#include "phrasekit/src/lexer.h"

namespace phrasekit {

// Readable groups in failure messages.
void PrintTo(const Group& g, std::ostream* os) {
  static constexpr const char* kConnectors[] = {"And", "Or", "Separator", "To", "NoConnector"};
  auto list = [os](const char* name, const std::vector<std::string>& v) {
    if (v.empty()) return;
    *os << " " << name << "[";
    for (std::size_t i = 0; i < v.size(); ++i) *os << (i ? ", " : "") << v[i];
    *os << "]";
  };
  *os << "{";
  if (g.qty) *os << "qty " << *g.qty;
  if (g.qty_max) *os << " qty_max " << *g.qty_max;
  if (g.uom) *os << " uom " << *g.uom;
  *os << " chunks[";
  for (const Chunk& c : g.chunks) {
    *os << "(" << c.text << ", " << kConnectors[static_cast<int>(c.connector)] << ")";
  }
  *os << "]";
  list("colors", g.colors);
  list("sizes", g.sizes);
  list("materials", g.materials);
  list("genders", g.genders);
  list("specs", g.specs);
  list("standards", g.standards);
  list("ambiguous", g.ambiguous);
  *os << "}";
}

namespace {

constexpr ConnectorKind kAnd = ConnectorKind::And;
constexpr ConnectorKind kOr = ConnectorKind::Or;
constexpr ConnectorKind kSep = ConnectorKind::Separator;
constexpr ConnectorKind kNone = ConnectorKind::NoConnector;

struct GroupCase {
  std::string query;
  std::vector<Group> expected;
};

void expect_groups(const std::vector<GroupCase>& cases) {
  for (const GroupCase& c : cases) {
    EXPECT_EQ(build_groups(tokenize(c.query)), c.expected) << "query: " << c.query;
  }
}

TEST(Parser, EmptyAndAttributeOnlyTextsGiveNoGroups) {
  expect_groups({
      {"", {}},
      {"red cotton", {}},
      {"size m", {}},
  });
}

TEST(Parser, QuantitiesOpenGroups) {
  expect_groups({
      {"200 pcs polo shirt red, 300 pcs t-shirt blue",
       {Group{.qty = 200, .chunks = {{"polo shirt", kSep}}, .colors = {"red"}, .uom = "pcs"},
        Group{.qty = 300, .chunks = {{"t-shirt", kNone}}, .colors = {"blue"}, .uom = "pcs"}}},
      // A quantity right after a quantity always opens a new group.
      {"200 pcs 300 pcs", {Group{.qty = 200, .uom = "pcs"}, Group{.qty = 300, .uom = "pcs"}}},
      // A quantity after a word belongs to it.
      {"polo shirt 200 pcs t-shirt 300 pcs",
       {Group{
           .qty = 200, .chunks = {{"polo shirt t-shirt", kNone}}, .specs = {"300"}, .uom = "pcs"}}},
      // A unitless number after a comma opens a group; with a unit it joins
      // the product named before it.
      {"polo shirt, 200", {Group{.chunks = {{"polo shirt", kSep}}}, Group{.qty = 200}}},
      {"polo shirt, 200 pcs", {Group{.qty = 200, .chunks = {{"polo shirt", kSep}}, .uom = "pcs"}}},
      // A country names the group just as a word does.
      {"china, 200", {Group{.qty = 200}}},
      {"china, 200 pcs", {Group{.qty = 200, .ambiguous = {"China"}, .uom = "pcs"}}},
      // The colour-only first segment is dropped.
      {"red, 200 pcs", {Group{.qty = 200, .uom = "pcs"}}},
      {"red 200 pcs", {Group{.qty = 200, .colors = {"red"}, .uom = "pcs"}}},
  });
}

TEST(Parser, QuantityRanges) {
  expect_groups({
      {"100 đến 200 cái áo",
       {Group{.qty = 100, .qty_max = 200, .chunks = {{"áo", kNone}}, .uom = "cái"}}},
      {"100/200 pcs", {Group{.qty = 100, .qty_max = 200, .uom = "pcs"}}},
      {"200/100 pcs", {Group{.qty = 200, .qty_max = 100, .uom = "pcs"}}},
      {"100 or 200", {Group{.qty = 100, .qty_max = 200}}},
      {"100-200 pcs", {Group{.qty = 100, .qty_max = 200, .uom = "pcs"}}},
      {"500 - 1000 cái", {Group{.qty = 500, .qty_max = 1000, .uom = "cái"}}},
      // The far end's unit wins; without one the near end's serves.
      {"100 kg/200 pcs", {Group{.qty = 100, .qty_max = 200, .uom = "pcs"}}},
      {"100 pcs/200", {Group{.qty = 100, .qty_max = 200, .uom = "pcs"}}},
      // A connector between quantities followed by another quantity is no
      // range end.
      {"100, 200 300", {Group{.qty = 100}, Group{.qty = 200}, Group{.qty = 300}}},
  });
}

TEST(Parser, FurtherNumbersBecomeSpecs) {
  const std::string huge(400, '9');
  expect_groups({
      {"500 pcs bolt 2.37 mm",
       {Group{.qty = 500, .chunks = {{"bolt", kNone}}, .specs = {"2.4"}, .uom = "pcs"}}},
      {"500 pcs bolt 8 mm",
       {Group{.qty = 500, .chunks = {{"bolt", kNone}}, .specs = {"8"}, .uom = "pcs"}}},
      {"500 pcs bolt 1.25 mm x 8 mm x 8 cm",
       {Group{.qty = 500, .chunks = {{"bolt x x", kNone}}, .specs = {"1.2", "8"}, .uom = "pcs"}}},
      // A quantity right after another opens a group even after a product.
      {"500 pcs bolt 1.25 mm 8 mm",
       {Group{.qty = 500, .chunks = {{"bolt", kNone}}, .specs = {"1.2"}, .uom = "pcs"},
        Group{.qty = 8, .uom = "mm"}}},
      // A unitless number after a word stays in its group as a spec; the
      // group then has a number, so the next quantity opens a new one.
      {"bolt 8 500 pcs",
       {Group{.chunks = {{"bolt", kNone}}, .specs = {"8"}}, Group{.qty = 500, .uom = "pcs"}}},
      {"500 pcs bolt " + huge + " mm",
       {Group{.qty = 500,
              .chunks = {{"bolt", kNone}},
              .specs = {"18446744073709551615"},
              .uom = "pcs"}}},
  });
}

TEST(Parser, SizeRangesFillInTheOrderedList) {
  expect_groups({
      {"shirt size xl đến s",
       {Group{.chunks = {{"shirt", kNone}}, .sizes = {"S", "M", "L", "XL"}}}},
      {"shirt size m đến 3xl",
       {Group{.chunks = {{"shirt", kNone}},
              .sizes = {"M", "L", "XL", "XXL", "XXXL", "2XL", "3XL"}}}},
      {"pipe dn50 đến dn100",
       {Group{.chunks = {{"pipe", kNone}}, .sizes = {"DN50", "DN65", "DN80", "DN100"}}}},
      {"pipe sch 40 đến schedule 10",
       {Group{.chunks = {{"pipe", kNone}}, .sizes = {"SCH10", "SCH40"}}}},
      {"shirt small đến large",
       {Group{.chunks = {{"shirt", kNone}}, .sizes = {"small", "medium", "large"}}}},
      // No list holds both ends: both are kept as they are.
      {"shirt size s đến 40", {Group{.chunks = {{"shirt", kNone}}, .sizes = {"S", "40"}}}},
      {"shirt size S-XL", {Group{.chunks = {{"shirt", kNone}}, .sizes = {"S", "M", "L", "XL"}}}},
      {"giày size 38-42",
       {Group{.chunks = {{"giày", kNone}}, .sizes = {"38", "39", "40", "41", "42"}}}},
      // Chained ranges; sizes listed before a range keep their place.
      {"shirt size s đến m đến xl",
       {Group{.chunks = {{"shirt", kNone}}, .sizes = {"S", "M", "L", "XL"}}}},
      {"shirt size m, s đến l", {Group{.chunks = {{"shirt", kNone}}, .sizes = {"M", "S", "L"}}}},
  });
}

TEST(Parser, ConnectorsBetweenValuesAndPhrases) {
  expect_groups({
      {"polo shirt OR t-shirt", {Group{.chunks = {{"polo shirt", kOr}, {"t-shirt", kNone}}}}},
      // A connector before an attribute value joins values, not products.
      {"red or blue shirt", {Group{.chunks = {{"shirt", kNone}}, .colors = {"red", "blue"}}}},
      {"shirt cotton or linen",
       {Group{.chunks = {{"shirt", kNone}}, .materials = {"cotton", "linen"}}}},
      {"shirt, red and cap",
       {Group{.chunks = {{"shirt", kAnd}, {"cap", kNone}}, .colors = {"red"}}}},
      // An attribute keyword ends the phrase; the next connector lands on it.
      {"shirt color red or cap",
       {Group{.chunks = {{"shirt", kOr}, {"cap", kNone}}, .colors = {"red"}}}},
      // A later connector never replaces an earlier one.
      {"shirt, and cap", {Group{.chunks = {{"shirt", kSep}, {"cap", kNone}}}}},
      {"red red shirt", {Group{.chunks = {{"shirt", kNone}}, .colors = {"red"}}}},
  });
}

TEST(Parser, AttributeListsCollectEachValueOnce) {
  expect_groups({
      {"200 pcs valve iso 9001 iso 9001 from china, usa",
       {Group{.qty = 200,
              .chunks = {{"valve from", kSep}},
              .standards = {"ISO 9001"},
              .ambiguous = {"China", "USA"},
              .uom = "pcs"}}},
      {"áo nam nam cotton",
       {Group{.chunks = {{"áo", kNone}}, .materials = {"cotton"}, .genders = {"male"}}}},
  });
}

TEST(Flush, EndsTheCurrentChunk) {
  Group g;
  std::vector<std::string> pending = {"polo", "shirt"};
  flush(g, pending, ConnectorKind::NoConnector);
  EXPECT_TRUE(pending.empty());
  ASSERT_EQ(g.chunks, (std::vector<Chunk>{{"polo shirt", kNone}}));
  // With nothing pending the connector lands on the last chunk, once.
  flush(g, pending, kOr);
  flush(g, pending, kAnd);
  EXPECT_EQ(g.chunks, (std::vector<Chunk>{{"polo shirt", kOr}}));
  // With no chunk at all it is dropped.
  Group empty;
  flush(empty, pending, kAnd);
  EXPECT_TRUE(empty.chunks.empty());
}

TEST(AddUnique, KeepsFirstInsertionOrderAndExactBytes) {
  std::vector<std::string> list;
  for (const char* text : {"red", "blue", "red", "Red", "blue"}) add_unique(list, text);
  EXPECT_EQ(list, (std::vector<std::string>{"red", "blue", "Red"}));
}

TEST(FormatSpecNumber, WholeOrOneDecimalTiesToEven) {
  const std::pair<double, const char*> cases[] = {
      {8, "8"},
      {1.25, "1.2"},
      {2.37, "2.4"},
      {2.25, "2.2"},
      {2.35, "2.4"},  // the double just above 2.35
      {0.05, "0.1"},
      {1250.5, "1250.5"},
      {1e19, "10000000000000000000"},
      {1e30, "18446744073709551615"},
      {std::numeric_limits<double>::infinity(), "18446744073709551615"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(format_spec_number(value), text) << value;
}

}  // namespace
}  // namespace phrasekit
