#include "phrasekit/src/lexer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "phrasekit/src/number_scan.h"
#include "textservices/numbers.h"
#include "textservices/unicode.h"

namespace phrasekit {
namespace {

using textservices::decode_at;

// Besides U+1EA1..U+1EF9 at odd code points (the lower-case letters of the
// Latin Extended Additional block that Vietnamese uses).
constexpr char32_t kVietnameseLetters[] = {
    U'à', U'á', U'â', U'ã', U'è', U'é', U'ê', U'ì', U'í', U'ò', U'ó',
    U'ô', U'õ', U'ù', U'ú', U'ý', U'ă', U'đ', U'ĩ', U'ũ', U'ơ', U'ư',
};

// Unit keys after which «1.500» groups thousands (Vietnamese writes a dot
// there): «1.500 cái» is fifteen hundred, «2.500 kg» two and a half.
constexpr std::string_view kDotThousandsUnitKeys[] = {
    "đôi", "cái", "chiếc", "bộ", "cuộn", "tấm", "tấn", "lít",
};

// The characters that end a word without being part of it (besides white
// space): the boundary punctuation other than "-" and "/".
constexpr bool is_word_terminator(char c) {
  return c == '!' || c == ')' || c == ',' || c == '.' || c == '?';
}

constexpr bool is_ascii_white_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline std::size_t white_space_at(std::string_view text, std::size_t pos) {
  return white_space_length(std::string_view(text.data() + pos, text.size() - pos));
}

// `text` without the White_Space characters at either end, as
// textservices::trim gives it; ASCII ends are stripped without decoding.
std::string_view trim(std::string_view text) {
  while (!text.empty() && is_ascii_white_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_ascii_white_space(text.back())) text.remove_suffix(1);
  if (text.empty()) return text;
  // The last character starts at the last byte that is not a continuation.
  std::size_t last = text.size() - 1;
  while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80) --last;
  if (white_space_length(text) != 0 || white_space_length(text.substr(last)) != 0) {
    return textservices::trim(text);
  }
  return text;
}

// The UTF-8 form of `c` (a scalar value).
std::string encode(char32_t c) {
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

// The full lower-case forms of the characters beyond ASCII that queries
// mostly hold: Latin letters with their diacritics (Vietnamese among them),
// combining diacritics, general punctuation and currency signs. In the root
// locale these map without regard to their neighbours (of all characters
// only the Greek capital sigma looks at its context, and it is not among
// them), so a text of them lowers as the concatenation of their forms.
// Built once, on first use, from the full mapping of each character alone.
class LowerForms {
 public:
  static const LowerForms& get() {
    static const LowerForms forms;
    return forms;
  }

  // The lower-case form of `c`, or nothing when `c` lies outside the ranges.
  std::optional<std::string_view> of(char32_t c) const {
    std::size_t offset = 0;
    for (const Range& r : kRanges) {
      if (c >= r.first && c <= r.last) {
        const Form& f = forms_[offset + (c - r.first)];
        if (f.size == 0) return std::nullopt;
        return std::string_view(f.bytes, f.size);
      }
      offset += r.last - r.first + 1;
    }
    return std::nullopt;
  }

 private:
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kRanges[] = {
      {0x0080, 0x024F},  // Latin-1 Supplement, Latin Extended-A and -B
      {0x0300, 0x036F},  // combining diacritical marks
      {0x1E00, 0x1EFF},  // Latin Extended Additional (Vietnamese)
      {0x2000, 0x206F},  // general punctuation
      {0x20A0, 0x20CF},  // currency symbols
  };
  // A form of up to seven bytes; size 0 marks a form too long to keep.
  struct Form {
    std::uint8_t size = 0;
    char bytes[7] = {};
  };

  LowerForms() {
    for (const Range& r : kRanges) {
      for (char32_t c = r.first; c <= r.last; ++c) {
        const std::string lower = textservices::to_lower(encode(c));
        Form f;
        if (lower.size() <= sizeof f.bytes) {
          f.size = static_cast<std::uint8_t>(lower.size());
          std::memcpy(f.bytes, lower.data(), lower.size());
        }
        forms_.push_back(f);
      }
    }
  }

  std::vector<Form> forms_;  // the ranges' characters, one after another
};

// Stores the full lower-case mapping of `text` in `out` and returns true if
// every character of `text` is ASCII or has a form in `LowerForms`; else
// returns false with `out` unspecified. Sets `*ascii` to whether `text` is
// all ASCII. Eight ASCII bytes at a time: a byte is upper-case if adding
// 0x80 - 'A' sets its top bit and adding 0x80 - 'Z' - 1 does not; ASCII bytes
// never carry into their neighbours.
bool lower_known(std::string_view text, std::string& out, bool* ascii) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHigh = kOnes * 0x80;
  const std::size_t n = text.size();
  const char* src = text.data();
  // Most forms are as long as their characters; `out` grows when one is not.
  out.resize(n);
  char* dst = out.data();
  std::size_t i = 0, j = 0;
  while (i + 8 <= n) {
    std::uint64_t x;
    std::memcpy(&x, src + i, 8);
    if (x & kHigh) break;
    const std::uint64_t upper =
        (x + kOnes * (0x80 - 'A')) & ~(x + kOnes * (0x80 - 'Z' - 1)) & kHigh;
    x |= upper >> 2;
    std::memcpy(dst + i, &x, 8);
    i += 8;
  }
  j = i;
  *ascii = true;
  const LowerForms* forms = nullptr;
  while (i < n) {
    const char c = src[i];
    if (static_cast<unsigned char>(c) < 0x80) {
      const bool upper = static_cast<unsigned char>(c - 'A') < 26;
      dst[j++] = static_cast<char>(c + (upper ? 'a' - 'A' : 0));
      ++i;
      continue;
    }
    *ascii = false;
    if (forms == nullptr) forms = &LowerForms::get();
    // The kept characters are all of two or three bytes (the text is valid
    // UTF-8); any other goes to the full mapping.
    const unsigned char lead = static_cast<unsigned char>(c);
    char32_t code;
    if (lead >= 0xC2 && lead < 0xE0 && i + 1 < n) {
      code = (char32_t{lead & 0x1Fu} << 6) | (static_cast<unsigned char>(src[i + 1]) & 0x3Fu);
      i += 2;
    } else if (lead >= 0xE0 && lead < 0xF0 && i + 2 < n) {
      code = (char32_t{lead & 0x0Fu} << 12) |
             ((static_cast<unsigned char>(src[i + 1]) & 0x3Fu) << 6) |
             (static_cast<unsigned char>(src[i + 2]) & 0x3Fu);
      i += 3;
    } else {
      return false;
    }
    const std::optional<std::string_view> form = forms->of(code);
    if (!form) return false;
    if (j + form->size() + (n - i) > out.size()) {
      out.resize(j + form->size() + (n - i));
      dst = out.data();
    }
    std::memcpy(dst + j, form->data(), form->size());
    j += form->size();
  }
  out.resize(j);
  return true;
}

// The encoded length of the character that starts at `pos` (< size), as
// textservices::char_length_at gives it: by its lead byte, cut at the end.
inline std::size_t char_length(std::string_view text, std::size_t pos) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return std::min(n, text.size() - pos);
}

