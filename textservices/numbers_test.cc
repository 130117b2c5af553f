#include "textservices/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace textservices {
namespace {

TEST(ReadDecimal, AsciiDigitsWithOnePoint) {
  EXPECT_EQ(read_decimal("1250"), 1250.0);
  EXPECT_EQ(read_decimal("1.5"), 1.5);
  EXPECT_EQ(read_decimal("0.1"), 0.1);
  EXPECT_EQ(read_decimal("007"), 7.0);
  EXPECT_FALSE(read_decimal("").has_value());
  EXPECT_FALSE(read_decimal("1.2.3").has_value());
  EXPECT_FALSE(read_decimal("-1").has_value());
  EXPECT_FALSE(read_decimal("1e5").has_value());
  EXPECT_FALSE(read_decimal("\u0661").has_value());
  EXPECT_FALSE(read_decimal("1.").has_value());
  EXPECT_TRUE(std::isinf(*read_decimal(std::string(400, '9'))));
  EXPECT_EQ(*read_decimal("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(FormatFixed, RoundsTheExactValueHalfToEven) {
  EXPECT_EQ(format_fixed(1.25, 1), "1.2");
  EXPECT_EQ(format_fixed(2.37, 1), "2.4");
  EXPECT_EQ(format_fixed(0.125, 2), "0.12");
  EXPECT_EQ(format_fixed(2.5, 2), "2.50");
  EXPECT_EQ(format_fixed(1e21, 1), "1000000000000000000000.0");
}

TEST(FormatCount, SaturatesAtTheUnsigned64BitRange) {
  EXPECT_EQ(format_count(3.0), "3");
  EXPECT_EQ(format_count(INFINITY), "18446744073709551615");
  EXPECT_EQ(format_count(1e30), "18446744073709551615");
  EXPECT_EQ(format_count(0.0), "0");
}

}  // namespace
}  // namespace textservices

namespace textservices {
namespace {

struct NumberCase {
  const char* text;
  DotGroups dots;
  std::optional<double> value;
};

TEST(ReadNumber, SeparatorsReadAsBuyersMeanThem) {
  const NumberCase cases[] = {
      {"1,000,000", DotGroups::Decimal, 1000000},
      {"1.000.000", DotGroups::Decimal, 1000000},
      {"12,500,000", DotGroups::Decimal, 12500000},
      {"1,250.50", DotGroups::Decimal, 1250.5},
      {"1.250,50", DotGroups::Decimal, 1250.5},
      {"2,500,000.75", DotGroups::Decimal, 2500000.75},
      {"1.000.000,5", DotGroups::Decimal, 1000000.5},
      {"1,5", DotGroups::Decimal, 1.5},
      {"2,25", DotGroups::Decimal, 2.25},
      {"2,000", DotGroups::Decimal, 2000},
      {"1,2345", DotGroups::Decimal, 12345},
      {"1.5", DotGroups::Decimal, 1.5},
      {"50.000", DotGroups::Decimal, 50},
      {"50.000", DotGroups::Thousands, 50000},
      {"1.200", DotGroups::Thousands, 1200},
      {"2.5", DotGroups::Thousands, 2.5},
      {"1.5000", DotGroups::Thousands, 1.5},
      {"7", DotGroups::Decimal, 7},
      {"\u0663", DotGroups::Decimal, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read_number(c.text, c.dots), c.value) << c.text;
  }
}

}  // namespace
}  // namespace textservices
