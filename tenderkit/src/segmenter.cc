#include "tenderkit/src/segmenter.h"

#include "textservices/unicode.h"

namespace tenderkit {
namespace {

using textservices::Match;
using textservices::Regex;
using textservices::trim;

void append_trimmed(std::string_view piece, std::vector<std::string>* out) {
  std::string_view t = trim(piece);
  if (!t.empty()) out->emplace_back(t);
}

// Cuts at every match of `marker`: an item runs from the end of one marker
// to the start of the next, the last one to the end of the document. The
// text before the first marker and the markers themselves are dropped.
std::vector<std::string> cut_at_markers(std::string_view document, const Regex& marker) {
  std::vector<std::string> items;
  bool seen = false;
  std::size_t item_begin = 0;
  marker.for_each(document, [&](const Match& m) {
    if (seen) append_trimmed(document.substr(item_begin, m.whole().begin - item_begin), &items);
    seen = true;
    item_begin = m.whole().end;
  });
  if (seen) append_trimmed(document.substr(item_begin), &items);
  return items;
}

// One item per trimmed line from the first product line on, until the first
// footer line; both switches stay on once thrown. Lines end at a line feed;
// a carriage return right before it is white space and goes with the trim,
// a lone one does not end a line.
std::vector<std::string> cut_at_lines(std::string_view document) {
  std::vector<std::string> items;
  bool in_footer = false;
  bool items_started = false;
  std::size_t begin = 0;
  while (begin < document.size() && !in_footer) {
    std::size_t end = document.find('\n', begin);
    if (end == std::string_view::npos) end = document.size();
    std::string_view line = document.substr(begin, end - begin);
    begin = end + 1;
    line = trim(line);
    if (line.empty()) continue;
    if (RE_FOOTER_LINE->test(line)) {
      in_footer = true;  // every later line is a footer line too
    } else if (items_started || RE_PRODUCT_LINE->test(line)) {
      items_started = true;
      items.emplace_back(line);
    }
  }
  return items;
}

}  // namespace

std::vector<std::string> segment(std::string_view document) {
  if (RE_NUMBERED->test(document)) return cut_at_markers(document, RE_NUMBERED.get());
  if (RE_BULLET->test(document)) return cut_at_markers(document, RE_BULLET.get());
  return cut_at_lines(document);
}

}  // namespace tenderkit
