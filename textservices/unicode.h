// Unicode services over UTF-8 text, backed by ICU: full default case mapping
// (root locale, no language tailoring), the character properties the
// recognisers need, trimming, and UTF-8 decoding and repair.
//
// All functions are pure and safe for concurrent use. Text arguments must be
// valid UTF-8 unless a function says otherwise; `to_valid_utf8` makes any
// byte string valid.
//
//   to_lower("ĐỎ") == "đỏ"      to_upper("đỏ") == "ĐỎ"
//   upper_char(U'ß') == "SS"    trim("\u00A0 a b \n") == "a b"
#ifndef BIDSIFT_TEXTSERVICES_UNICODE_H_
#define BIDSIFT_TEXTSERVICES_UNICODE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace textservices {

// Full default lower-case / upper-case mapping of a whole text. One
// character may map to several (upper "ß" is "SS", lower "İ" is "i̇"), so
// the result's byte length may differ from the argument's.
std::string to_lower(std::string_view text);
std::string to_upper(std::string_view text);

// Full upper-case mapping of one character, as UTF-8 (may be several
// characters).
std::string upper_char(char32_t c);

// Character properties by code point.
bool is_white_space(char32_t c);  // Unicode White_Space
bool is_alphabetic(char32_t c);   // Unicode Alphabetic
bool is_numeric(char32_t c);      // general category Nd, Nl or No

// Decodes the character starting at byte `pos` of valid UTF-8 `text` and
// stores its encoded length in `*length`.
char32_t decode_at(std::string_view text, std::size_t pos, std::size_t* length);
// The encoded length of the character starting at `pos` (1 at the end).
std::size_t char_length_at(std::string_view text, std::size_t pos);

// `text` without the White_Space characters at either end.
std::string_view trim(std::string_view text);

// Whether `bytes` is well-formed UTF-8 (no surrogates, no overlongs).
bool is_valid_utf8(std::string_view bytes);
// `bytes` with every ill-formed sequence replaced by U+FFFD.
std::string to_valid_utf8(std::string_view bytes);

// Whether `text` is in Unicode Normalization Form C, and its NFC form.
bool is_nfc(std::string_view text);
std::string to_nfc(std::string_view text);

// The form in which the pipelines read any input: valid UTF-8 (ill-formed
// bytes become U+FFFD) in NFC, so that canonically equivalent texts read
// alike. Returns `bytes` itself when it already is (the common, cheap case);
// otherwise builds the text in `*storage` and returns a view of it.
std::string_view canonical_text(std::string_view bytes, std::string* storage);

// The lower-case mapping of a text together with the correspondence between
// its byte offsets and those of the text it came from. Where lower-casing
// changes a character's encoded length, a position inside or at the edges
// of that character's lower-case form maps outward to the edges of the
// source character: a span of the lower-case text maps to the smallest
// whole-character span of the source that covers it. So a span found in the
// lower-case copy can be cut from the source without splitting a character
// or reaching past its end.
class LowerMapped {
 public:
  explicit LowerMapped(std::string_view source);

  const std::string& text() const { return lower_; }
  // Source offset for a span starting at lower-case offset `pos`.
  std::size_t source_begin(std::size_t pos) const;
  // Source offset for a span ending at lower-case offset `pos`.
  std::size_t source_end(std::size_t pos) const;
  // Whether every offset maps to itself (no character changed length).
  bool identity() const { return pieces_.empty(); }

 private:
  // A character whose lower-case form has a different length.
  struct Piece {
    std::size_t lower_begin, lower_length, source_begin, source_length;
  };
  std::string lower_;
  std::vector<Piece> pieces_;
  std::size_t source_size_ = 0;
};

}  // namespace textservices

#endif  // BIDSIFT_TEXTSERVICES_UNICODE_H_
