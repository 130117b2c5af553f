#include "phrasekit/src/parser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <string_view>
#include <utility>

#include "textservices/numbers.h"

namespace phrasekit {
namespace {

using Kind = Tag::Kind;

// clang-format off
// The canonical sizes in their natural order, one list per kind of size. A
// size range is filled in from the first list that holds both its ends.
constexpr std::string_view kLetterSizes[] = {
    "XXS",
    "XS",
    "S",
    "M",
    "L",
    "XL",
    "XXL",
    "XXXL",
    "2XL",
    "3XL",
    "4XL",
};

constexpr std::string_view kWordSizes[] = {
    "small",
    "medium",
    "large",
};

constexpr std::string_view kNumericSizes[] = {
    "27",
    "28",
    "29",
    "30",
    "31",
    "32",
    "33",
    "34",
    "35",
    "36",
    "37",
    "38",
    "39",
    "40",
    "41",
    "42",
    "43",
    "44",
    "45",
    "46",
};

constexpr std::string_view kPipeSizes[] = {
    "DN15",
    "DN20",
    "DN25",
    "DN32",
    "DN40",
    "DN50",
    "DN65",
    "DN80",
    "DN100",
    "DN150",
    "DN200",
    "DN300",
};

constexpr std::string_view kPipeSchedules[] = {
    "SCH10",
    "SCH40",
    "SCH80",
};

// clang-format on
constexpr std::array<std::span<const std::string_view>, 5> kSizeOrders = {
    kLetterSizes, kWordSizes, kNumericSizes, kPipeSizes, kPipeSchedules,
};

// Tokens after which a quantity belongs to what came before it.
bool names_something(const Tag& t) {
  return t.is(Kind::Color) || t.is(Kind::Size) || t.is(Kind::Material) || t.is(Kind::Word);
}

// Tokens that a connector joins as attribute values, not as products.
bool is_attribute(const Tag& t) { return t.kind >= Kind::ColorKeyword && t.kind <= Kind::Material; }

// Where the product group that starts at `s` ends: the start of the next
// group, or the end of the tokens. A group opens only at a quantity, and not
// at the far end of a range («100 đến 200»), nor right after a word or
// attribute value it belongs to («polo shirt 200 pcs»). While the current
// group names a product but has no quantity yet, a quantity with a unit
// joins it even across a connector («polo shirt, 200 pcs»). Groups are
// found one after another, so no list of starts is built.
std::size_t group_end(const Tokens& t, std::size_t s) {
  const std::size_t n = t.size();
  bool named = t[s].is(Kind::Ambiguous) || t[s].is(Kind::Word);  // since `s`
  bool has_qty = t[s].is(Kind::Qty);
  for (std::size_t i = s + 1; i < n; ++i) {
    if (t[i].is(Kind::Qty)) {
      const bool range_end = i >= 2 && t[i - 2].is(Kind::Qty) && t[i - 1].is(Kind::Connector) &&
                             (i + 1 == n || !t[i + 1].is(Kind::Qty));
      if (!range_end) {
        const bool follows_name = names_something(t[i - 1]);
        const bool start =
            named && !has_qty ? !t[i].unit.has_value() && !follows_name : !follows_name;
        if (start) return i;
      }
    }
    named = named || t[i].is(Kind::Ambiguous) || t[i].is(Kind::Word);
    has_qty = has_qty || t[i].is(Kind::Qty);
  }
  return n;
}

std::optional<std::string> unit_of(const Tag& t) {
  if (!t.unit) return std::nullopt;
  return std::string(unit_text(*t.unit));
}

// Replaces the size `low` (already listed) by the sizes from `low` to `high`.
void add_size_range(std::vector<std::string>& sizes, std::string_view low, std::string_view high) {
  std::erase(sizes, low);
  for (std::span<const std::string_view> order : kSizeOrders) {
    auto a = std::find(order.begin(), order.end(), low);
    auto b = std::find(order.begin(), order.end(), high);
    if (a == order.end() || b == order.end()) continue;
    if (b < a) std::swap(a, b);
    sizes.reserve(sizes.size() + static_cast<std::size_t>(b - a) + 1);
    for (auto it = a; it <= b; ++it) add_unique(sizes, std::string(*it));
    return;
  }
  add_unique(sizes, std::string(low));
  add_unique(sizes, std::string(high));
}

// Folds the tokens [s, e) into `g`, a new group. `pending` is empty and is
// left empty; the caller keeps it across groups to reuse its storage.
void fold(Tokens& t, std::size_t s, std::size_t e, std::vector<std::string>& pending, Group& g) {
  std::size_t i = s;
  if (t[s].is(Kind::Qty)) {
    g.qty = t[s].value;
    if (e - s >= 3 && t[s + 1].is(Kind::Connector) && t[s + 2].is(Kind::Qty)) {
      g.qty_max = t[s + 2].value;
      g.uom = t[s + 2].unit ? unit_of(t[s + 2]) : unit_of(t[s]);
      i = s + 3;
    } else {
      g.uom = unit_of(t[s]);
      i = s + 1;
    }
  }
  for (; i < e; ++i) {
    Tag& tag = t[i];
    switch (tag.kind) {
      case Kind::Qty:
        if (g.qty || !tag.unit) {
          add_unique(g.specs, format_spec_number(tag.value));
        } else {
          g.qty = tag.value;
          g.uom = unit_of(tag);
        }
        break;
      case Kind::Connector:
        if (tag.connector == ConnectorKind::To && i > s && i + 1 < e && t[i - 1].is(Kind::Size) &&
            t[i + 1].is(Kind::Size)) {
          add_size_range(g.sizes, t[i - 1].text, t[i + 1].text);
          ++i;
        } else if (i + 1 < e && is_attribute(t[i + 1])) {
          // «red, blue», «cotton or linen»: the connector joins values.
        } else {
          flush(g, pending, tag.connector);
        }
        break;
      case Kind::ColorKeyword:
      case Kind::SizeKeyword:
      case Kind::MaterialKeyword:
        flush(g, pending, ConnectorKind::NoConnector);
        break;
      case Kind::Color:
        add_unique(g.colors, std::move(tag.text));
        break;
      case Kind::Size:
        // Copied, not moved: a size range after it still reads this token.
        add_unique(g.sizes, tag.text);
        break;
      case Kind::Material:
        add_unique(g.materials, std::move(tag.text));
        break;
      case Kind::Gender:
        add_unique(g.genders, std::move(tag.text));
        break;
      case Kind::Standard:
        add_unique(g.standards, std::move(tag.text));
        break;
      case Kind::Ambiguous:
        add_unique(g.ambiguous, std::move(tag.text));
        break;
      case Kind::Word:
        pending.push_back(std::move(tag.text));
        break;
    }
  }
  flush(g, pending, ConnectorKind::NoConnector);
}

}  // namespace

void add_unique(std::vector<std::string>& list, std::string text) {
  if (std::find(list.begin(), list.end(), text) != list.end()) return;
  // Lists are short: room for a few spares the first growth steps.
  if (list.capacity() == 0) list.reserve(4);
  list.push_back(std::move(text));
}

void flush(Group& group, std::vector<std::string>& pending, ConnectorKind k) {
  if (!pending.empty()) {
    std::string text = std::move(pending.front());
    for (std::size_t i = 1; i < pending.size(); ++i) {
      text += ' ';
      text += pending[i];
    }
    pending.clear();
    group.chunks.push_back(Chunk{std::move(text), k});
    return;
  }
  if (k != ConnectorKind::NoConnector && !group.chunks.empty() &&
      group.chunks.back().connector == ConnectorKind::NoConnector) {
    group.chunks.back().connector = k;
  }
}

std::string format_spec_number(double value) {
  if (std::trunc(value) == value) return textservices::format_count(value);
  return textservices::format_fixed(value, 1);
}

std::vector<Group> build_groups(Tokens tokens) {
  std::vector<Group> groups;
  if (tokens.empty()) return groups;
  std::size_t count = 0;
  for (std::size_t s = 0; s < tokens.size(); s = group_end(tokens, s)) ++count;
  groups.reserve(count);
  std::vector<std::string> pending;
  for (std::size_t s = 0; s < tokens.size();) {
    const std::size_t end = group_end(tokens, s);
    // Folded in place, and dropped again if it has neither part.
    Group& g = groups.emplace_back();
    fold(tokens, s, end, pending, g);
    if (!g.qty && g.chunks.empty()) groups.pop_back();
    s = end;
  }
  return groups;
}

}  // namespace phrasekit
