#include "phrasekit/src/number_scan.h"

#include <cstdint>

#include "textservices/numbers.h"
#include "textservices/regex.h"
#include "textservices/unicode.h"

namespace phrasekit {
namespace {

// A number as buyers write it, anchored at the current position.
constinit const textservices::LazyRegex QTY_RE{"^(" BIDSIFT_NUMBER_PATTERN ")"};

// The pattern's alternatives, tried in its order over ASCII text, where its
// \d is [0-9]. Every byte looked at goes through `at`, which notes whether
// one was beyond ASCII; the caller then discards the answer.
class AsciiNumber {
 public:
  explicit AsciiNumber(std::string_view text) : text_(text) {}

  bool saw_non_ascii() const { return non_ascii_; }

  std::optional<std::size_t> length() {
    const std::size_t run = digits(0);
    if (run == 0) return std::nullopt;
    const Groups commas = groups(run, ',');
    const Groups dots = groups(run, '.');
    // \d+(?:,\d{3})+\.\d+ and \d+(?:\.\d{3})+,\d+: with fewer groups the
    // next byte is the group separator, not the decimal one, so only the
    // longest run of groups can be followed by the decimal part.
    if (commas.count >= 1 && at(commas.end) == '.' && digit(commas.end + 1)) {
      return digits(commas.end + 1);
    }
    if (dots.count >= 1 && at(dots.end) == ',' && digit(dots.end + 1)) {
      return digits(dots.end + 1);
    }
    // \d+(?:,\d{3}){2,}(?![.,]?\d) and the same with dots: with fewer groups
    // a separator and a digit follow, which the look-ahead refuses.
    if (commas.count >= 2 && !digit_follows(commas.end)) return commas.end;
    if (dots.count >= 2 && !digit_follows(dots.end)) return dots.end;
    // \d+(?:[.,]\d+)?
    const int c = at(run);
    if ((c == '.' || c == ',') && digit(run + 1)) return digits(run + 1);
    return run;
  }

 private:
  struct Groups {
    std::size_t count;
    std::size_t end;
  };

  // The byte at `i`, or -1 past the end.
  int at(std::size_t i) {
    if (i >= text_.size()) return -1;
    const unsigned char c = static_cast<unsigned char>(text_[i]);
    if (c >= 0x80) non_ascii_ = true;
    return c;
  }
  bool digit(std::size_t i) {
    const int c = at(i);
    return c >= '0' && c <= '9';
  }
  // The end of the run of digits from `i`.
  std::size_t digits(std::size_t i) {
    while (digit(i)) ++i;
    return i;
  }
  // As many `sep` + three digits as follow `i`, greedily.
  Groups groups(std::size_t i, char sep) {
    Groups g{0, i};
    while (at(g.end) == sep && digit(g.end + 1) && digit(g.end + 2) && digit(g.end + 3)) {
      g.end += 4;
      ++g.count;
    }
    return g;
  }
  // [.,]?\d at `i`.
  bool digit_follows(std::size_t i) {
    const int c = at(i);
    return digit(i) || ((c == '.' || c == ',') && digit(i + 1));
  }

  std::string_view text_;
  bool non_ascii_ = false;
};

}  // namespace

std::optional<std::size_t> number_length_by_pattern(std::string_view rest) {
  std::optional<textservices::Match> m = QTY_RE->find(rest);
  if (!m) return std::nullopt;
  return m->whole().end;
}

std::optional<std::size_t> number_length(std::string_view rest) {
  // The pattern's \d is a decimal digit (Nd), a kind of numeric character:
  // a text that starts with any other character beyond ASCII holds none.
  if (!rest.empty() && static_cast<unsigned char>(rest[0]) >= 0x80 &&
      !textservices::is_numeric(textservices::decode_at(rest, 0, nullptr))) {
    return std::nullopt;
  }
  AsciiNumber number(rest);
  std::optional<std::size_t> length = number.length();
  if (number.saw_non_ascii()) return number_length_by_pattern(rest);
  return length;
}

std::optional<double> number_value(std::string_view run, textservices::DotGroups dots) {
  std::size_t commas = 0, points = 0, last_sep = 0, digits = 0;
  std::uint64_t m = 0;  // all digits, separators dropped
  for (std::size_t i = 0; i < run.size(); ++i) {
    const char c = run[i];
    if (c >= '0' && c <= '9') {
      m = m * 10 + static_cast<std::uint64_t>(c - '0');
      ++digits;
    } else if (c == ',' || c == '.') {
      (c == ',' ? commas : points) += 1;
      last_sep = i;
    } else {
      return textservices::read_number(run, dots);
    }
  }
  // Up to 15 digits make an integer below 2^53 and 10^15 is a double too,
  // so m / 10^k is one correctly rounded division: the double nearest to
  // the decimal, which is what reading its text gives.
  if (digits == 0 || digits > 15) return textservices::read_number(run, dots);
  if (commas + points == 0) return static_cast<double>(m);
  // Which separator is the decimal point, by read_number's rules: with both
  // kinds the last one; a lone "," before one or two final digits; a lone
  // "." unless dots group thousands and three digits follow it. Only
  // digits follow the last separator.
  const std::size_t tail = run.size() - last_sep - 1;
  bool decimal = false;
  if (commas > 0 && points > 0) {
    decimal = true;
  } else if (commas + points == 1) {
    decimal = commas == 1 ? tail == 1 || tail == 2
                          : !(dots == textservices::DotGroups::Thousands && tail == 3);
  }
  if (!decimal) return static_cast<double>(m);
  // A point with no digit on one side does not read.
  if (tail == 0 || tail == digits) return std::nullopt;
  constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  return static_cast<double>(m) / kPowers[tail];
}

}  // namespace phrasekit
