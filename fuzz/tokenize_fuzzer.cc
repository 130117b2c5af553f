// The lexer over any text: every token satisfies the token invariants
// (positive quantities, canonical ontology values, trimmed lower-case
// words, no adjacent words), and the same text gives the same tokens.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "phrasekit/src/lexer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The lexer takes valid UTF-8; repair the bytes as the pipelines do.
  const std::string text =
      bidsift_fuzz::canonical(std::string_view(reinterpret_cast<const char*>(data), size));
  const phrasekit::Tokens tokens = phrasekit::tokenize(text);
  bidsift_fuzz::check_tokens(tokens);
  FUZZ_REQUIRE(phrasekit::tokenize(text) == tokens, "tokenize is deterministic", text);
  return 0;
}
