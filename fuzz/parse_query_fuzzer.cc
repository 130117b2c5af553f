// The query pipeline over arbitrary bytes: every group satisfies the group
// invariants; the result equals the lexer and parser run by hand on the
// canonical text, is the same for the canonical and the NFD form, and is
// the same on a second call.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "phrasekit/src/lexer.h"
#include "phrasekit/src/parser.h"
#include "phrasekit/src/phrasekit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const phrasekit::QueryResult result = phrasekit::parse_query(bytes);
  bidsift_fuzz::check_groups(result.groups);
  for (const phrasekit::Group& g : result.groups) {
    bidsift_fuzz::require_utf8(phrasekit::chunks_to_string(g.chunks), "rendered chunks are UTF-8");
  }
  FUZZ_REQUIRE(phrasekit::parse_query(bytes) == result, "parse_query is deterministic", bytes);

  // Each further form is parsed only where it differs from the input.
  const std::string text = bidsift_fuzz::canonical(bytes);
  if (text != bytes) {
    FUZZ_REQUIRE(phrasekit::parse_query(text) == result, "the canonical text gives the same groups",
                 text);
  }
  FUZZ_REQUIRE(phrasekit::build_groups(phrasekit::tokenize(text)) == result.groups,
               "parse_query is tokenize then build_groups", text);
  const std::string nfd = bidsift_fuzz::to_nfd(text);
  if (nfd != text) {
    FUZZ_REQUIRE(phrasekit::parse_query(nfd) == result, "the NFD form gives the same groups", text);
  }
  return 0;
}
