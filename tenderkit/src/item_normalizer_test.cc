#include "tenderkit/src/item_normalizer.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tenderkit {

// Readable failure output for whole records.
void PrintTo(const NormalizedItem& n, std::ostream* os) {
  auto opt = [os](const auto& v) {
    if (v) {
      *os << *v;
    } else {
      *os << "-";
    }
  };
  *os << "{text \"" << n.text << "\", qty ";
  opt(n.qty);
  *os << ", uom ";
  opt(n.uom);
  *os << ", price ";
  opt(n.price);
  *os << ", currency ";
  opt(n.currency);
  *os << ", origin ";
  opt(n.origin);
  *os << ", dims [";
  for (const auto& d : n.dims) *os << '"' << d << "\" ";
  *os << "]}";
}

namespace {

// The expected record; fields left out of a case are absent or empty.
struct Want {
  std::string text = "";
  std::optional<double> qty = std::nullopt;
  std::optional<std::string> uom = std::nullopt;
  std::optional<double> price = std::nullopt;
  std::optional<std::string> currency = std::nullopt;
  std::optional<std::string> origin = std::nullopt;
  std::vector<std::string> dims = {};

  NormalizedItem item() const { return {text, qty, uom, price, currency, origin, dims}; }
};

struct NormCase {
  const char* input;
  Want want;
};

void expect_normalized(const std::vector<NormCase>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(normalize(c.input), c.want.item()) << "input: " << c.input;
  }
}

TEST(Normalize, CleansFormattingAndLabels) {
  expect_normalized({
      {"", {}},
      {" \n\t\u00A0", {}},
      {"Product: **Cotton T-shirt**, white, 500 pcs.",
       {.text = "500 pcs Cotton T-shirt white", .qty = 500, .uom = "pcs"}},
      {"*Cap* and ***Hat***", {.text = "Cap and Hat"}},
      {"Cap * red", {.text = "Cap * red"}},  // a lone asterisk stays
      {"Cap...", {.text = "Cap"}},
      {"  PRODUCT :  Cap", {.text = "Cap"}},
      {"Cap product: x", {.text = "Cap product: x"}},  // the label counts only at the start
      {"Valve spec: DN50, PN16", {.text = "Valve DN50 PN16"}},
      {"Valve,SPEC : DN50", {.text = "Valve DN50"}},
      {"Bolts, qty: TBD", {.text = "Bolts"}},
      {"Bolts, Qty: n/a pcs, zinc", {.text = "Bolts zinc"}},
      {"Cable, (), red:", {.text = "Cable red"}},
      {"Pipe ( : ) ( , ), steel", {.text = "Pipe steel"}},
      {"Items::", {.text = "Items"}},
      {"Cap, 200 pcs\nPayment terms: T/T",
       {.text = "200 pcs Cap\nPayment terms: T/T", .qty = 200, .uom = "pcs"}},
  });
}

TEST(Normalize, TakesTheTargetPrice) {
  expect_normalized({
      {"Steel pipe, target 1,250 USD/pc",
       {.text = "Steel pipe", .price = 1250, .currency = "USD"}},
      {"Product: **Cotton T-shirt**, white, 500 pcs, target 3 USD",
       {.text = "500 pcs Cotton T-shirt white", .qty = 500, .uom = "pcs", .price = 3,
        .currency = "USD"}},
      {"Cap (target: 3 usd)", {.text = "Cap", .price = 3, .currency = "USD"}},
      {"Cap @ 2.5 EUR/pc.", {.text = "Cap", .price = 2.5, .currency = "EUR"}},
      {"Cap target=4", {.text = "Cap", .price = 4}},
      {"target 1,250.50 USD", {.price = 1250.5, .currency = "USD"}},
      {"target 1.250,50 EUR", {.price = 1250.5, .currency = "EUR"}},
      {"giá mục tiêu 7,5 USD", {.price = 7.5, .currency = "USD"}},
      // Dots group thousands only in dong amounts.
      {"giá mục tiêu 50.000 VND", {.price = 50000, .currency = "VND"}},
      {"target 1.200 VND", {.price = 1200, .currency = "VND"}},
      {"Rice, target 50.000", {.text = "Rice", .price = 50}},
      {"Rice, target 50.000 USD", {.text = "Rice", .price = 50, .currency = "USD"}},
      // Digits other than ASCII read as nothing; the phrase goes all the same.
      {"Cap target \u0663 USD", {.text = "Cap", .currency = "USD"}},
  });
}

