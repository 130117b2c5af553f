// Cuts an RFQ document into the texts of its line items.
//
// Marker mode: when some line starts with a number marker («1. », «2) »),
// or else with a bullet («- », «• », «* », «· »), the document is cut at
// those markers; an item runs up to the next marker (inner line breaks
// kept) and the last one to the end of the document. Otherwise line mode:
// preamble lines, then one item per line from the first product line on,
// then footer lines from the first trade-term line on.
//
// Every returned text is non-empty and trimmed. Pure; safe for concurrent
// use.
//
//   segment("Please quote:\n1. Polo shirt, red\n2) Cap") == {"Polo shirt, red", "Cap"}
#ifndef BIDSIFT_TENDERKIT_SEGMENTER_H_
#define BIDSIFT_TENDERKIT_SEGMENTER_H_

#include <string>
#include <string_view>
#include <vector>

#include "textservices/regex.h"

namespace tenderkit {

// Whether a text reads as an RFQ document rather than a product query: a
// numbered or bulleted line, «target» and a number, or a payment-terms or
// lead-time keyword.
inline constinit textservices::LazyRegex RE_DETECT{
    R"((?mi)^\s*\d+[.)]\s|^\s*[-•*·]\s|\btarget\s+\d|\b(?:payment\s+terms?|lead[\s-]?time)\b)"};

inline constinit textservices::LazyRegex RE_NUMBERED{R"((?m)^\s*\d+[.)]\s+)"};
inline constinit textservices::LazyRegex RE_BULLET{R"((?m)^\s*[-•*·]\s+)"};
inline constinit textservices::LazyRegex RE_FOOTER_LINE{
    R"((?i)^\s*(?:lead[\s-]?time|payment\s+terms?|incoterms?|delivery\s+(?:time|terms?)|shipping\s+(?:time|terms?)|port\s+of\s+(?:loading|discharge)))"};
inline constinit textservices::LazyRegex RE_PRODUCT_LINE{
    R"((?i)^\s*\d|\b(?:pcs|pieces?|sets?|kg|tons?|rolls?|sheets?|drums?|pallets?|cartons?|reels?|boxes?|meters?|litres?|liters?|fcl)\b)"};

std::vector<std::string> segment(std::string_view document);

}  // namespace tenderkit

#endif  // BIDSIFT_TENDERKIT_SEGMENTER_H_
