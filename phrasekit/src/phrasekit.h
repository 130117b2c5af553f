// The query pipeline: `parse_query` turns a product query («I need 200 pcs
// polo shirt, cotton, navy and 300 pcs t-shirt») into its product groups.
// Pure and re-entrant; the shared vocabulary and patterns are built once on
// first use. The text may be any UTF-8 (ill-formed bytes are read as
// U+FFFD, and canonically equivalent texts give the same result).
#ifndef BIDSIFT_PHRASEKIT_PHRASEKIT_H_
#define BIDSIFT_PHRASEKIT_PHRASEKIT_H_

#include <string>
#include <string_view>
#include <vector>

#include "phrasekit/src/parser.h"

namespace phrasekit {

struct QueryResult {
  std::vector<Group> groups;
  bool operator==(const QueryResult&) const = default;
};

QueryResult parse_query(std::string_view query);

// The chunks of a group as one text: "polo shirt OR t-shirt". Each chunk but
// the last is followed by its connector word (AND, OR, AND, TO, nothing).
std::string chunks_to_string(const std::vector<Chunk>& chunks);

}  // namespace phrasekit

#endif  // BIDSIFT_PHRASEKIT_PHRASEKIT_H_
