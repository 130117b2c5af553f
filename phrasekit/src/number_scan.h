// Where a number as buyers write it («1,5», «2,000», «1.000.000»,
// «1,250.50») ends, at the start of a text: the match of
// BIDSIFT_NUMBER_PATTERN anchored there.
//
//   number_length("2,000 pcs") == 5     number_length("1,000,0000") == 5
//   number_length("1.5kg") == 3         number_length("x1") == nothing
//
// `number_length` reads ASCII text by hand and hands any text in which it
// would have to look at a byte beyond ASCII (a digit of another script may
// be there) to the pattern, so both always agree; the tests compare them.
// Both are pure and safe for concurrent use.
#ifndef BIDSIFT_PHRASEKIT_NUMBER_SCAN_H_
#define BIDSIFT_PHRASEKIT_NUMBER_SCAN_H_

#include <cstddef>
#include <optional>
#include <string_view>

#include "textservices/numbers.h"

namespace phrasekit {

// Whether a number may start with the byte `first`: an ASCII digit, or the
// lead byte of a character beyond ASCII (digits of other scripts). For any
// other byte `number_length` finds nothing.
constexpr bool may_start_number(unsigned char first) {
  return (first >= '0' && first <= '9') || first >= 0x80;
}

// The byte length of the number at the start of `rest` (valid UTF-8), or
// nothing when `rest` does not start with a decimal digit.
std::optional<std::size_t> number_length(std::string_view rest);

// The same answer, always from the compiled pattern: the reference.
std::optional<std::size_t> number_length_by_pattern(std::string_view rest);

// The value of a number that `number_length` found, exactly as
// textservices::read_number reads it: a run of up to 15 ASCII digits with
// separators is computed directly (as one correctly rounded division), any
// other number by read_number.
std::optional<double> number_value(std::string_view run, textservices::DotGroups dots);

}  // namespace phrasekit

#endif  // BIDSIFT_PHRASEKIT_NUMBER_SCAN_H_
