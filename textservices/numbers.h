// Locale-independent number reading and formatting.
//
//   read_decimal("1250.5") == 1250.5     read_decimal("١٢") == nullopt
//   format_fixed(1.25, 1) == "1.2"       format_fixed(2.5, 2) == "2.50"
//   format_count(1e30) == "18446744073709551615"
#ifndef BIDSIFT_TEXTSERVICES_NUMBERS_H_
#define BIDSIFT_TEXTSERVICES_NUMBERS_H_

#include <optional>
#include <string>
#include <string_view>

namespace textservices {

// Reads ASCII digits with at most one "." as the nearest 64-bit float.
// Anything else (other digits, signs, exponents, an empty text) gives
// nothing. A value too large for a double reads as +infinity.
std::optional<double> read_decimal(std::string_view digits);

// The pattern of a number as buyers write it, for use inside other pattern
// literals (it has no capture group of its own). Tried in this order:
//   thousands groups then a decimal of the other kind   «1,250.50» «1.000.000,5»
//   two or more thousands groups of one kind            «1,000,000» «1.000.000»
//   digits with at most one separator                   «2,000» «1.5» «1,5»
// A run of groups counts only where no further digit or separator-and-digit
// follows, so «1,000,0000» falls back to the last form.
#define BIDSIFT_NUMBER_PATTERN                                                 \
  R"((?:\d+(?:,\d{3})+\.\d+|\d+(?:\.\d{3})+,\d+|\d+(?:,\d{3}){2,}(?![.,]?\d))" \
  R"(|\d+(?:\.\d{3}){2,}(?![.,]?\d)|\d+(?:[.,]\d+)?))"

// How a lone "." followed by exactly three digits reads.
enum class DotGroups { Decimal, Thousands };

// Reads a number matched by BIDSIFT_NUMBER_PATTERN as a 64-bit float:
//   both kinds of separator: the last one is the decimal point, the others
//     group thousands («1.250,50» → 1250.5);
//   two or more of one kind: thousands («12,500,000» → 12500000);
//   one ",": a decimal comma before one or two final digits («1,5» → 1.5),
//     else a thousands separator («2,000» → 2000, «1,2345» → 12345);
//   one ".": a decimal point («50.000» → 50), except that with
//     DotGroups::Thousands a "." before exactly three final digits groups
//     thousands («50.000» → 50000).
// Digits other than ASCII 0-9 make the reading fail.
std::optional<double> read_number(std::string_view run, DotGroups dots = DotGroups::Decimal);

// Fixed-point text with exactly `decimals` digits after the point, rounding
// the double's exact value to nearest, ties to even. No exponent.
std::string format_fixed(double value, int decimals);

// A whole count as a decimal integer: the value converted to an unsigned
// 64-bit integer, saturating at both ends (NaN and negatives give 0).
std::string format_count(double value);

}  // namespace textservices

#endif  // BIDSIFT_TEXTSERVICES_NUMBERS_H_
