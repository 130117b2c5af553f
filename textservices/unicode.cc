#include "textservices/unicode.h"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/edits.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <stdexcept>

namespace textservices {
namespace {

bool is_ascii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

void check(UErrorCode status, const char* what) {
  if (U_FAILURE(status)) {
    if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
    throw std::runtime_error(std::string(what) + ": " + u_errorName(status));
  }
}

// The root locale: no language tailoring of case mappings.
constexpr const char* kRoot = "";

// Decodes one well-formed UTF-8 sequence at `i`; returns its length, or 0 if
// the bytes there are ill-formed.
std::size_t valid_sequence_length(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  std::size_t n = s.size() - i;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return n >= 2 && (b(i + 1) & 0xC0) == 0x80 ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    if (n < 3) return 0;
    unsigned char c1 = b(i + 1);
    unsigned char lo = c == 0xE0 ? 0xA0 : 0x80;
    unsigned char hi = c == 0xED ? 0x9F : 0xBF;  // no surrogates
    return c1 >= lo && c1 <= hi && (b(i + 2) & 0xC0) == 0x80 ? 3 : 0;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    if (n < 4) return 0;
    unsigned char c1 = b(i + 1);
    unsigned char lo = c == 0xF0 ? 0x90 : 0x80;
    unsigned char hi = c == 0xF4 ? 0x8F : 0xBF;
    return c1 >= lo && c1 <= hi && (b(i + 2) & 0xC0) == 0x80 && (b(i + 3) & 0xC0) == 0x80 ? 4 : 0;
  }
  return 0;
}

}  // namespace

std::string to_lower(std::string_view text) {
  if (is_ascii(text)) {
    std::string out(text);
    for (char& c : out) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    return out;
  }
  std::string out;
  out.reserve(text.size() + 8);
  icu::StringByteSink<std::string> sink(&out);
  UErrorCode status = U_ZERO_ERROR;
  icu::CaseMap::utf8ToLower(kRoot, 0,
                            icu::StringPiece(text.data(), static_cast<int32_t>(text.size())), sink,
                            nullptr, status);
  check(status, "lower-case mapping");
  return out;
}

std::string to_upper(std::string_view text) {
  if (is_ascii(text)) {
    std::string out(text);
    for (char& c : out) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
    }
    return out;
  }
  std::string out;
  out.reserve(text.size() + 8);
  icu::StringByteSink<std::string> sink(&out);
  UErrorCode status = U_ZERO_ERROR;
  icu::CaseMap::utf8ToUpper(kRoot, 0,
                            icu::StringPiece(text.data(), static_cast<int32_t>(text.size())), sink,
                            nullptr, status);
  check(status, "upper-case mapping");
  return out;
}

std::string upper_char(char32_t c) {
  char buf[4];
  int32_t n = 0;
  UBool error = false;
  U8_APPEND(buf, n, 4, static_cast<UChar32>(c), error);
  if (error) return std::string();
  return to_upper(std::string_view(buf, static_cast<std::size_t>(n)));
}

bool is_white_space(char32_t c) {
  return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_WHITE_SPACE);
}

bool is_alphabetic(char32_t c) {
  return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_ALPHABETIC);
}

bool is_numeric(char32_t c) {
  int8_t t = u_charType(static_cast<UChar32>(c));
  return t == U_DECIMAL_DIGIT_NUMBER || t == U_LETTER_NUMBER || t == U_OTHER_NUMBER;
}

char32_t decode_at(std::string_view text, std::size_t pos, std::size_t* length) {
  const auto b = [&](std::size_t k) -> char32_t { return static_cast<unsigned char>(text[k]); };
  std::size_t n = char_length_at(text, pos);
  if (length != nullptr) *length = n;
  switch (n) {
    case 2:
      return ((b(pos) & 0x1F) << 6) | (b(pos + 1) & 0x3F);
    case 3:
      return ((b(pos) & 0x0F) << 12) | ((b(pos + 1) & 0x3F) << 6) | (b(pos + 2) & 0x3F);
    case 4:
      return ((b(pos) & 0x07) << 18) | ((b(pos + 1) & 0x3F) << 12) | ((b(pos + 2) & 0x3F) << 6) |
             (b(pos + 3) & 0x3F);
    default:
      return pos < text.size() ? b(pos) : 0;
  }
}

