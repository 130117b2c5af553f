#include "tenderkit/src/segmenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tenderkit {
namespace {

struct SegmentCase {
  const char* name;
  const char* document;
  std::vector<std::string> items;
};

void expect_segments(const std::vector<SegmentCase>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(segment(c.document), c.items) << c.name;
  }
}

TEST(SegmentMarkers, ItemsRunFromOneMarkerToTheNext) {
  expect_segments({
      {"header comment example", "Please quote:\n1. Polo shirt, red\n2) Cap",
       {"Polo shirt, red", "Cap"}},
      {"closing lines stay in the last item",
       "Please quote:\n1. Polo shirt, red\n2) T-shirt 300 pcs\nPayment terms: T/T",
       {"Polo shirt, red", "T-shirt 300 pcs\nPayment terms: T/T"}},
      {"continuation lines keep their break and indentation",
       "1. Polo shirt\n   red, size L\n2. Cap", {"Polo shirt\n   red, size L", "Cap"}},
      {"an empty item is dropped; the marker takes the line break", "1.\n2. Polo", {"Polo"}},
      {"the first marker swallows the indentation of the next line", "1.\n   2. Polo",
       {"2. Polo"}},
      {"numbered lines win over bullets", "- Polo shirt\n- Cap\n3. Socks", {"Socks"}},
      {"bullets stay inside numbered items", "1. Kit\n- bolt\n- nut", {"Kit\n- bolt\n- nut"}},
      {"indented marker after blank lines", "Intro\n\n  1) Polo\n\n  2) Cap\n\n", {"Polo", "Cap"}},
      {"all four bullet characters", "- a\n\u2022 b\n* c\n\u00B7 d", {"a", "b", "c", "d"}},
      {"a marker with a line break after it", "1.\nPolo shirt", {"Polo shirt"}},
      {"crlf line ends are trimmed off the items", "1. Polo\r\n2. Cap\r\n", {"Polo", "Cap"}},
      {"crlf inside an item stays", "1. Polo\r\nred\r\n2. Cap", {"Polo\r\nred", "Cap"}},
  });
}

TEST(SegmentMarkers, WhatIsNotAMarker) {
  // No marker at all, and no product line: nothing in line mode either.
  expect_segments({
      {"a decimal number is not a numbered marker", "1.5 kg rice\nthanks",
       {"1.5 kg rice", "thanks"}},
      {"a number without a point or parenthesis", "12 Polo", {"12 Polo"}},
      {"a bullet needs white space after it", "\u2022Polo", {}},
      {"a marker must stand at a line start", "see item 1. Polo", {}},
  });
}

TEST(SegmentLines, PreambleItemsThenFooter) {
  expect_segments({
      {"footer switch stays on",
       "Dear supplier,\nWe need:\nPolo shirt 500 pcs\nT-shirt red\nPayment terms: 30% deposit\nThanks",
       {"Polo shirt 500 pcs", "T-shirt red"}},
      {"a footer before every product line ends the items first",
       "Lead time: 30 days\nPolo shirt 500 pcs", {}},
      {"unit glued to a digit is no whole word", "Rice 5kg", {}},
      {"unit as a whole word", "Rice 5 kg", {"Rice 5 kg"}},
      {"leading digit", "5kg rice", {"5kg rice"}},
      {"box alone is not a unit word", "Gift box", {}},
      {"boxes is", "Gift boxes", {"Gift boxes"}},
      {"unit words in any case", "Steel PALLETS", {"Steel PALLETS"}},
      {"no word boundary after a footer keyword", "Cap 5 pcs\nIncotermsxyz\nSocks 3 pcs",
       {"Cap 5 pcs"}},
      {"Payment without term is no footer", "Cap 5 pcs\nPayment: T/T", {"Cap 5 pcs", "Payment: T/T"}},
      {"footer keyword spellings",
       "Cap 5 pcs\nlead-time 3 weeks", {"Cap 5 pcs"}},
      {"port of discharge", "Cap 5 pcs\nPort  of\tdischarge: Hamburg", {"Cap 5 pcs"}},
      {"shipping terms", "Cap 5 pcs\nSHIPPING TERMS: FOB", {"Cap 5 pcs"}},
      {"blank and white-space lines are skipped", "Hello\n \n\t\nCap 5 pcs\n\n  Socks  \n",
       {"Cap 5 pcs", "Socks"}},
      {"crlf line ends give items without the carriage return",
       "Hello\r\nCap 5 pcs\r\nSocks\r\n", {"Cap 5 pcs", "Socks"}},
      {"lone carriage returns do not end lines", "Hello\rCap 5 pcs\rSocks",
       {"Hello\rCap 5 pcs\rSocks"}},
      {"empty document", "", {}},
      {"no markers and no product lines", "Hello\nWorld", {}},
  });
}

}  // namespace
}  // namespace tenderkit
