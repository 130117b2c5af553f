// The segmenter over any text: every item text is non-empty, trimmed,
// valid UTF-8 and cut from the document, the items stand in document order
// without overlapping, and the same document gives the same items.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "tenderkit/src/segmenter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The segmenter takes valid UTF-8; repair the bytes as the pipelines do.
  const std::string document =
      bidsift_fuzz::canonical(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> items = tenderkit::segment(document);
  std::size_t from = 0;
  for (const std::string& item : items) {
    bidsift_fuzz::require_utf8(item, "item text is valid UTF-8");
    FUZZ_REQUIRE(!item.empty(), "item text is non-empty", document);
    bidsift_fuzz::require_trimmed(item, "item text is trimmed");
    const std::size_t at = document.find(item, from);
    FUZZ_REQUIRE(at != std::string::npos,
                 "item texts are pieces of the document, in order, not overlapping", item);
    from = at + item.size();
  }
  FUZZ_REQUIRE(tenderkit::segment(document) == items, "segment is deterministic", document);
  return 0;
}