std::size_t skip_white_space(std::string_view text, std::size_t pos) {
  while (pos < text.size()) {
    std::size_t n = white_space_at(text, pos);
    if (n == 0) break;
    pos += n;
  }
  return pos;
}

bool is_dot_thousands_unit(std::string_view key) {
  return std::find(std::begin(kDotThousandsUnitKeys), std::end(kDotThousandsUnitKeys), key) !=
         std::end(kDotThousandsUnitKeys);
}

bool is_alphanumeric(char32_t c) {
  return textservices::is_alphabetic(c) || textservices::is_numeric(c);
}

// The value and key length of the longest key of an indexed map at the start
// of `rest`, as `Lexer::map_prefix` finds them.
template <class Value>
std::optional<std::pair<Value, std::size_t>> map_lookup(const Map<Value>& map,
                                                        const PrefixIndex& index,
                                                        std::string_view rest) {
  if (auto hit = index.longest(rest)) return std::pair{map[hit->entry].value, hit->length};
  return std::nullopt;
}

// A map's value and key length for a hit of the cascade index.
template <class Value>
std::optional<std::pair<Value, std::size_t>> map_value(const Map<Value>& map,
                                                       std::optional<PrefixIndex::Hit> hit) {
  if (hit) return std::pair{map[hit->entry].value, hit->length};
  return std::nullopt;
}

