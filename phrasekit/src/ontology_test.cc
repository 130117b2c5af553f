#include "phrasekit/src/ontology.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "textservices/unicode.h"

namespace phrasekit {
namespace {

template <class Value>
std::optional<Value> lookup(const Map<Value>& map, std::string_view key) {
  for (const MapEntry<Value>& e : map) {
    if (e.key == key) return e.value;
  }
  return std::nullopt;
}

TEST(Ontology, TablesHoldTheirStatedNumberOfEntries) {
  const Ontology& o = ONTOLOGY.get();
  EXPECT_EQ(o.standard_prefixes.size(), 17u);
  EXPECT_EQ(o.size_keywords.size(), 5u);
  EXPECT_EQ(o.color_keywords.size(), 7u);
  EXPECT_EQ(o.material_keywords.size(), 4u);
  EXPECT_EQ(o.skip_phrases.size(), 20u);
  EXPECT_EQ(o.protected_phrases.size(), 19u);
  EXPECT_EQ(o.and_words.size(), 5u);
  EXPECT_EQ(o.or_words.size(), 2u);
  EXPECT_EQ(o.range_words.size(), 1u);
  EXPECT_EQ(o.color_map.size(), 33u);
  EXPECT_EQ(o.size_map.size(), 51u);
  EXPECT_EQ(o.material_map.size(), 31u);
  EXPECT_EQ(o.gender_map.size(), 9u);
  EXPECT_EQ(o.country_map.size(), 69u);
  EXPECT_EQ(o.unit_map.size(), 55u);
}

TEST(Ontology, StandardPrefixesKeepTheirOrderAndTrailingSpaces) {
  const TextList expected = {"astm",  "iso", "din", "en ", "jis", "gb ", "bs ",  "ansi", "asme",
                             "haccp", "ce ", "ul ", "vde", "iec", "nf ", "api ", "aws "};
  EXPECT_EQ(ONTOLOGY->standard_prefixes, expected);
}

TEST(Ontology, ListsKeepTheStatedOrder) {
  const Ontology& o = ONTOLOGY.get();
  EXPECT_EQ(o.size_keywords, (TextList{"kích thước", "kích cỡ", "cỡ", "size", "taille"}));
  EXPECT_EQ(o.color_keywords,
            (TextList{"màu", "màu sắc", "color", "colours", "colors", "colour", "couleur"}));
  EXPECT_EQ(o.material_keywords, (TextList{"chất liệu", "vật liệu", "material", "matière"}));
  EXPECT_EQ(o.and_words, (TextList{"và", "và/hoặc", "and", "&", "+"}));
  EXPECT_EQ(o.or_words, (TextList{"hoặc", "or"}));
  EXPECT_EQ(o.range_words, (TextList{"đến"}));
  EXPECT_EQ(o.skip_phrases.front(), "tôi cần mua");
  EXPECT_EQ(o.skip_phrases[11], "i'm looking for");
  EXPECT_EQ(o.skip_phrases.back(), "sourcing");
  EXPECT_EQ(o.protected_phrases.front(), "việt nam");
  EXPECT_EQ(o.protected_phrases.back(), "đồng phục");
}

// Every text is compared byte for byte against the lower-cased query, so it
// must itself be lower-case NFC, and a repeated key would be dead data.
TEST(Ontology, EntriesAreLowerCaseNfcAndKeysUnique) {
  const Ontology& o = ONTOLOGY.get();
  std::vector<const TextList*> lists = {
      &o.standard_prefixes, &o.size_keywords, &o.color_keywords,
      &o.material_keywords, &o.skip_phrases,  &o.protected_phrases,
      &o.and_words,         &o.or_words,      &o.range_words};
  auto check = [](std::string_view text) {
    EXPECT_EQ(textservices::to_lower(text), text);
    EXPECT_TRUE(textservices::is_nfc(text)) << text;
  };
  for (const TextList* list : lists) {
    std::set<std::string_view> seen;
    for (std::string_view entry : *list) {
      check(entry);
      EXPECT_TRUE(seen.insert(entry).second) << "repeated entry " << entry;
    }
  }
  auto check_keys = [&](const auto& map) {
    std::set<std::string_view> seen;
    for (const auto& e : map) {
      check(e.key);
      EXPECT_TRUE(seen.insert(e.key).second) << "repeated key " << e.key;
    }
  };
  check_keys(o.color_map);
  check_keys(o.size_map);
  check_keys(o.material_map);
  check_keys(o.gender_map);
  check_keys(o.country_map);
  check_keys(o.unit_map);
}

TEST(Ontology, SurfaceFormsMapToCanonicalValues) {
  const Ontology& o = ONTOLOGY.get();
  struct Case {
    const TextMap* map;
    std::string_view key;
    std::string_view value;
  };
  const Case cases[] = {
      {&o.color_map, "grey", "gray"},
      {&o.color_map, "gray", "gray"},
      {&o.color_map, "light grey", "light_gray"},
      {&o.color_map, "light gray", "light_gray"},
      {&o.color_map, "pale yellow", "pale_yellow"},
      {&o.color_map, "xanh", "blue"},
      {&o.color_map, "xanh lá", "green"},
      {&o.color_map, "đỏ", "red"},
      {&o.color_map, "natural", "natural"},
      {&o.material_map, "carbon", "carbon_steel"},
      {&o.material_map, "activated carbon", "activated_carbon"},
      {&o.material_map, "len", "wool"},
      {&o.material_map, "aluminium", "aluminum"},
      {&o.material_map, "lycra", "spandex"},
      {&o.material_map, "không gỉ", "stainless_steel"},
      {&o.material_map, "cast iron", "cast_iron"},
      {&o.size_map, "xxs", "XXS"},
      {&o.size_map, "4xl", "4XL"},
      {&o.size_map, "medium", "medium"},
      {&o.size_map, "27", "27"},
      {&o.size_map, "46", "46"},
      {&o.size_map, "dn300", "DN300"},
      {&o.size_map, "schedule 10", "SCH10"},
      {&o.size_map, "sch 80", "SCH80"},
      {&o.gender_map, "nữ", "female"},
      {&o.gender_map, "men's", "male"},
      {&o.gender_map, "women", "female"},
      {&o.country_map, "ivory coast", "Ivory Coast"},
      {&o.country_map, "united states", "USA"},
      {&o.country_map, "united kingdom", "UK"},
      {&o.country_map, "uae", "UAE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lookup(*c.map, c.key), std::optional<std::string_view>(c.value)) << c.key;
  }
  // Schedule 10 has no short key; there is no key for 26 or 47.
  EXPECT_FALSE(lookup(o.size_map, "sch 10"));
  EXPECT_FALSE(lookup(o.size_map, "26"));
  EXPECT_FALSE(lookup(o.size_map, "47"));
  // Vietnamese country names are not in the country map.
  EXPECT_FALSE(lookup(o.country_map, "trung quốc"));
}

TEST(Ontology, CountryDisplayNamesCapitaliseEachWordExceptAcronyms) {
  const std::map<std::string_view, std::string_view> acronyms = {
      {"uk", "UK"},   {"united kingdom", "UK"},       {"usa", "USA"}, {"united states", "USA"},
      {"uae", "UAE"}, {"united arab emirates", "UAE"}};
  for (const auto& e : ONTOLOGY->country_map) {
    std::string expected;
    if (auto it = acronyms.find(e.key); it != acronyms.end()) {
      expected = it->second;
    } else {
      bool word_start = true;
      for (char c : e.key) {
        expected += word_start && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        word_start = c == ' ';
      }
    }
    EXPECT_EQ(e.value, expected) << e.key;
  }
}

TEST(Ontology, UnitSurfaceForms) {
  const UnitMap& units = ONTOLOGY->unit_map;
  struct Case {
    std::string_view key;
    Unit unit;
  };
  const Case cases[] = {
      {"kgs", Unit::Kg},
      {"kilogram", Unit::Kg},
      {"gram", Unit::Gram},
      {"ton", Unit::Tonne},
      {"tons", Unit::Tonne},
      {"tấn", Unit::Tonne},
      {"đôi", Unit::Doi},
      {"chiếc", Unit::Cai},
      {"cái", Unit::Cai},
      {"bộ", Unit::Bo},
      {"cuộn", Unit::Cuon},
      {"tấm", Unit::Tam},
      {"m\xC2\xB2", Unit::SqMeter},
      {"m2", Unit::SqMeter},
      {"lít", Unit::Liter},
      {"litres", Unit::Liter},
      {"boxes", Unit::Box},
      {"metre", Unit::Meters},
      {"20ft fcl", Unit::Fcl},
      {"fcl", Unit::Fcl},
      {"dozen", Unit::Dozens},
  };
  for (const Case& c : cases) EXPECT_EQ(lookup(units, c.key), c.unit) << c.key;
  // "m", "l" are sizes; pairs have no English key.
  EXPECT_FALSE(lookup(units, "m"));
  EXPECT_FALSE(lookup(units, "l"));
  EXPECT_FALSE(lookup(units, "pairs"));
  // Every unit can be reached from some surface form.
  std::set<Unit> reached;
  for (const auto& e : units) reached.insert(e.value);
  EXPECT_EQ(reached.size(), static_cast<std::size_t>(kUnitCount));
}

TEST(UnitText, CanonicalTextsByteForByte) {
  const std::pair<Unit, std::string_view> expected[] = {
      {Unit::Kg, "kg"},
      {Unit::Gram, "g"},
      {Unit::Tonne, "tonne"},
      {Unit::Pcs, "pcs"},
      {Unit::Sets, "sets"},
      {Unit::Dozens, "dozens"},
      {Unit::Rolls, "rolls"},
      {Unit::Sheets, "sheets"},
      {Unit::Doi, "\xC4\x91\xC3\xB4i"},
      {Unit::SqMeter, "m\xC2\xB2"},
      {Unit::Cm, "cm"},
      {Unit::Mm, "mm"},
      {Unit::Meters, "meters"},
      {Unit::Liter, "l"},
      {Unit::Ml, "ml"},
      {Unit::Cai, "c\xC3\xA1i"},
      {Unit::Bo, "b\xE1\xBB\x99"},
      {Unit::Cuon, "cu\xE1\xBB\x99n"},
      {Unit::Tam, "t\xE1\xBA\xA5m"},
      {Unit::Drums, "drums"},
      {Unit::Pallets, "pallets"},
      {Unit::Cartons, "cartons"},
      {Unit::Box, "box"},
      {Unit::Reels, "reels"},
      {Unit::Hundreds, "hundreds"},
      {Unit::Thousands, "thousands"},
      {Unit::Fcl, "FCL"},
  };
  ASSERT_EQ(std::size(expected), static_cast<std::size_t>(kUnitCount));
  for (const auto& [unit, text] : expected) {
    EXPECT_EQ(unit_text(unit), text) << static_cast<int>(unit);
  }
  EXPECT_EQ(unit_text(Unit::SqMeter).size(), 3u);
  EXPECT_EQ(unit_text(Unit::Cuon).size(), 6u);
}

}  // namespace
}  // namespace phrasekit
