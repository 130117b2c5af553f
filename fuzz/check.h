// Invariant checks shared by the fuzz targets and the thread-race tool.
//
// A violated invariant prints what broke, with the offending text, and
// aborts, so that libFuzzer records the input as a crash. The checks are
// properties every output must have, whatever the input: valid UTF-8,
// trimmed non-empty texts where the records promise them, canonical values
// drawn from the ontology, positive quantities, lists without repeats.
#ifndef BIDSIFT_FUZZ_CHECK_H_
#define BIDSIFT_FUZZ_CHECK_H_

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include "phrasekit/src/lexer.h"
#include "phrasekit/src/ontology.h"
#include "phrasekit/src/parser.h"
#include "phrasekit/src/token.h"
#include "textservices/unicode.h"

namespace bidsift_fuzz {

[[noreturn]] inline void fail(const char* what, std::string_view detail, const char* file,
                              int line) {
  std::fprintf(stderr, "\n*** invariant violated at %s:%d: %s\n", file, line, what);
  if (!detail.empty()) {
    std::fprintf(stderr, "*** offending text (%zu bytes): \"", detail.size());
    for (unsigned char c : detail) {
      if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
        std::fputc(c, stderr);
      } else {
        std::fprintf(stderr, "\\x%02x", c);
      }
    }
    std::fprintf(stderr, "\"\n");
  }
  std::abort();
}

#define FUZZ_REQUIRE(cond, what, detail) \
  ((cond) ? (void)0 : ::bidsift_fuzz::fail((what), (detail), __FILE__, __LINE__))

// The text in which the pipelines read `bytes`: valid UTF-8 in NFC.
inline std::string canonical(std::string_view bytes) {
  std::string storage;
  return std::string(textservices::canonical_text(bytes, &storage));
}

// The NFD form of valid UTF-8 `text`, through ICU directly (the text
// services offer only NFC).
inline std::string to_nfd(std::string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  FUZZ_REQUIRE(U_SUCCESS(status), "ICU NFD normaliser is available", "");
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  icu::UnicodeString out = nfd->normalize(u, status);
  FUZZ_REQUIRE(U_SUCCESS(status), "ICU NFD normalisation succeeds", text);
  std::string result;
  out.toUTF8String(result);
  return result;
}

inline void require_utf8(std::string_view text, const char* what) {
  FUZZ_REQUIRE(textservices::is_valid_utf8(text), what, text);
}

inline void require_utf8(const std::string& text, const char* what) {
  require_utf8(std::string_view(text), what);
}

inline void require_utf8(const std::optional<std::string>& text, const char* what) {
  if (text) require_utf8(*text, what);
}

inline void require_trimmed(std::string_view text, const char* what) {
  FUZZ_REQUIRE(textservices::trim(text).size() == text.size(), what, text);
}

inline void require_utf8_list(const std::vector<std::string>& list, const char* what) {
  for (const std::string& s : list) require_utf8(s, what);
}

inline void require_no_repeats(const std::vector<std::string>& list, const char* what) {
  std::set<std::string_view> seen;
  for (const std::string& s : list) FUZZ_REQUIRE(seen.insert(s).second, what, s);
}

// A quantity read from digits: strictly positive (infinity allowed for a
// digit run too long for a double), never NaN.
inline void require_positive(double value, const char* what) {
  FUZZ_REQUIRE(value > 0, what, std::to_string(value));
}

// The canonical values of one ontology map.
template <class Value>
std::set<std::string, std::less<>> values_of(const phrasekit::Map<Value>& map) {
  std::set<std::string, std::less<>> out;
  for (const auto& entry : map) out.emplace(entry.value);
  return out;
}

// Every value a token or group may carry, built once from the ontology.
struct CanonicalValues {
  std::set<std::string, std::less<>> colors, sizes, materials, genders, countries, units;

  static const CanonicalValues& get() {
    static const CanonicalValues values = [] {
      const phrasekit::Ontology& o = phrasekit::ONTOLOGY.get();
      CanonicalValues v;
      v.colors = values_of(o.color_map);
      v.sizes = values_of(o.size_map);
      v.materials = values_of(o.material_map);
      v.genders = values_of(o.gender_map);
      v.countries = values_of(o.country_map);
      for (int u = 0; u < phrasekit::kUnitCount; ++u) {
        v.units.emplace(phrasekit::unit_text(static_cast<phrasekit::Unit>(u)));
      }
      return v;
    }();
    return values;
  }
};

inline void require_member(const std::set<std::string, std::less<>>& set, std::string_view text,
                           const char* what) {
  FUZZ_REQUIRE(set.contains(text), what, text);
}

// «12» or «2.4»: how the parser prints a further number.
inline bool is_spec_number(std::string_view s) {
  std::size_t dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  if (whole.empty()) return false;
  for (char c : whole) {
    if (c < '0' || c > '9') return false;
  }
  if (dot == std::string_view::npos) return true;
  return s.size() == dot + 2 && s[dot + 1] >= '0' && s[dot + 1] <= '9';
}