std::size_t char_length_at(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 1;
  unsigned char lead = static_cast<unsigned char>(text[pos]);
  std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return std::min(n, text.size() - pos);
}

std::string_view trim(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t n = 0;
    char32_t c = decode_at(text, begin, &n);
    if (!is_white_space(c)) break;
    begin += n;
  }
  std::size_t end = text.size();
  while (end > begin) {
    std::size_t start = end - 1;
    while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    if (!is_white_space(decode_at(text, start, nullptr))) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

bool is_valid_utf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = valid_sequence_length(bytes, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string to_valid_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t n = valid_sequence_length(bytes, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(bytes.substr(i, n));
      i += n;
    }
  }
  return out;
}

namespace {
const icu::Normalizer2& nfc() {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(status);
  check(status, "NFC normalizer");
  return *n;
}
}  // namespace

bool is_nfc(std::string_view text) {
  // Code points below U+0300 are all NFC-stable starters; most input is such.
  bool below_combining = true;
  for (unsigned char c : text) {
    if (c >= 0xCC) {  // lead bytes of U+0300 and above
      below_combining = false;
      break;
    }
  }
  if (below_combining) return true;
  UErrorCode status = U_ZERO_ERROR;
  bool yes = nfc().isNormalizedUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())), status);
  check(status, "NFC check");
  return yes;
}

std::string to_nfc(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  icu::StringByteSink<std::string> sink(&out);
  UErrorCode status = U_ZERO_ERROR;
  nfc().normalizeUTF8(0, icu::StringPiece(text.data(), static_cast<int32_t>(text.size())), sink,
                      nullptr, status);
  check(status, "NFC normalization");
  return out;
}

std::string_view canonical_text(std::string_view bytes, std::string* storage) {
  if (!is_valid_utf8(bytes)) {
    *storage = to_nfc(to_valid_utf8(bytes));
    return *storage;
  }
  if (is_nfc(bytes)) return bytes;
  *storage = to_nfc(bytes);
  return *storage;
}

LowerMapped::LowerMapped(std::string_view source) : source_size_(source.size()) {
  if (is_ascii(source)) {
    lower_ = to_lower(source);
    return;
  }
  icu::StringByteSink<std::string> sink(&lower_);
  icu::Edits edits;
  UErrorCode status = U_ZERO_ERROR;
  icu::CaseMap::utf8ToLower(kRoot, 0,
                            icu::StringPiece(source.data(), static_cast<int32_t>(source.size())),
                            sink, &edits, status);
  check(status, "lower-case mapping");
  icu::Edits::Iterator it = edits.getFineChangesIterator();
  while (it.next(status)) {
    if (it.oldLength() != it.newLength()) {
      pieces_.push_back(Piece{
          static_cast<std::size_t>(it.destinationIndex()), static_cast<std::size_t>(it.newLength()),
          static_cast<std::size_t>(it.sourceIndex()), static_cast<std::size_t>(it.oldLength())});
    }
  }
  check(status, "lower-case edits");
}

namespace {
template <class Pieces>
const auto* last_piece_at_or_before(const Pieces& pieces, std::size_t pos) {
  auto it =
      std::upper_bound(pieces.begin(), pieces.end(), pos,
                       [](std::size_t p, const auto& piece) { return p < piece.lower_begin; });
  return it == pieces.begin() ? nullptr : &*(it - 1);
}
}  // namespace

std::size_t LowerMapped::source_begin(std::size_t pos) const {
  const Piece* p = last_piece_at_or_before(pieces_, pos);
  std::size_t out;
  if (p == nullptr) {
    out = pos;
  } else if (pos < p->lower_begin + p->lower_length) {
    out = p->source_begin;
  } else {
    out = pos - (p->lower_begin + p->lower_length) + (p->source_begin + p->source_length);
  }
  return std::min(out, source_size_);
}

std::size_t LowerMapped::source_end(std::size_t pos) const {
  const Piece* p = last_piece_at_or_before(pieces_, pos);
  std::size_t out;
  if (p == nullptr) {
    out = pos;
  } else if (pos == p->lower_begin) {
    out = p->source_begin;
  } else if (pos < p->lower_begin + p->lower_length) {
    out = p->source_begin + p->source_length;
  } else {
    out = pos - (p->lower_begin + p->lower_length) + (p->source_begin + p->source_length);
  }
  return std::min(out, source_size_);
}

}  // namespace textservices
