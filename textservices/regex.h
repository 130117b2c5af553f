// Regular expressions over UTF-8 text, backed by PCRE2 (UTF, UCP, JIT).
//
// Every pattern of the system is a fixed literal held in a `LazyRegex`
// global: it is compiled on first use (safely under concurrent first use)
// and is immutable afterwards, so any number of threads may match with it.
//
// Character classes have these meanings, whatever PCRE2's own UCP tables
// say (the pattern text is rewritten before it is compiled):
//   \d  a Unicode decimal digit (Nd)
//   \s  a Unicode White_Space character
//   \w  a Unicode letter, mark, decimal digit or connector punctuation
//   \b  a boundary between a \w and a non-\w character, or a text end
// "$" without (?m) matches only at the very end of the text, and lines are
// separated by "\n" alone.
//
// Texts must be valid UTF-8 (the pipelines repair their input once on
// entry); positions are byte offsets on character boundaries.
//
// A matching failure other than "no match" (a resource limit, a JIT stack
// overflow) throws `RegexError`; it is never reported as a missed match.
// Matching allocates nothing on the hot path: each thread keeps one reusable
// match block.
//
//   static constinit LazyRegex RE_NUM{R"(\d+)"};
//   auto m = RE_NUM->find("ab 12 cd");          // m->whole() == {3, 5}
//   RE_NUM->replace("a1b22", "<$0>");          // "a<1>b<22>"
#ifndef BIDSIFT_TEXTSERVICES_REGEX_H_
#define BIDSIFT_TEXTSERVICES_REGEX_H_

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace textservices {

// A run-time matching failure: anything the engine reports other than a
// successful match or "no match".
class RegexError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A byte range [begin, end) of the subject. A default Span is absent: the
// group it stands for took no part in the match (distinct from empty).
struct Span {
  static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
  std::size_t begin = kAbsent;
  std::size_t end = kAbsent;

  bool present() const { return begin != kAbsent; }
  std::size_t size() const { return end - begin; }
  bool operator==(const Span&) const = default;
};

// The most capture groups a pattern of the system may have.
inline constexpr std::size_t kMaxGroups = 9;

// One match: span 0 is the whole match, spans 1..group_count the groups.
class Match {
 public:
  Span whole() const { return spans_[0]; }
  // Group i's span; absent for a group that did not take part, or for an i
  // beyond the pattern's groups.
  Span group(std::size_t i) const { return i <= group_count_ ? spans_[i] : Span{}; }
  bool has(std::size_t i) const { return group(i).present(); }
  // The text of group i within `subject`; empty when absent.
  std::string_view str(std::string_view subject, std::size_t i = 0) const {
    Span s = group(i);
    return s.present() ? subject.substr(s.begin, s.size()) : std::string_view{};
  }
  std::size_t group_count() const { return group_count_; }

 private:
  friend class Regex;
  std::array<Span, kMaxGroups + 1> spans_{};
  std::size_t group_count_ = 0;
};

// A compiled pattern. Construct once and share; all methods are const and
// safe for concurrent use by multiple threads.
class Regex {
 public:
  static constexpr std::size_t kAll = static_cast<std::size_t>(-1);
  using Replacer = std::function<std::string(const Match&, std::string_view subject)>;

  // Compiles `pattern`; throws std::logic_error if it does not compile (a
  // programming error, since every pattern is a literal).
  explicit Regex(std::string_view pattern);
  ~Regex();
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;

  // Whether the pattern matches anywhere in `text`.
  bool test(std::string_view text) const;

  // The leftmost match at or after byte offset `start`, or nothing.
  std::optional<Match> find(std::string_view text, std::size_t start = 0) const;

  // Calls `fn(const Match&)` for each non-overlapping match, left to right.
  // After an empty match the next search starts one character further on.
  // If `fn` returns bool, returning false stops the iteration.
  template <class Fn>
  void for_each(std::string_view text, Fn&& fn) const;

  // Replaces the first `limit` matches (all by default) by `tmpl`, in which
  // "$N" or "${N}" stands for group N (absent gives "") and "$$" for "$".
  std::string replace(std::string_view text, std::string_view tmpl, std::size_t limit = kAll) const;
  // As above, with each replacement computed by `fn` from the match.
  std::string replace(std::string_view text, const Replacer& fn, std::size_t limit = kAll) const;

  std::size_t group_count() const { return group_count_; }
  // The pattern as it was given (before class rewriting).
  const std::string& pattern() const { return pattern_; }

 private:
  // One match attempt from `start`; false on no match, throws on failure.
  bool match_at(std::string_view text, std::size_t start, Match* m) const;

  std::string pattern_;
  void* code_ = nullptr;  // pcre2_code_8*
  std::size_t group_count_ = 0;
  // For a pattern that is an alternation at its top level, each alternative
  // compiled on its own. A match test over the alternatives one by one gives
  // the same answer, and each alternative keeps the engine's start-of-match
  // optimisations (a literal first character, a line start) that the
  // alternation as a whole loses.
  std::vector<std::unique_ptr<Regex>> alternatives_;
};

// Where the next search starts after match `m` in `text`: its end, or one
// character further on after an empty match.
std::size_t next_search_start(std::string_view text, const Match& m);

template <class Fn>
void Regex::for_each(std::string_view text, Fn&& fn) const {
  std::size_t pos = 0;
  Match m;
  while (pos <= text.size() && match_at(text, pos, &m)) {
    if constexpr (std::is_same_v<decltype(fn(m)), bool>) {
      if (!fn(m)) return;
    } else {
      fn(m);
    }
    pos = next_search_start(text, m);
  }
}

// A pattern literal compiled on first use. `constinit`-constructible, so a
// global costs nothing until it is first matched; the compiled Regex then
// lives until the process ends.
class LazyRegex {
 public:
  constexpr explicit LazyRegex(const char* pattern) : pattern_(pattern) {}
  LazyRegex(const LazyRegex&) = delete;
  LazyRegex& operator=(const LazyRegex&) = delete;

  const Regex& get() const {
    std::call_once(once_, [this] { compiled_ = new Regex(pattern_); });
    return *compiled_;
  }
  const Regex* operator->() const { return &get(); }
  const char* pattern() const { return pattern_; }

 private:
  const char* pattern_;
  mutable std::once_flag once_;
  mutable const Regex* compiled_ = nullptr;
};

// The pattern text that is handed to PCRE2 for `pattern`: \d, \s, \w, \b
// (and their negations) rewritten to explicit classes and look-arounds.
// Exposed for tests.
std::string rewrite_classes(std::string_view pattern);

// The top-level alternatives of `pattern`, each with the pattern's leading
// inline options (such as "(?mi)") in front; empty when the pattern is no
// top-level alternation or when splitting could change its meaning (an
// option setting elsewhere at the top level). Exposed for tests.
std::vector<std::string> split_alternatives(std::string_view pattern);

}  // namespace textservices

#endif  // BIDSIFT_TEXTSERVICES_REGEX_H_