TEST(Normalize, TakesTheLastQuantityPhrase) {
  expect_normalized({
      {"2 sets x 100 pcs", {.text = "100 pcs 2 sets x", .qty = 100, .uom = "pcs"}},
      {"Rice 20ft FCL, 2 pallets", {.text = "2 pallets Rice 20ft FCL", .qty = 2, .uom = "pallets"}},
      {"Rice, 1 20ft  FCL", {.text = "1 20ft  fcl Rice", .qty = 1, .uom = "20ft  fcl"}},
      {"Gift boxes 40 boxes.", {.text = "40 boxes Gift boxes", .qty = 40, .uom = "boxes"}},
      {"Nails 5 Kilograms", {.text = "5 kilograms Nails", .qty = 5, .uom = "kilograms"}},
      {"1,000,000 pcs", {.text = "1000000 pcs ", .qty = 1000000, .uom = "pcs"}},
      {"Rice 2.500 kg", {.text = "2.50 kg Rice", .qty = 2.5, .uom = "kg"}},
      {"1,5 kg sugar", {.text = "1.50 kg sugar", .qty = 1.5, .uom = "kg"}},
      {"Sugar 2,000 kg", {.text = "2000 kg Sugar", .qty = 2000, .uom = "kg"}},
      {"Bolts \u0663 pcs", {.text = "Bolts", .uom = "pcs"}},
  });
}

TEST(Normalize, VietnameseQuantityCountsOnlyWithoutAnEnglishOne) {
  expect_normalized({
      {"10 tấn thép", {.text = "10 tonnes thép", .qty = 10, .uom = "tonnes"}},
      {"5 hộp", {.text = "5 boxes ", .qty = 5, .uom = "boxes"}},
      {"Thép, 20 cuộn, mạ kẽm", {.text = "20 rolls Thép mạ kẽm", .qty = 20, .uom = "rolls"}},
      {"Bolts, 50 pcs, 10 thùng", {.text = "50 pcs Bolts 10 thùng", .qty = 50, .uom = "pcs"}},
      {"2,25 tấn", {.text = "2.25 tonnes ", .qty = 2.25, .uom = "tonnes"}},
      // Dots group thousands in Vietnamese quantities.
      {"số lượng 3.000 thùng", {.text = "3000 cartons số lượng", .qty = 3000, .uom = "cartons"}},
      {"1.500 cái áo", {.text = "1500 pcs áo", .qty = 1500, .uom = "pcs"}},
      {"2 bộ, 7 kiện", {.text = "7 bales 2 bộ", .qty = 7, .uom = "bales"}},
      // The unit word must end a word.
      {"3 bóng đèn", {.text = "3 bóng đèn"}},
      {"3 bóng đèn, 4 bó", {.text = "4 bundles 3 bóng đèn", .qty = 4, .uom = "bundles"}},
      {"4 tấmx", {.text = "4 tấmx"}},
  });
}

TEST(Normalize, RendersTheQuantity) {
  expect_normalized({
      {"3 pcs", {.text = "3 pcs ", .qty = 3, .uom = "pcs"}},
      {"2.5 kg", {.text = "2.50 kg ", .qty = 2.5, .uom = "kg"}},
      {"2.125 kg", {.text = "2.12 kg ", .qty = 2.125, .uom = "kg"}},  // tie to even
      {"2.375 kg", {.text = "2.38 kg ", .qty = 2.375, .uom = "kg"}},
      {"0.004 kg", {.text = "0.00 kg ", .qty = 0.004, .uom = "kg"}},
      {"99999999999999999999999 pcs",
       {.text = "18446744073709551615 pcs ", .qty = 1e23, .uom = "pcs"}},  // saturates
  });
}

TEST(Normalize, VietnameseMadeInPhrase) {
  expect_normalized({
      {"Máy bơm, xuất xứ Đức", {.text = "Máy bơm", .origin = "Germany"}},
      {"Máy bơm, xuất xứ Pháp", {.text = "Máy bơm", .origin = "Pháp"}},
      // Only the place name is searched, and only for whole words.
      {"Máy đúc, xuất xứ Pháp", {.text = "Máy đúc", .origin = "Pháp"}},
      {"Máy bơm, xuất xứ Đúc", {.text = "Máy bơm", .origin = "Đúc"}},
      {"Máy bơm, xuất xứ hàng Trung Quốc", {.text = "Máy bơm", .origin = "China"}},
      {"Máy bơm xuất xứ Úc", {.text = "Máy bơm", .origin = "Australia"}},
      {"Máy bơm xuất xứ Mỹ, 2 cái", {.text = "2 pcs Máy bơm", .qty = 2, .uom = "pcs", .origin = "USA"}},
      {"Máy bơm xuất xứ TQ hoặc Đức", {.text = "Máy bơm", .origin = "Germany"}},  // table order
      {"Máy bơm, xuất xứ vnx", {.text = "Máy bơm", .origin = "Vnx"}},
      {"Máy bơm, xuất xứ Đức\nThanks", {.text = "Máy bơm", .origin = "Germany"}},
      {"Xuất xứ: Đức", {.text = "Xuất xứ: Đức"}},  // white space must follow the two words
  });
}