inline void check_tokens(const phrasekit::Tokens& tokens) {
  using Kind = phrasekit::Tag::Kind;
  const CanonicalValues& canon = CanonicalValues::get();
  const phrasekit::Tag* previous = nullptr;
  for (const phrasekit::Tag& t : tokens) {
    require_utf8(t.text, "token text is valid UTF-8");
    switch (t.kind) {
      case Kind::Qty:
        require_positive(t.value, "Qty token value is positive");
        break;
      case Kind::Connector:
        FUZZ_REQUIRE(t.connector != phrasekit::ConnectorKind::NoConnector,
                     "a Connector token has a connector kind", "");
        break;
      case Kind::Color:
        require_member(canon.colors, t.text, "Color token is a colour value");
        break;
      case Kind::Size:
        require_member(canon.sizes, t.text, "Size token is a size value");
        break;
      case Kind::Material:
        require_member(canon.materials, t.text, "Material token is a material value");
        break;
      case Kind::Gender:
        require_member(canon.genders, t.text, "Gender token is a gender value");
        break;
      case Kind::Ambiguous:
        require_member(canon.countries, t.text, "Ambiguous token is a country value");
        break;
      case Kind::Standard:
        FUZZ_REQUIRE(!t.text.empty(), "Standard token text is non-empty", t.text);
        require_trimmed(t.text, "Standard token text is trimmed");
        FUZZ_REQUIRE(textservices::to_upper(t.text) == t.text, "Standard token text is upper-case",
                     t.text);
        break;
      case Kind::Word:
        FUZZ_REQUIRE(!t.text.empty(), "Word token text is non-empty", t.text);
        require_trimmed(t.text, "Word token text is trimmed");
        FUZZ_REQUIRE(textservices::to_lower(t.text) == t.text, "Word token text is lower-case",
                     t.text);
        FUZZ_REQUIRE(previous == nullptr || !previous->is(Kind::Word),
                     "no two Word tokens are adjacent after merging", t.text);
        break;
      case Kind::ColorKeyword:
      case Kind::SizeKeyword:
      case Kind::MaterialKeyword:
        break;
    }
    previous = &t;
  }
}

inline void check_group(const phrasekit::Group& g) {
  const CanonicalValues& canon = CanonicalValues::get();
  FUZZ_REQUIRE(g.qty || !g.chunks.empty(), "a group has a quantity or a chunk", "");
  if (g.qty) require_positive(*g.qty, "group qty is positive");
  if (g.qty_max) {
    require_positive(*g.qty_max, "group qty_max is positive");
    FUZZ_REQUIRE(g.qty.has_value(), "a group with qty_max has qty", "");
  }
  if (g.uom) require_member(canon.units, *g.uom, "group uom is a unit's canonical text");
  FUZZ_REQUIRE(!g.uom || g.qty, "a group with a unit has a quantity", *g.uom);
  for (const phrasekit::Chunk& c : g.chunks) {
    require_utf8(c.text, "chunk text is valid UTF-8");
    FUZZ_REQUIRE(!c.text.empty(), "chunk text is non-empty", c.text);
    require_trimmed(c.text, "chunk text is trimmed");
  }
  const std::pair<const std::vector<std::string>*, const char*> lists[] = {
      {&g.colors, "colors"},       {&g.sizes, "sizes"}, {&g.materials, "materials"},
      {&g.genders, "genders"},     {&g.specs, "specs"}, {&g.standards, "standards"},
      {&g.ambiguous, "ambiguous"},
  };
  for (const auto& [list, name] : lists) {
    require_utf8_list(*list, name);
    require_no_repeats(*list, name);
  }
  for (const std::string& s : g.colors)
    require_member(canon.colors, s, "colors hold colour values");
  for (const std::string& s : g.sizes) require_member(canon.sizes, s, "sizes hold size values");
  for (const std::string& s : g.materials) {
    require_member(canon.materials, s, "materials hold material values");
  }
  for (const std::string& s : g.genders)
    require_member(canon.genders, s, "genders hold gender values");
  for (const std::string& s : g.ambiguous) {
    require_member(canon.countries, s, "ambiguous holds country values");
  }
  for (const std::string& s : g.specs)
    FUZZ_REQUIRE(is_spec_number(s), "specs are formatted numbers", s);
  for (const std::string& s : g.standards) {
    FUZZ_REQUIRE(!s.empty(), "standards are non-empty", s);
    require_trimmed(s, "standards are trimmed");
  }
}

inline void check_groups(const std::vector<phrasekit::Group>& groups) {
  for (const phrasekit::Group& g : groups) check_group(g);
}

}  // namespace bidsift_fuzz

#endif  // BIDSIFT_FUZZ_CHECK_H_
