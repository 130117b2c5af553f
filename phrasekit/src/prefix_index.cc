#include "phrasekit/src/prefix_index.h"

#include <algorithm>
#include <stdexcept>

#include "textservices/unicode.h"

namespace phrasekit {

bool starts_with_non_ascii_white_space(std::string_view text) {
  if (text.empty() || static_cast<unsigned char>(text[0]) < 0x80) return false;
  return textservices::is_white_space(textservices::decode_at(text, 0, nullptr));
}

PrefixIndex::PrefixIndex(std::span<const std::string_view> keys, Order order) : order_(order) {
  if (keys.size() > 0xFFFF) throw std::invalid_argument("PrefixIndex: too many keys");
  keys_.reserve(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::string_view k = keys[i];
    if (k.empty()) throw std::invalid_argument("PrefixIndex: empty key");
    Key key{};
    key.head = head_of(k);
    const std::size_t n = std::min<std::size_t>(k.size(), 8);
    std::memset(&key.mask, 0xFF, n);
    key.data = k.data();
    key.size = static_cast<std::uint32_t>(k.size());
    key.entry = static_cast<std::uint32_t>(i);
    keys_.push_back(key);
  }
  // By first byte, then as the order says; stable, so that keys that tie
  // keep their table order.
  std::stable_sort(keys_.begin(), keys_.end(), [order](const Key& a, const Key& b) {
    const unsigned char fa = static_cast<unsigned char>(a.data[0]);
    const unsigned char fb = static_cast<unsigned char>(b.data[0]);
    if (fa != fb) return fa < fb;
    return order == Order::LongestFirst && a.size > b.size;
  });
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    Bucket& b = buckets_[static_cast<unsigned char>(keys_[i].data[0])];
    if (b.begin == b.end) b.begin = static_cast<std::uint16_t>(i);
    b.end = static_cast<std::uint16_t>(i + 1);
  }
}

std::optional<PrefixIndex::Hit> PrefixIndex::longest_in_bucket(std::string_view rest) const {
  const std::span<const Key> candidates = starting_with(static_cast<unsigned char>(rest[0]));
  const std::uint64_t rest_head = head_of(rest);
  if (order_ == Order::LongestFirst) {
    // The first key that qualifies is the longest one.
    for (const Key& k : candidates) {
      if (k.starts(rest, rest_head) && is_boundary(rest.substr(k.size))) {
        return Hit{k.entry, k.size};
      }
    }
    return std::nullopt;
  }
  std::optional<Hit> best;
  for (const Key& k : candidates) {
    if ((!best || k.size > best->length) && k.starts(rest, rest_head) &&
        is_boundary(rest.substr(k.size))) {
      best = Hit{k.entry, k.size};
    }
  }
  return best;
}

PrefixIndexSet::PrefixIndexSet(std::span<const std::vector<std::string_view>> tables) {
  if (tables.size() > kMaxTables) throw std::invalid_argument("PrefixIndexSet: too many tables");
  std::vector<std::string_view> keys;
  for (std::size_t t = 0; t < tables.size(); ++t) {
    for (std::size_t e = 0; e < tables[t].size(); ++e) {
      keys.push_back(tables[t][e]);
      origins_.push_back(Origin{static_cast<std::uint16_t>(t), static_cast<std::uint16_t>(e)});
    }
  }
  // Keys of equal length stay in table order, and within a table in entry
  // order, so the first hit of each table is the one its own index gives.
  index_ = PrefixIndex(keys, PrefixIndex::Order::LongestFirst);
  all_tables_ = tables.empty() ? 0 : static_cast<std::uint32_t>((1u << tables.size()) - 1);
}

void PrefixIndexSet::fill(std::string_view rest, Hits& hits) const {
  const std::uint64_t rest_head = PrefixIndex::head_of(rest);
  for (const PrefixIndex::Key& k : index_.starting_with(static_cast<unsigned char>(rest[0]))) {
    const Origin origin = origins_[k.entry];
    const std::uint32_t bit = std::uint32_t{1} << origin.table;
    // Longest first: a table's first hit is its longest.
    if ((hits.found_ & bit) != 0 || !k.starts(rest, rest_head) ||
        !is_boundary(rest.substr(k.size))) {
      continue;
    }
    hits.found_ |= bit;
    hits.entry_[origin.table] = origin.entry;
    hits.length_[origin.table] = k.size;
    if (hits.found_ == all_tables_) return;
  }
}

}  // namespace phrasekit
