#include "textservices/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace textservices {

std::optional<double> read_decimal(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  bool seen_point = false;
  for (char c : digits) {
    if (c == '.') {
      if (seen_point) return std::nullopt;
      seen_point = true;
    } else if (c < '0' || c > '9') {
      return std::nullopt;
    }
  }
  if (digits.front() == '.' || digits.back() == '.') return std::nullopt;
  double value = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                   std::chars_format::fixed);
  if (ec == std::errc::result_out_of_range) {
    // Too many digits before the point overflow; a tiny fraction underflows.
    std::string_view whole = digits.substr(0, digits.find('.'));
    bool big = whole.find_first_not_of('0') != std::string_view::npos;
    return big ? std::numeric_limits<double>::infinity() : 0.0;
  }
  if (ec != std::errc() || ptr != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<double> read_number(std::string_view run, DotGroups dots) {
  std::size_t commas = 0, points = 0, last_sep = std::string_view::npos;
  for (std::size_t i = 0; i < run.size(); ++i) {
    if (run[i] == ',' || run[i] == '.') {
      (run[i] == ',' ? commas : points) += 1;
      last_sep = i;
    }
  }
  std::string digits;
  digits.reserve(run.size());
  const std::size_t tail = last_sep == std::string_view::npos ? 0 : run.size() - last_sep - 1;
  const bool single = commas + points == 1;
  // The one separator that is a decimal point, if any.
  std::size_t decimal_at = std::string_view::npos;
  if (commas > 0 && points > 0) {
    decimal_at = last_sep;
  } else if (single && commas == 1) {
    if (tail == 1 || tail == 2) decimal_at = last_sep;
  } else if (single && points == 1) {
    if (!(dots == DotGroups::Thousands && tail == 3)) decimal_at = last_sep;
  }
  for (std::size_t i = 0; i < run.size(); ++i) {
    char c = run[i];
    if (c == ',' || c == '.') {
      if (i == decimal_at) digits.push_back('.');
    } else {
      digits.push_back(c);
    }
  }
  return read_decimal(digits);
}

std::string format_fixed(double value, int decimals) {
  // The longest double is about 309 digits before the point.
  char buf[400];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return std::string();
  return std::string(buf, ptr);
}

std::string format_count(double value) {
  uint64_t n = 0;
  if (value >= 18446744073709551616.0) {
    n = std::numeric_limits<uint64_t>::max();
  } else if (value > 0) {
    n = static_cast<uint64_t>(value);
  }
  return std::to_string(n);
}

}  // namespace textservices