TEST(Normalize, VietnameseCountryInParentheses) {
  expect_normalized({
      {"Máy bơm (Đức, bảo hành 12 tháng)",
       {.text = "Máy bơm (bảo hành 12 tháng)", .origin = "Germany"}},
      {"Máy bơm (Đức)", {.text = "Máy bơm", .origin = "Germany"}},
      {"Máy bơm (Đức,)", {.text = "Máy bơm", .origin = "Germany"}},
      {"Máy bơm (Đức, ,)", {.text = "Máy bơm", .origin = "Germany"}},
      {"Máy bơm (Đức, , bảo hành)", {.text = "Máy bơm (bảo hành)", .origin = "Germany"}},
      {"Máy bơm (Đức, bảo hành", {.text = "Máy bơm  bảo hành", .origin = "Germany"}},
      {"Máy bơm (Nhật Bản)", {.text = "Máy bơm", .origin = "Japan"}},
      // Form one of a row is tested before form two, rows in table order.
      {"Máy (Úc) (Đức, mới)", {.text = "Máy (Úc) (mới)", .origin = "Germany"}},
  });
}

TEST(Normalize, EnglishCountryAfterCommaOrParenthesis) {
  expect_normalized({
      {"Steel pipe (China)", {.text = "Steel pipe", .origin = "China"}},
      {"Steel pipe (china )", {.text = "Steel pipe", .origin = "China"}},
      {"Steel pipe (China, seamless)", {.text = "Steel pipe seamless)", .origin = "China"}},
      {"Steel pipe, South Korea", {.text = "Steel pipe", .origin = "South korea"}},
      {"Steel pipe, Korea", {.text = "Steel pipe", .origin = "Korea"}},
      {"Tea, Sri Lanka, 5 kg", {.text = "5 kg Tea", .qty = 5, .uom = "kg", .origin = "Sri lanka"}},
      {"Cups, chinaware, china", {.text = "Cups chinaware china"}},
      {"Cups, china2", {.text = "Cups china2"}},
      {"Rice (Vietnam), 10 tấn", {.text = "10 tonnes Rice", .qty = 10, .uom = "tonnes", .origin = "Vietnam"}},
  });
}

TEST(Normalize, TakesDimensionsInTextOrder) {
  expect_normalized({
      {"Motor 5.5kW, 380V, 50Hz", {.text = "Motor", .dims = {"5.5kw", "380v", "50hz"}}},
      {"Box 30 x 20 × 10 cm, red", {.text = "Box red", .dims = {"30 x 20 × 10 cm"}}},
      {"Cable 1,000 m, 2.5 MM", {.text = "Cable", .dims = {"1,000 m", "2.5 mm"}}},
      {"Battery 12V 100Ah", {.text = "Battery", .dims = {"12v", "100ah"}}},
      {"Pipe 2 inches", {.text = "Pipe", .dims = {"2 inches"}}},
      {"Pipe 2 mx", {.text = "Pipe 2 mx"}},  // "m" must end a word
  });
}

// Spans found in the lower-cased copy are cut from the text as written, also
// where lower-casing changes a character's encoded length.
TEST(Normalize, CutsStayOnCharacterBoundariesWhenLowerCasingChangesLengths) {
  expect_normalized({
      // İ lower-cases to two characters, one byte longer.
      {"\u01305 kg", {.text = "5 kg \u0130", .qty = 5, .uom = "kg"}},
      {"\u0130\u0130\u0130, 5 pcs", {.text = "5 pcs \u0130\u0130\u0130", .qty = 5, .uom = "pcs"}},
      {"\u0130 (Đức, x)", {.text = "\u0130 (x)", .origin = "Germany"}},
      {"\u0130\u0130 xuất xứ Đức", {.text = "\u0130\u0130", .origin = "Germany"}},
      // The Kelvin sign lower-cases to "k", two bytes shorter, inside the cut.
      {"5 \u212Ag bolts", {.text = "5 kg bolts", .qty = 5, .uom = "kg"}},
      {"Fan 2 \u212AW", {.text = "Fan", .dims = {"2 kw"}}},
      {"\u212A (China)", {.text = "\u212A", .origin = "China"}},
      // The Ohm sign becomes ω and ẞ becomes ß, each one byte shorter.
      {"\u2126\u1E9E\u2126, 5 pcs", {.text = "5 pcs \u2126\u1E9E\u2126", .qty = 5, .uom = "pcs"}},
      {"Resistor 10 \u2126, 5 W", {.text = "Resistor 10 \u2126", .dims = {"5 w"}}},
      {"\u1E9E, china", {.text = "\u1E9E", .origin = "China"}},
      {"\u1E9E (\u0111\u1EE9c)", {.text = "\u1E9E", .origin = "Germany"}},
  });
}

TEST(Capitalize, UpperCasesOnlyTheFirstCharacter) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"", ""},
      {"pháp", "Pháp"},
      {"south korea", "South korea"},
      {"ßx", "SSx"},
      {"đức", "Đức"},
      {"\u01C6a", "\u01C4a"},
      {"1a", "1a"},
  };
  for (const auto& c : cases) EXPECT_EQ(capitalize(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace tenderkit
