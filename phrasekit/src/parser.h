// Cuts a query's token list into product groups and folds each into a
// `Group`: quantity or range with unit, noun-phrase chunks with their
// connectors, and de-duplicated attribute lists.
//
//   «200 pcs polo shirt red, 300 pcs t-shirt blue» gives two groups:
//   {qty 200, uom "pcs", chunks [("polo shirt", Separator)], colors [red]}
//   {qty 300, uom "pcs", chunks [("t-shirt", NoConnector)], colors [blue]}
#ifndef BIDSIFT_PHRASEKIT_PARSER_H_
#define BIDSIFT_PHRASEKIT_PARSER_H_

#include <optional>
#include <string>
#include <vector>

#include "phrasekit/src/token.h"

namespace phrasekit {

// One product noun phrase and the connector that follows it.
struct Chunk {
  std::string text;
  ConnectorKind connector = ConnectorKind::NoConnector;
  bool operator==(const Chunk&) const = default;
};

// One product group. Every text list holds each text at most once, in order
// of first insertion.
struct Group {
  std::optional<double> qty{};
  std::optional<double> qty_max{};
  std::vector<Chunk> chunks{};
  std::vector<std::string> colors{};
  std::vector<std::string> sizes{};
  std::vector<std::string> materials{};
  std::vector<std::string> genders{};
  std::vector<std::string> specs{};
  std::vector<std::string> standards{};
  std::vector<std::string> ambiguous{};
  std::optional<std::string> uom{};
  bool operator==(const Group&) const = default;
};

// The groups of one token list, in text order; groups with neither a
// quantity nor a chunk are dropped. Consumes the tokens.
std::vector<Group> build_groups(Tokens tokens);

// Appends `text` to `list` unless an equal text is already there.
void add_unique(std::vector<std::string>& list, std::string text);

// Ends the current chunk: the pending words become a chunk followed by `k`,
// or, with no pending words, `k` lands on the last chunk if it has none yet.
void flush(Group& group, std::vector<std::string>& pending, ConnectorKind k);

// A number as it appears in `specs`: an integer when whole (saturating at
// the unsigned 64-bit maximum), else one decimal, ties to even.
std::string format_spec_number(double value);

}  // namespace phrasekit

#endif  // BIDSIFT_PHRASEKIT_PARSER_H_
