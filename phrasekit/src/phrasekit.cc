#include "phrasekit/src/phrasekit.h"

#include <cstdint>
#include <cstring>

#include "phrasekit/src/lexer.h"
#include "textservices/unicode.h"

namespace phrasekit {
namespace {

// The word written after a chunk for the connector that follows it.
constexpr std::string_view connector_word(ConnectorKind k) {
  switch (k) {
    case ConnectorKind::And:
      return "AND";
    case ConnectorKind::Or:
      return "OR";
    case ConnectorKind::Separator:
      return "AND";
    case ConnectorKind::To:
      return "TO";
    case ConnectorKind::NoConnector:
      return "";
  }
  return "";
}

// Whether `text` is well-formed UTF-8 made only of characters below U+0300
// (ASCII, the Latin supplements and extensions, IPA, spacing modifiers) and
// of U+1E00..U+1EFF (Latin Extended Additional, the Vietnamese letters).
// All of them are starters that compose with no neighbour, so such a text
// is in NFC as it stands (a test checks every pair of them). A leading run
// of ASCII goes eight bytes at a time.
bool is_plain_nfc(std::string_view text) {
  constexpr std::uint64_t kHigh = 0x8080808080808080;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto continuation = [&](std::size_t i) { return (byte(i) & 0xC0) == 0x80; };
  const std::size_t n = text.size();
  std::size_t i = 0;
  std::uint64_t x;
  while (i + 8 <= n && (std::memcpy(&x, text.data() + i, 8), (x & kHigh) == 0)) i += 8;
  while (i < n) {
    const unsigned char c = byte(i);
    if (c < 0x80) {
      i += 1;
    } else if (c >= 0xC2 && c <= 0xCB && i + 1 < n && continuation(i + 1)) {
      i += 2;  // U+0080..U+02FF
    } else if (c == 0xE1 && i + 2 < n && byte(i + 1) >= 0xB8 && byte(i + 1) <= 0xBB &&
               continuation(i + 2)) {
      i += 3;  // U+1E00..U+1EFF
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

QueryResult parse_query(std::string_view query) {
  // Canonically equivalent texts (a decomposed Vietnamese letter and its
  // composed form) must read alike; NFC input is returned as it is. Plain
  // text is valid NFC by its characters alone and skips the checks.
  std::string storage;
  const std::string_view text =
      is_plain_nfc(query) ? query : textservices::canonical_text(query, &storage);
  return QueryResult{build_groups(tokenize(text))};
}

std::string chunks_to_string(const std::vector<Chunk>& chunks) {
  std::string out;
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    if (i > 0) out += ' ';
    out += chunks[i].text;
    if (i + 1 < chunks.size()) {
      std::string_view word = connector_word(chunks[i].connector);
      if (!word.empty()) {
        out += ' ';
        out += word;
      }
    }
  }
  return out;
}

}  // namespace phrasekit
