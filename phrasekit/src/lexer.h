// Turns one query text into tokens: numbers with their units, connectors,
// attribute keywords, ontology values (colours, sizes, materials, genders,
// countries, standards) and, for everything else, words.
//
// The lexer trims the text, lower-cases it once (full Unicode mapping) and
// walks it left to right, trying a fixed cascade of recognisers at each
// position; the first that succeeds emits one token (or skips a lead-in
// phrase) and moves past what it consumed. Two flags let earlier tokens
// steer later ones: a size keyword puts the lexer into size context (numbers
// read as sizes), and in Vietnamese text a gender or material is only read
// after a word. Adjacent words are merged into one token, joined by a space.
//
//   «5 kgs»                 Qty 5 Kg
//   «1,5 kg»                Qty 1.5 Kg      «2,000 pcs»  Qty 2000 Pcs
//   «100-200 pcs»           Qty 100, Connector To, Qty 200 Pcs
//   «polo shirt OR t-shirt» Word «polo shirt», Connector Or, Word «t-shirt»
//   «size 40, 41»           SizeKeyword, Size "40", Connector Separator, Qty 41
//   «iso 9001»              Standard "ISO 9001"   «isolation»  Word «isolation»
//
// Never fails: every text gives a token list, possibly empty. Pure and
// re-entrant; it reads only the shared ontology and number pattern.
#ifndef BIDSIFT_PHRASEKIT_LEXER_H_
#define BIDSIFT_PHRASEKIT_LEXER_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "phrasekit/src/ontology.h"
#include "phrasekit/src/token.h"

namespace phrasekit {

// Whether `c` is one of the 67 lower-case letters that only Vietnamese text
// uses here ("à", "ă", "đ", "ơ", "ư", "ạ" ... "ỹ"). Upper-case forms are not
// included; the lexer asks this of the lower-cased text.
bool is_vietnamese_letter(char32_t c);

// The cursor over one query. Lives for one `tokenize` call.
class Lexer {
 public:
  // Trims and lower-cases `query` (valid UTF-8) and notes whether it holds a
  // Vietnamese letter. `ontology` must outlive the lexer.
  Lexer(std::string_view query, const Ontology& ontology);

  // Runs the cascade over the whole text and returns the tokens, adjacent
  // words merged. Call once.
  Tokens run();

  // The longest key of `map` that `rest` starts with and after which
  // `is_boundary` holds (see prefix_index.h), as (value, key length in
  // bytes). Among qualifying keys only a strictly longer one replaces the
  // best so far, so with unique keys the walking order never changes the
  // result. A plain walk over all entries: the reference for the ontology's
  // indexes, which the lexer itself uses.
  template <class Value>
  static std::optional<std::pair<Value, std::size_t>> map_prefix(std::string_view rest,
                                                                 const Map<Value>& map) {
    std::optional<std::pair<Value, std::size_t>> best;
    for (const MapEntry<Value>& entry : map) {
      if ((!best || entry.key.size() > best->second) && rest.starts_with(entry.key) &&
          is_boundary(rest.substr(entry.key.size()))) {
        best.emplace(entry.value, entry.key.size());
      }
    }
    return best;
  }

  // The same rule over a list: the byte length of the longest entry that
  // `rest` starts with and after which `is_boundary` holds.
  static std::optional<std::size_t> list_match(std::string_view rest, const TextList& list);

  // The trimmed, lower-cased text that all offsets refer to.
  const std::string& text() const { return text_; }
  bool vietnamese() const { return vietnamese_; }

 private:
  // A number read as a quantity: its value, unit and the bytes it spans.
  struct Quantity {
    double value;
    std::optional<Unit> unit;
    std::size_t length;
  };

  // One pass of the cascade at `pos_`; always consumes at least one byte.
  void step();
  // What the number recogniser would emit as a quantity at the start of
  // `rest`: the number, then optionally white space and a unit.
  std::optional<Quantity> read_quantity(std::string_view rest) const;
  // A hyphen between two quantities or two sizes, read as "to".
  bool range_hyphen(std::string_view rest) const;
  // The byte length of a standard designation at the start of `rest`.
  std::optional<std::size_t> standard_length(std::string_view rest) const;
  // Appends `tag`, which is not a word, and moves past `consumed` bytes.
  void emit(Tag tag, std::size_t consumed);
  // Appends a word, joining it to a word token just before it, and moves past
  // `consumed` bytes.
  void emit_word(std::string_view word, std::size_t consumed);

  const Ontology& ontology_;
  std::string text_;
  std::size_t pos_ = 0;
  bool vietnamese_ = false;
  bool size_context_ = false;
  bool after_word_ = false;
  // Where the last token ended: what lies between it and `pos_` was white
  // space or a skipped lead-in.
  std::size_t token_end_ = 0;
  Tokens tokens_;
};

// The tokens of `query` (valid UTF-8) over the shared ontology.
Tokens tokenize(std::string_view query);

}  // namespace phrasekit

#endif  // BIDSIFT_PHRASEKIT_LEXER_H_
