#include "phrasekit/src/prefix_index.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "textservices/unicode.h"

namespace phrasekit {

std::size_t non_ascii_white_space_length(std::string_view text) {
  if (text.empty()) return 0;
  // Every White_Space character beyond ASCII is U+0085, U+00A0 (lead byte
  // C2), U+1680 (E1 9A), U+2000..U+205F (E2 80, E2 81) or U+3000 (E3 80);
  // the first two bytes rule out all other characters without decoding.
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  const unsigned char next = text.size() > 1 ? static_cast<unsigned char>(text[1]) : 0;
  const bool may_be = lead == 0xC2 || (lead == 0xE1 && next == 0x9A) ||
                      (lead == 0xE2 && (next == 0x80 || next == 0x81)) ||
                      (lead == 0xE3 && next == 0x80);
  if (!may_be) return 0;
  std::size_t length = 0;
  return textservices::is_white_space(textservices::decode_at(text, 0, &length)) ? length : 0;
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
  for (std::size_t t = 0; t < tables.size(); ++t) {
    if (tables[t].size() > 0xFFFF) throw std::invalid_argument("PrefixIndexSet: table too large");
    for (std::size_t e = 0; e < tables[t].size(); ++e) {
      const std::string_view k = tables[t][e];
      if (k.empty()) throw std::invalid_argument("PrefixIndexSet: empty key");
      Key key{};
      key.head = PrefixIndex::head_of(k);
      std::memset(&key.mask, 0xFF, std::min<std::size_t>(k.size(), 8));
      key.data = k.data();
      key.size = static_cast<std::uint32_t>(k.size());
      key.table = static_cast<std::uint16_t>(t);
      key.entry = static_cast<std::uint16_t>(e);
      keys_.push_back(key);
    }
  }
  if (keys_.size() > 0xFFFF) throw std::invalid_argument("PrefixIndexSet: too many keys");
  // The second byte, or 256 for a one-byte key.
  auto second = [](const Key& k) {
    return k.size >= 2 ? static_cast<unsigned>(static_cast<unsigned char>(k.data[1])) : 256u;
  };
  auto first = [](const Key& k) { return static_cast<unsigned char>(k.data[0]); };
  // Stable: keys that tie stay in table and entry order.
  std::stable_sort(keys_.begin(), keys_.end(), [&](const Key& a, const Key& b) {
    if (first(a) != first(b)) return first(a) < first(b);
    if (second(a) != second(b)) return second(a) < second(b);
    return a.size > b.size;
  });
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    const Key& k = keys_[i];
    Range* range;
    if (k.size == 1) {
      range = &singles_[first(k)];
    } else {
      std::uint16_t& row = second_index_[first(k)];
      if (row == 0) {
        second_.emplace_back();
        row = static_cast<std::uint16_t>(second_.size());
      }
      range = &second_[row - 1][second(k)];
    }
    if (range->begin == range->end) range->begin = static_cast<std::uint16_t>(i);
    range->end = static_cast<std::uint16_t>(i + 1);
  }
  all_tables_ = static_cast<std::uint32_t>((std::uint64_t{1} << tables.size()) - 1);
}

void PrefixIndexSet::fill(std::string_view rest, Range pairs, Range singles, Hits& hits) const {
  const std::uint64_t rest_head = PrefixIndex::head_of(rest);
  for (Range range : {pairs, singles}) {
    for (std::size_t i = range.begin; i < range.end; ++i) {
      const Key& k = keys_[i];
      // The padding of `rest_head` is zero and the size test comes next, so
      // a key longer than `rest` never passes on the padding.
      if ((rest_head & k.mask) != k.head || k.size > rest.size() ||
          (k.size > 8 && std::memcmp(k.data + 8, rest.data() + 8, k.size - 8) != 0)) {
        continue;
      }
      // Longest first: a table's first hit is its longest.
      const std::uint32_t bit = std::uint32_t{1} << k.table;
      if ((hits.found_ & bit) != 0 || !is_boundary(rest.substr(k.size))) continue;
      hits.found_ |= bit;
      hits.entry_[k.table] = k.entry;
      hits.length_[k.table] = k.size;
      if (hits.found_ == all_tables_) return;
    }
  }
}

}  // namespace phrasekit
