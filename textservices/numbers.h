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

// Fixed-point text with exactly `decimals` digits after the point, rounding
// the double's exact value to nearest, ties to even. No exponent.
std::string format_fixed(double value, int decimals);

// A whole count as a decimal integer: the value converted to an unsigned
// 64-bit integer, saturating at both ends (NaN and negatives give 0).
std::string format_count(double value);

}  // namespace textservices

#endif  // BIDSIFT_TEXTSERVICES_NUMBERS_H_
