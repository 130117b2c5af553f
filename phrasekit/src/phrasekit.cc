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
    case ConnectorKind::And: return "AND";
    case ConnectorKind::Or: return "OR";
    case ConnectorKind::Separator: return "AND";
    case ConnectorKind::To: return "TO";
    case ConnectorKind::NoConnector: return "";
  }
  return "";
}

// Whether every byte of `text` is ASCII, eight bytes at a time.
bool is_ascii(std::string_view text) {
  constexpr std::uint64_t kHigh = 0x8080808080808080;
  std::size_t i = 0;
  std::uint64_t any = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t x;
    std::memcpy(&x, text.data() + i, 8);
    any |= x;
  }
  for (; i < text.size(); ++i) any |= static_cast<unsigned char>(text[i]);
  return (any & kHigh) == 0;
}

}  // namespace

QueryResult parse_query(std::string_view query) {
  // Canonically equivalent texts (a decomposed Vietnamese letter and its
  // composed form) must read alike; NFC input is returned as it is. ASCII
  // text is always valid NFC, so it skips the checks.
  std::string storage;
  const std::string_view text =
      is_ascii(query) ? query : textservices::canonical_text(query, &storage);
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