// A list's key length for a hit of the cascade index.
std::optional<std::size_t> list_length(std::optional<PrefixIndex::Hit> hit) {
  if (hit) return hit->length;
  return std::nullopt;
}

}  // namespace

bool is_vietnamese_letter(char32_t c) {
  if (c >= 0x1EA1 && c <= 0x1EF9) return c % 2 == 1;
  return std::find(std::begin(kVietnameseLetters), std::end(kVietnameseLetters), c) !=
         std::end(kVietnameseLetters);
}

std::optional<std::size_t> Lexer::list_match(std::string_view rest, const TextList& list) {
  std::optional<std::size_t> best;
  for (std::string_view entry : list) {
    if ((!best || entry.size() > *best) && rest.starts_with(entry) &&
        is_boundary(rest.substr(entry.size()))) {
      best = entry.size();
    }
  }
  return best;
}

Lexer::Lexer(std::string_view query, const Ontology& ontology) : ontology_(ontology) {
  const std::string_view trimmed = trim(query);
  // A token spans a few bytes at least: room for all tokens of a typical
  // query, which spares the growth steps, but no more than 16 tokens, which
  // the allocator still serves as a small block.
  tokens_.reserve(std::min<std::size_t>(trimmed.size() / 4 + 4, 16));
  bool ascii = true;
  if (!lower_known(trimmed, text_, &ascii)) text_ = textservices::to_lower(trimmed);
  // ASCII text holds no Vietnamese letter.
  if (ascii) return;
  for (std::size_t i = 0; i < text_.size();) {
    if (static_cast<unsigned char>(text_[i]) < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = 0;
    if (is_vietnamese_letter(decode_at(text_, i, &n))) {
      vietnamese_ = true;
      break;
    }
    i += n;
  }
}

Tokens Lexer::run() {
  while (pos_ < text_.size()) step();
  return std::move(tokens_);
}

void Lexer::emit(Tag tag, std::size_t consumed) {
  tokens_.push_back(std::move(tag));
  pos_ += consumed;
  token_end_ = pos_;
}

void Lexer::emit_word(std::string_view word, std::size_t consumed) {
  // Merging here, as each word arrives, gives the same list as a separate
  // pass that joins every run of adjacent words with single spaces.
  if (!tokens_.empty() && tokens_.back().is(Tag::Kind::Word)) {
    std::string& text = tokens_.back().text;
    text += ' ';
    text += word;
  } else {
    tokens_.push_back(Tag::with_text(Tag::Kind::Word, std::string(word)));
  }
  pos_ += consumed;
  token_end_ = pos_;
}

std::optional<Lexer::Quantity> Lexer::read_quantity(std::string_view rest) const {
  std::optional<std::size_t> number = number_length(rest);
  if (!number) return std::nullopt;
  const std::size_t unit_at = skip_white_space(rest, *number);
  const auto unit = map_lookup(ontology_.unit_map, ontology_.index.unit_map, rest.substr(unit_at));
  const auto dots = unit && is_dot_thousands_unit(rest.substr(unit_at, unit->second))
                        ? textservices::DotGroups::Thousands
                        : textservices::DotGroups::Decimal;
  std::optional<double> value = number_value(rest.substr(0, *number), dots);
  // A number in other digits than ASCII, or zero, is no quantity.
  if (!value || *value == 0) return std::nullopt;
  if (unit) return Quantity{*value, unit->first, unit_at + unit->second};
  // Without a unit the number must stand alone: «3xl» and «10k» are not
  // quantities.
  if (!is_boundary(rest.substr(*number))) return std::nullopt;
  return Quantity{*value, std::nullopt, *number};
}

bool Lexer::range_hyphen(std::string_view rest) const {
  if (rest[0] != '-' || tokens_.empty()) return false;
  const Tag& before = tokens_.back();
  if (!before.is(Tag::Kind::Qty) && !before.is(Tag::Kind::Size)) return false;
  // Only white space may lie between the token and the hyphen.
  if (!textservices::trim(std::string_view(text_).substr(token_end_, pos_ - token_end_)).empty()) {
    return false;
  }
  std::string_view after = rest.substr(skip_white_space(rest, 1));
  if (after.empty()) return false;
  if (before.is(Tag::Kind::Qty)) return read_quantity(after).has_value();
  return map_lookup(ontology_.size_map, ontology_.index.size_map, after).has_value();
}

std::optional<std::size_t> Lexer::standard_length(std::string_view rest) const {
  // Only the prefixes that start with the text's first byte can match; the
  // index keeps them in table order.
  const auto candidates =
      ontology_.index.standard_prefixes.starting_with(static_cast<unsigned char>(rest[0]));
  for (const PrefixIndex::Key& key : candidates) {
    const std::string_view prefix = key.text();
    if (!rest.starts_with(prefix)) continue;
    // A prefix ending in a letter must not run on into a word: «iso9001» and
    // «din-933» are standards, «isolation» and «dining» are not.
    if (prefix.back() != ' ' && prefix.size() < rest.size() &&
        textservices::is_alphabetic(decode_at(rest, prefix.size(), nullptr))) {
      continue;
    }
    std::size_t end = skip_white_space(rest, prefix.size());
    while (end < rest.size()) {
      std::size_t n = 0;
      char32_t c = decode_at(rest, end, &n);
      if (c != U'-' && !is_alphanumeric(c)) break;
      end += n;
    }
    return end;
  }
  return std::nullopt;
}

void Lexer::step() {
  using Kind = Tag::Kind;
  const std::string_view rest = std::string_view(text_).substr(pos_);
  const Ontology& o = ontology_;
  const unsigned char first = static_cast<unsigned char>(rest[0]);

  if (std::size_t n = white_space_at(rest, 0)) {
    pos_ += n;
    return;
  }
  // Every cascade table's longest key here, found in one pass; the cascade
  // below takes them in its order.
  const PrefixIndexSet::Hits hits = o.index.cascade.longest(rest);
  if (auto n = list_length(hits[Cascade::SkipPhrases])) {
    pos_ += *n;
    return;
  }

  // Numbers. In size context they are sizes or plain words, never quantities.
  if (size_context_) {
    if (auto size = map_value(o.size_map, hits[Cascade::SizeMap])) {
      emit(Tag::with_text(Kind::Size, std::string(size->first)), size->second);
      return;
    }
    if (auto n = number_length(rest); n && is_boundary(rest.substr(*n))) {
      after_word_ = true;
      emit_word(rest.substr(0, *n), *n);
      return;
    }
  } else if (may_start_number(first)) {
    if (auto qty = read_quantity(rest)) {
      size_context_ = false;
      emit(Tag::qty(qty->value, qty->unit), qty->length);
      return;
    }
  }

  if (first == '-' && range_hyphen(rest)) {
    emit(Tag::connector_of(ConnectorKind::To), 1);
    return;
  }
  if (first == '/' || first == ',') {
    size_context_ = false;
    emit(Tag::connector_of(ConnectorKind::Separator), 1);
    return;
  }
  if (hits.any()) {
    if (auto n = list_length(hits[Cascade::RangeWords])) {
      emit(Tag::connector_of(ConnectorKind::To), *n);
      return;
    }
    if (auto n = list_length(hits[Cascade::AndWords])) {
      after_word_ = false;
      size_context_ = false;
      emit(Tag::connector_of(ConnectorKind::And), *n);
      return;
    }
    if (auto n = list_length(hits[Cascade::OrWords])) {
      after_word_ = false;
      size_context_ = false;
      emit(Tag::connector_of(ConnectorKind::Or), *n);
      return;
    }
    if (auto n = list_length(hits[Cascade::SizeKeywords])) {
      size_context_ = true;
      emit(Tag::bare(Kind::SizeKeyword), *n);
      return;
    }
    if (auto n = list_length(hits[Cascade::ColorKeywords])) {
      size_context_ = false;
      emit(Tag::bare(Kind::ColorKeyword), *n);
      return;
    }
    if (auto n = list_length(hits[Cascade::MaterialKeywords])) {
      size_context_ = false;
      emit(Tag::bare(Kind::MaterialKeyword), *n);
      return;
    }
    if (auto n = list_length(hits[Cascade::ProtectedPhrases])) {
      after_word_ = true;
      size_context_ = false;
      emit_word(rest.substr(0, *n), *n);
      return;
    }
    // In Vietnamese text «nam» (male) only counts after a word: «áo nam».
    if (!vietnamese_ || after_word_) {
      if (auto gender = map_value(o.gender_map, hits[Cascade::GenderMap])) {
        size_context_ = false;
        emit(Tag::with_text(Kind::Gender, std::string(gender->first)), gender->second);
        return;
      }
    }
  }
  if (auto n = o.index.standard_prefixes.any_starting_with(first) ? standard_length(rest)
                                                                  : std::nullopt) {
    size_context_ = false;
    std::string text = textservices::to_upper(textservices::trim(rest.substr(0, *n)));
    emit(Tag::with_text(Kind::Standard, std::move(text)), *n);
    return;
  }
  if (hits.any()) {
    if (auto color = map_value(o.color_map, hits[Cascade::ColorMap])) {
      size_context_ = false;
      emit(Tag::with_text(Kind::Color, std::string(color->first)), color->second);
      return;
    }
    if (auto size = map_value(o.size_map, hits[Cascade::SizeMap])) {
      emit(Tag::with_text(Kind::Size, std::string(size->first)), size->second);
      return;
    }
    if (vietnamese_) {
      // Vietnamese material words double as ordinary words («len», «đồng»),
      // so a material needs a word before it; country names are not looked
      // up.
      if (after_word_) {
        if (auto material = map_value(o.material_map, hits[Cascade::MaterialMap])) {
          after_word_ = true;
          size_context_ = false;
          emit(Tag::with_text(Kind::Material, std::string(material->first)), material->second);
          return;
        }
      }
    } else {
      if (auto material = map_value(o.material_map, hits[Cascade::MaterialMap])) {
        size_context_ = false;
        emit(Tag::with_text(Kind::Material, std::string(material->first)), material->second);
        return;
      }
      if (auto country = map_value(o.country_map, hits[Cascade::CountryMap])) {
        size_context_ = false;
        emit(Tag::with_text(Kind::Ambiguous, std::string(country->first)), country->second);
        return;
      }
    }
  }

  // A word: up to white space or a terminator, but at least one character
  // (a terminator here becomes a word of its own). ASCII bytes are tested
  // directly; only other characters need decoding.
  std::size_t end = 0;
  while (end < rest.size()) {
    const unsigned char c = static_cast<unsigned char>(rest[end]);
    if (c < 0x80) {
      if (is_word_terminator(static_cast<char>(c)) || is_ascii_white_space(static_cast<char>(c))) {
        break;
      }
      ++end;
    } else {
      if (white_space_at(rest, end) != 0) break;
      end += char_length(rest, end);
    }
  }
  if (end == 0) end = 1;
  after_word_ = true;
  size_context_ = false;
  emit_word(rest.substr(0, end), end);
}

Tokens tokenize(std::string_view query) { return Lexer(query, ONTOLOGY.get()).run(); }

}  // namespace phrasekit
