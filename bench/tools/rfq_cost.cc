// Instruction cost of the RFQ stages on one document under callgrind. A
// first `parse_rfq` call builds the lazily compiled patterns; then each
// stage runs once and its cost is dumped on its own, so the totals of the
// dump files are the costs of: `segment`, `extract_trade_terms`, `normalize`
// over every item, and one whole `parse_rfq`.
//
//   valgrind --tool=callgrind --callgrind-out-file=cg.out ./rfq_cost document.txt
//   grep -H summary cg.out.*   (files .1 to .4, in the order above)
//
// Built by hand like dump_outputs.cc.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tenderkit/src/item_normalizer.h"
#include "tenderkit/src/segmenter.h"
#include "tenderkit/src/tenderkit.h"
#include "tenderkit/src/trade_terms.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: rfq_cost <document file>\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string doc = text.str();
  std::size_t sink = tenderkit::parse_rfq(doc).items.size();

  CALLGRIND_ZERO_STATS;
  std::vector<std::string> items = tenderkit::segment(doc);
  CALLGRIND_DUMP_STATS_AT("segment");
  tenderkit::RfqTradeTerms terms = tenderkit::extract_trade_terms(doc);
  CALLGRIND_DUMP_STATS_AT("extract_trade_terms");
  for (const std::string& item : items) sink += tenderkit::normalize(item).dims.size();
  CALLGRIND_DUMP_STATS_AT("normalize");
  sink += tenderkit::parse_rfq(doc).items.size();
  CALLGRIND_DUMP_STATS_AT("parse_rfq");
  std::printf("%zu bytes, %zu items, %d, %zu\n", doc.size(), items.size(),
              terms.currency.has_value(), sink);
  return 0;
}
