#include "tenderkit/src/item_normalizer.h"

#include <algorithm>
#include <cmath>

#include "textservices/numbers.h"
#include "textservices/regex.h"
#include "textservices/unicode.h"

namespace tenderkit {
namespace {

using textservices::DotGroups;
using textservices::LazyRegex;
using textservices::LowerMapped;
using textservices::Match;

// Text between runs of one to three asterisks: markdown bold and italics.
constinit LazyRegex RE_MARKDOWN_BOLD{R"(\*{1,3}([^*]+)\*{1,3})"};
constinit LazyRegex RE_PRODUCT_MARKER{R"((?i)^\s*product\s*:\s*)"};
constinit LazyRegex RE_SPEC_MARKER{R"((?i),?\s*spec\s*:\s*)"};
constinit LazyRegex RE_QTY_NA{R"((?i),?\s*qty\s*:\s*(?:n/a|nil|tbd|na)(?:\s+\w+)?)"};
// Group 1 the amount, group 2 the currency code.
constinit LazyRegex RE_PRICE{
    R"((?i)[,(]?\s*(?:target\s*[:=]?\s*|giá\s+mục\s+tiêu\s*|@\s*)()" BIDSIFT_NUMBER_PATTERN
    R"()\s*(USD|EUR|GBP|CNY|JPY|VND|SGD)?\s*(?:/[^\s,).]+)?\s*[.)]?)"};
// Group 1 the amount, group 2 the English unit word.
constinit LazyRegex RE_QTY{
    R"((?i),?\s*()" BIDSIFT_NUMBER_PATTERN
    R"()\s*(tons?|kg|kilograms?|pcs|pieces?|sets?|cartons?|drums?|reels?|pallets?|meters?|yards?|liters?|litres?|box|boxes|hundreds?|thousands?|rolls?|sheets?|20ft\s*fcl|fcl)\b\.?)"};
// Applied to lower-cased text only. The unit word must end a word, so
// «3 bóng» is no quantity of «bó».
constinit LazyRegex RE_QTY_VI{
    R"(,?\s*()" BIDSIFT_NUMBER_PATTERN R"()\s*(cái|bộ|tấn|thùng|bó|hộp|tấm|cuộn|kiện)\b)"};
// Applied to lower-cased text only. Group 1 the place name.
constinit LazyRegex RE_VI_ORIGIN{R"(xuất\s+xứ\s+([^\s,;:.()0-9][^,;:.()0-9]*))"};
constinit LazyRegex RE_EMPTY_PAREN{R"(\(\s*[,\s]*\)|\(\s*:\s*\))"};
// Group 1 one or more numbers joined by "x" or "×", with a unit.
constinit LazyRegex RE_INLINE_SPEC{
    R"((?i),?\s*()" BIDSIFT_NUMBER_PATTERN R"((?:\s*[xX×]\s*)" BIDSIFT_NUMBER_PATTERN
    R"()*\s*(?:mm|cm|m\b|oz|kg\b|ml\b|l\b|kw\b|mw\b|kva\b|v\b|ah\b|w\b|khz\b|hz\b|mhz\b|rpm\b|psi\b|mpa\b|bar\b|inch(?:es)?\b)))"};

struct Translation {
  std::string_view from;
  std::string_view to;
};

// Vietnamese unit word to English unit name: the nine words of RE_QTY_VI.
constexpr Translation VI_UNITS[] = {
    {"cái", "pcs"},
    {"bộ", "sets"},
    {"tấn", "tonnes"},
    {"thùng", "cartons"},
    {"bó", "bundles"},
    {"hộp", "boxes"},
    {"tấm", "sheets"},
    {"cuộn", "rolls"},
    {"kiện", "bales"},
};

// Vietnamese country name (lower-case) to English, searched in this order.
constexpr Translation VI_ORIGINS[] = {
    {"đức", "Germany"},
    {"trung quốc", "China"},
    {"tq", "China"},
    {"hàn quốc", "South Korea"},
    {"nhật bản", "Japan"},
    {"ấn độ", "India"},
    {"việt nam", "Vietnam"},
    {"vn", "Vietnam"},
    {"campuchia", "Cambodia"},
    {"thái lan", "Thailand"},
    {"đài loan", "Taiwan"},
    {"indonesia", "Indonesia"},
    {"malaysia", "Malaysia"},
    {"philippines", "Philippines"},
    {"myanmar", "Myanmar"},
    {"thổ nhĩ kỳ", "Turkey"},
    {"úc", "Australia"},
    {"mỹ", "USA"},
};

// English country names (lower-case), searched in this order.
constexpr std::string_view EN_ORIGINS[] = {
    "china",
    "vietnam",
    "indonesia",
    "india",
    "malaysia",
    "thailand",
    "south korea",
    "korea",
    "japan",
    "bangladesh",
    "cambodia",
    "philippines",
    "brazil",
    "germany",
    "turkey",
    "spain",
    "peru",
    "australia",
    "sri lanka",
    "myanmar",
    "pakistan",
    "taiwan",
};

bool is_letter_or_digit(char32_t c) {
  return textservices::is_alphabetic(c) || textservices::is_numeric(c);
}

bool letter_or_digit_at(std::string_view text, std::size_t pos) {
  return pos < text.size() && is_letter_or_digit(textservices::decode_at(text, pos, nullptr));
}

bool letter_or_digit_before(std::string_view text, std::size_t pos) {
  if (pos == 0) return false;
  std::size_t start = pos - 1;
  while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
  return letter_or_digit_at(text, start);
}

// Whether `key` occurs in `name` with no letter or digit right before or
// right after it.
bool contains_word(std::string_view name, std::string_view key) {
  for (std::size_t p = name.find(key); p != std::string_view::npos; p = name.find(key, p + 1)) {
    if (!letter_or_digit_before(name, p) && !letter_or_digit_at(name, p + key.size())) return true;
  }
  return false;
}

// Patterns and searches run on L, the lower-cased copy of the working text
// W, and their spans are cut from W. Lower-casing keeps the encoded length of
// ASCII and of every precomposed Vietnamese letter, but not of a few others
// (U+0130 İ becomes "i" and a combining dot; the Kelvin sign becomes "k";
// the Ohm sign becomes "ω"; U+1E9E ẞ becomes "ß"). So a span of L is mapped
// to W through `lower`: its start outward to the start of the source
// character, its end outward to the end of one. The cut never splits a
// character and never reaches past the end of W.
void cut(std::string* w, const LowerMapped& lower, std::size_t begin, std::size_t end) {
  std::size_t from = lower.source_begin(begin);
  std::size_t to = std::max(from, lower.source_end(end));
  w->erase(from, to - from);
}

std::string_view remove_trailing(std::string_view text, char c) {
  while (!text.empty() && text.back() == c) text.remove_suffix(1);
  return text;
}

void take_price(std::string* w, NormalizedItem* item) {
  auto m = RE_PRICE->find(*w);
  if (!m) return;
  if (m->has(2)) item->currency = textservices::to_upper(m->str(*w, 2));
  // Dots group thousands in dong amounts: «50.000 VND» is fifty thousand.
  DotGroups dots = item->currency == "VND" ? DotGroups::Thousands : DotGroups::Decimal;
  item->price = textservices::read_number(m->str(*w, 1), dots);
  std::string phrase(m->str(*w));
  w->erase(w->find(phrase), phrase.size());
}

std::optional<std::string_view> vi_unit_name(std::string_view word) {
  for (const auto& u : VI_UNITS) {
    if (u.from == word) return u.to;
  }
  return std::nullopt;
}

// The last English quantity phrase, or failing any, the last Vietnamese one.
void take_quantity(std::string* w, NormalizedItem* item) {
  LowerMapped lower(*w);
  const std::string& l = lower.text();
  std::optional<Match> last;
  RE_QTY->for_each(l, [&](const Match& m) { last = m; });
  const bool english = last.has_value();
  if (!english) RE_QTY_VI->for_each(l, [&](const Match& m) { last = m; });
  if (!last) return;

  std::string_view unit = textservices::trim(last->str(l, 2));
  if (english) {
    item->qty = textservices::read_number(last->str(l, 1), DotGroups::Decimal);
    item->uom = std::string(unit);
  } else {
    // Vietnamese writes thousands with dots: «3.000 thùng».
    item->qty = textservices::read_number(last->str(l, 1), DotGroups::Thousands);
    if (auto name = vi_unit_name(unit)) item->uom = std::string(*name);
  }
  std::string_view phrase = last->str(l);
  std::size_t p = l.rfind(phrase);
  cut(w, lower, p, p + phrase.size());
}

// «xuất xứ <place>»: a Vietnamese country name standing as a word of the
// place gives its English name; any other place is kept, capitalised.
bool take_vi_origin(std::string* w, NormalizedItem* item) {
  LowerMapped lower(*w);
  const std::string& l = lower.text();
  auto m = RE_VI_ORIGIN->find(l);
  if (!m) return false;
  std::string_view raw = textservices::trim(m->str(l, 1));
  item->origin = capitalize(raw);
  for (const auto& row : VI_ORIGINS) {
    if (contains_word(raw, row.from)) {
      item->origin = std::string(row.to);
      break;
    }
  }
  std::string_view phrase = m->str(l);
  std::size_t p = l.find(phrase);
  cut(w, lower, p, p + phrase.size());
  return true;
}

std::string concat(std::string_view a, std::string_view b, std::string_view c) {
  std::string out;
  out.reserve(a.size() + b.size() + c.size());
  out.append(a).append(b).append(c);
  return out;
}

// A Vietnamese country name opening a parenthesis: «(đức, …)» or «(đức)».
bool take_vi_paren_origin(std::string* w, NormalizedItem* item) {
  LowerMapped lower(*w);
  const std::string& l = lower.text();
  for (const auto& row : VI_ORIGINS) {
    std::string opening = concat("(", row.from, ",");
    if (std::size_t p = l.find(opening); p != std::string::npos) {
      item->origin = std::string(row.to);
      std::size_t from = lower.source_begin(p);
      std::size_t after = lower.source_end(p + opening.size());
      std::size_t close = w->find(')', after);
      if (close == std::string::npos) {
        w->erase(from, after - from);
        return true;
      }
      std::string_view inner = textservices::trim(std::string_view(*w).substr(after, close - after));
      std::string rest;
      if (!inner.empty() && inner != ",") {
        // The country leaves the parenthesis; the rest of it stays.
        while (!inner.empty() && inner.front() == ',') inner.remove_prefix(1);
        rest = concat("(", textservices::trim(inner), ")");
      }
      w->replace(from, close + 1 - from, rest);
      return true;
    }
    std::string whole = concat("(", row.from, ")");
    if (std::size_t p = l.find(whole); p != std::string::npos) {
      item->origin = std::string(row.to);
      cut(w, lower, p, p + whole.size());
      return true;
    }
  }
  return false;
}

// An English country name after ", " or "(", ending a word. Only the first
// occurrence of each form is considered.
bool take_en_origin(std::string* w, NormalizedItem* item) {
  LowerMapped lower(*w);
  const std::string& l = lower.text();
  for (std::string_view country : EN_ORIGINS) {
    for (std::string_view lead : {std::string_view(", "), std::string_view("(")}) {
      std::string form = concat(lead, country, "");
      std::size_t p = l.find(form);
      if (p == std::string::npos || letter_or_digit_at(l, p + form.size())) continue;
      item->origin = capitalize(country);
      std::size_t from = lower.source_begin(p);
      std::size_t to = lower.source_end(p + form.size());
      if (lead == "(") {
        // «(China)»: the closing parenthesis goes with the name.
        std::size_t q = to;
        while (q < w->size()) {
          std::size_t n = 0;
          if (!textservices::is_white_space(textservices::decode_at(*w, q, &n))) break;
          q += n;
        }
        if (q < w->size() && (*w)[q] == ')') to = q + 1;
      }
      w->erase(from, to - from);
      return true;
    }
  }
  return false;
}

// Takes out every inline dimension or rating, leftmost first.
void take_dims(std::string* w, NormalizedItem* item) {
  for (;;) {
    LowerMapped lower(*w);
    const std::string& l = lower.text();
    auto m = RE_INLINE_SPEC->find(l);
    if (!m) return;
    item->dims.emplace_back(textservices::trim(m->str(l, 1)));
    std::string_view phrase = m->str(l);
    std::size_t p = l.find(phrase);
    cut(w, lower, p, p + phrase.size());
  }
}

// The comma-separated pieces of `w`, trimmed, the empty ones dropped,
// joined by single spaces; then without trailing colons.
std::string describe(std::string_view w) {
  std::string out;
  std::size_t begin = 0;
  for (;;) {
    std::size_t comma = w.find(',', begin);
    std::size_t end = comma == std::string_view::npos ? w.size() : comma;
    std::string_view piece = textservices::trim(w.substr(begin, end - begin));
    if (!piece.empty()) {
      if (!out.empty()) out += ' ';
      out += piece;
    }
    if (comma == std::string_view::npos) break;
    begin = comma + 1;
  }
  return std::string(textservices::trim(remove_trailing(out, ':')));
}

// A whole quantity as an integer, any other with two decimals (ties to
// even).
std::string render_quantity(double q) {
  if (q - std::trunc(q) == 0) return textservices::format_count(q);
  return textservices::format_fixed(q, 2);
}

}  // namespace

std::string capitalize(std::string_view text) {
  if (text.empty()) return std::string();
  std::size_t n = 0;
  char32_t first = textservices::decode_at(text, 0, &n);
  return textservices::upper_char(first) + std::string(text.substr(n));
}

NormalizedItem normalize(std::string_view item_text) {
  NormalizedItem item;
  std::string w(textservices::trim(item_text));
  w = RE_MARKDOWN_BOLD->replace(w, "$1");
  w.resize(remove_trailing(w, '.').size());
  w = RE_PRODUCT_MARKER->replace(w, "", 1);
  w = RE_SPEC_MARKER->replace(w, ", ");
  w = RE_QTY_NA->replace(w, "");

  take_price(&w, &item);
  take_quantity(&w, &item);
  if (!take_vi_origin(&w, &item) && !take_vi_paren_origin(&w, &item)) take_en_origin(&w, &item);
  w = RE_EMPTY_PAREN->replace(w, "");
  take_dims(&w, &item);

  std::string description = describe(w);
  if (!item.qty) {
    item.text = std::move(description);
  } else {
    item.text = render_quantity(*item.qty) + " ";
    if (item.uom) item.text += *item.uom + " ";
    item.text += description;
  }
  return item;
}

}  // namespace tenderkit
