// The built-in bilingual (English and Vietnamese) vocabulary of the query
// pipeline: the surface forms the lexer recognises and the canonical value
// each stands for. Data, with lookup indexes over it built alongside; the
// matching rules live in the lexer.
//
// Every entry and key is lower-case NFC text (the lexer compares against the
// lower-cased query); some entries end in a space that belongs to the entry.
// Canonical values keep their own case ("XL", "South Korea").
//
//   "grey" → "gray"     "xanh lá" → "green"     "lycra" → "spandex"
//   "tấn" → Unit::Tonne "united states" → "USA"
//
// The shared instance `ONTOLOGY` is built once, on first use (safe when first
// uses race), and never changes afterwards; any number of threads may read it.
#ifndef BIDSIFT_PHRASEKIT_ONTOLOGY_H_
#define BIDSIFT_PHRASEKIT_ONTOLOGY_H_

#include <cstddef>
#include <string_view>
#include <vector>

#include "phrasekit/src/prefix_index.h"
#include "phrasekit/src/token.h"

namespace phrasekit {

// One surface form and what it stands for.
template <class Value>
struct MapEntry {
  std::string_view key;
  Value value;
};

// Texts in a fixed order. The texts are constants of the program.
using TextList = std::vector<std::string_view>;
// A map kept as its entries in insertion order; keys are unique. The lexer
// looks keys up through the ontology's `PrefixIndex` of each table.
template <class Value>
using Map = std::vector<MapEntry<Value>>;
using TextMap = Map<std::string_view>;
using UnitMap = Map<Unit>;

// The tables that the lexer tries at each position, numbered as in the
// ontology's `Indexes::cascade`.
struct Cascade {
  enum Table : std::size_t {
    SkipPhrases,
    RangeWords,
    AndWords,
    OrWords,
    SizeKeywords,
    ColorKeywords,
    MaterialKeywords,
    ProtectedPhrases,
    GenderMap,
    ColorMap,
    SizeMap,
    MaterialMap,
    CountryMap,
    kCount,
  };
};

struct Ontology {
  // Builds the record with its complete content.
  Ontology();

  TextList standard_prefixes;  // ordered: the first that matches wins
  TextList size_keywords;
  TextList color_keywords;
  TextList material_keywords;
  TextList skip_phrases;       // request lead-ins, read as nothing
  TextList protected_phrases;  // names kept whole as one word
  TextList and_words;
  TextList or_words;
  TextList range_words;
  TextMap color_map;
  TextMap size_map;
  TextMap material_map;
  TextMap gender_map;
  TextMap country_map;  // English country name → display name
  UnitMap unit_map;

  // The lookup indexes over the tables above, with the tables' own entry
  // numbers. Built by the constructor from the finished tables, which are
  // therefore not to be changed afterwards.
  struct Indexes {
    PrefixIndex standard_prefixes;  // in table order: the first match wins
    PrefixIndex size_map;           // longest first, for the lookups outside
    PrefixIndex unit_map;           // the cascade
    PrefixIndexSet cascade;         // the `Cascade` tables
  };
  Indexes index;
};

// Access to the process-wide ontology. Constant-initialised, so the global
// costs nothing until the first `get`, which builds the record; concurrent
// first calls build it once and all see the finished record. It lives until
// the process ends.
class SharedOntology {
 public:
  constexpr SharedOntology() = default;
  SharedOntology(const SharedOntology&) = delete;
  SharedOntology& operator=(const SharedOntology&) = delete;

  const Ontology& get() const;
  const Ontology* operator->() const { return &get(); }
};

inline constinit const SharedOntology ONTOLOGY;

}  // namespace phrasekit

#endif  // BIDSIFT_PHRASEKIT_ONTOLOGY_H_
