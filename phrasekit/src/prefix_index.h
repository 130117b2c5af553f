// Fast lookups of table keys at the start of a text, and the boundary rule
// that a match must satisfy at its end.
//
// A `PrefixIndex` groups the keys of one table by their first byte, so that
// a lookup compares only the keys that start with the text's first byte, and
// keeps each key's first eight bytes as one word, so that most comparisons
// are a single masked compare. It answers exactly what a plain walk over the
// table answers (see `Lexer::map_prefix` and `Lexer::list_match`, kept as the
// reference and compared against the index by the tests):
//
//   keys {"ab", "abc", "a"}:  longest("abc d") == Hit{1, 3}
//                             longest("ab-c")  == Hit{0, 2}
//                             longest("abcd")  == nothing (no boundary after)
//
// An index is immutable once built and safe for concurrent use by multiple
// threads. It refers to the keys' bytes, which must outlive it (the
// ontology's keys are constants of the program).
#ifndef BIDSIFT_PHRASEKIT_PREFIX_INDEX_H_
#define BIDSIFT_PHRASEKIT_PREFIX_INDEX_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace phrasekit {

// The byte length of the White_Space character beyond ASCII that `text`
// starts with, or 0.
std::size_t non_ascii_white_space_length(std::string_view text);

// The byte length of the White_Space character that `text` starts with, or
// 0 (also for an empty text). The ASCII ones are space and \t \n \v \f \r.
inline std::size_t white_space_length(std::string_view text) {
  if (text.empty()) return 0;
  const char c = text[0];
  if (static_cast<unsigned char>(c) < 0x80) return c == ' ' || (c >= '\t' && c <= '\r') ? 1 : 0;
  return non_ascii_white_space_length(text);
}

// Whether a match may end where `rest` begins: `rest` is empty or starts with
// white space or one of ! ) , - . / ?. Letters, digits and all other
// punctuation ("(" and "&" included) do not end a match.
inline bool is_boundary(std::string_view rest) {
  if (rest.empty()) return true;
  // All the ASCII boundary characters lie below 64: one bit each.
  constexpr std::uint64_t kAscii = (std::uint64_t{0x1F} << '\t') | (std::uint64_t{1} << ' ') |
                                   (std::uint64_t{1} << '!') | (std::uint64_t{1} << ')') |
                                   (std::uint64_t{0xF} << ',') | (std::uint64_t{1} << '?');
  const unsigned char c = static_cast<unsigned char>(rest[0]);
  if (c < 64) return (kAscii >> c) & 1;
  if (c < 0x80) return false;
  return non_ascii_white_space_length(rest) != 0;
}

class PrefixIndex {
 public:
  // The order in which a bucket holds its keys: longest first (keys of one
  // length in table order), for `longest`; or table order, for callers that
  // take the first key of the table that suits them.
  enum class Order { LongestFirst, AsListed };

  // One key: its bytes and its position in the table.
  struct Key {
    std::uint64_t head;  // the first (up to) eight bytes, zero-padded
    std::uint64_t mask;  // 0xFF over the bytes that `head` holds
    const char* data;
    std::uint32_t size;
    std::uint32_t entry;

    std::string_view text() const { return {data, size}; }
    // Whether `rest`, whose first eight bytes (zero-padded) are `rest_head`,
    // starts with this key. The padding is zero and the size test comes
    // next, so a key longer than `rest` never passes on the padding.
    bool starts(std::string_view rest, std::uint64_t rest_head) const {
      if ((rest_head & mask) != head || size > rest.size()) return false;
      return size <= 8 || std::memcmp(data + 8, rest.data() + 8, size - 8) == 0;
    }
  };

  // A key found at the start of a text: its table position and byte length.
  struct Hit {
    std::size_t entry;
    std::size_t length;
    bool operator==(const Hit&) const = default;
  };

  // An index with no keys: every lookup finds nothing.
  PrefixIndex() = default;
  // Indexes `keys` (their positions are the entries reported). Throws
  // std::invalid_argument on an empty key or on more than 65535 keys.
  PrefixIndex(std::span<const std::string_view> keys, Order order);

  // The longest key that `rest` starts with and after which `is_boundary`
  // holds; among keys of equal length, the first in the table. In either
  // order; `Order::LongestFirst` stops at the first key that qualifies.
  std::optional<Hit> longest(std::string_view rest) const {
    // Most texts start with a byte that no key of the table starts with.
    if (rest.empty() || !any_starting_with(static_cast<unsigned char>(rest[0]))) {
      return std::nullopt;
    }
    return longest_in_bucket(rest);
  }

  // The keys whose first byte is `byte`, in the index's order.
  std::span<const Key> starting_with(unsigned char byte) const {
    const Bucket b = buckets_[byte];
    return {keys_.data() + b.begin, keys_.data() + b.end};
  }
  // Whether some key starts with `byte`.
  bool any_starting_with(unsigned char byte) const {
    return buckets_[byte].begin != buckets_[byte].end;
  }

  // The first eight bytes of `text`, zero-padded, as `Key::starts` wants.
  static std::uint64_t head_of(std::string_view text) {
    std::uint64_t head = 0;
    if (text.size() >= 8) {
      std::memcpy(&head, text.data(), 8);
    } else {
      std::memcpy(&head, text.data(), text.size());
    }
    return head;
  }

 private:
  // `longest` for a non-empty `rest` whose first byte has keys.
  std::optional<Hit> longest_in_bucket(std::string_view rest) const;

  struct Bucket {
    std::uint16_t begin = 0;
    std::uint16_t end = 0;
  };
  Order order_ = Order::LongestFirst;
  std::array<Bucket, 256> buckets_{};
  std::vector<Key> keys_;
};

// The keys of several tables (at most 16) in one index, so that a single
// pass finds every table's longest key: for each table exactly what its own
// PrefixIndex (longest first) would answer. The pass is short because keys
// are grouped by their first two bytes, so that it compares only the keys
// that start with the text's first two bytes and the one-byte keys equal
// to its first byte. Immutable once built and safe for concurrent use; it
// refers to the keys' bytes, which must outlive it.
class PrefixIndexSet {
 public:
  static constexpr std::size_t kMaxTables = 16;

  // Each table's longest key at one position of a text.
  class Hits {
   public:
    // Table `table`'s hit (`table` < kMaxTables), or nothing.
    std::optional<PrefixIndex::Hit> operator[](std::size_t table) const {
      if (((found_ >> table) & 1) == 0) return std::nullopt;
      return PrefixIndex::Hit{entry_[table], length_[table]};
    }
    bool any() const { return found_ != 0; }

   private:
    friend class PrefixIndexSet;
    std::uint32_t found_ = 0;  // bit t: table t has a hit
    // Set only where `found_` has the table's bit.
    std::array<std::uint16_t, kMaxTables> entry_;
    std::array<std::uint32_t, kMaxTables> length_;
  };

  // A set of no tables: every lookup finds nothing.
  PrefixIndexSet() = default;
  // Indexes the tables, numbered by their position in `tables`. Throws
  // std::invalid_argument on an empty key, on more than 16 tables, on more
  // than 65535 keys in all or on more than 65535 keys in one table.
  explicit PrefixIndexSet(std::span<const std::vector<std::string_view>> tables);

  Hits longest(std::string_view rest) const {
    Hits hits;
    if (rest.empty()) return hits;
    const unsigned char first = static_cast<unsigned char>(rest[0]);
    Range pairs{};
    if (rest.size() >= 2 && second_index_[first] != 0) {
      pairs = second_[second_index_[first] - 1][static_cast<unsigned char>(rest[1])];
    }
    const Range singles = singles_[first];
    if (pairs.begin != pairs.end || singles.begin != singles.end) fill(rest, pairs, singles, hits);
    return hits;
  }

 private:
  struct Key {
    std::uint64_t head;  // as PrefixIndex::Key
    std::uint64_t mask;
    const char* data;
    std::uint32_t size;
    std::uint16_t table;
    std::uint16_t entry;
  };
  // Positions [begin, end) of `keys_`.
  struct Range {
    std::uint16_t begin = 0;
    std::uint16_t end = 0;
  };

  // Longest first: the keys of `pairs`, then the shorter one-byte keys.
  void fill(std::string_view rest, Range pairs, Range singles, Hits& hits) const;

  // Sorted by first byte, then second byte (one-byte keys apart), then
  // longest first, keys of equal length in table and entry order.
  std::vector<Key> keys_;
  // By first byte: its one-byte keys.
  std::array<Range, 256> singles_{};
  // By first byte: 0, or 1 + the row of `second_` that holds the keys of
  // two bytes or more that start with it, by second byte.
  std::array<std::uint16_t, 256> second_index_{};
  std::vector<std::array<Range, 256>> second_;
  std::uint32_t all_tables_ = 0;
};

}  // namespace phrasekit

#endif  // BIDSIFT_PHRASEKIT_PREFIX_INDEX_H_
