#include "tenderkit/src/trade_terms.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tenderkit {
namespace {

using Opt = std::optional<std::string>;
const Opt kAbsent = std::nullopt;

// One field of the result, chosen per case.
using Field = Opt RfqTradeTerms::*;

struct TermCase {
  const char* document;
  Field field;
  Opt expected;
};

void expect_terms(const std::vector<TermCase>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(extract_trade_terms(c.document).*c.field, c.expected) << c.document;
  }
}

TEST(TradeTerms, CurrencyIsACapitalWholeWord) {
  const Field f = &RfqTradeTerms::currency;
  expect_terms({
      {"Price 5.20 USD/pc, or in EUR", f, "USD"},
      {"100 USD", f, "USD"},
      {"(USD)", f, "USD"},
      {"giá 5 EUR.", f, "EUR"},
      {"100USD", f, kAbsent},
      {"USD100", f, kAbsent},
      {"usd", f, kAbsent},
      {"USDT", f, kAbsent},
  });
}

TEST(TradeTerms, IncotermPrefersACodeWithAPlace) {
  const Field inco = &RfqTradeTerms::incoterm;
  const Field dest = &RfqTradeTerms::destination;
  expect_terms({
      {"Terms: FOB, CIF Hamburg", inco, "CIF"},
      {"Terms: FOB, CIF Hamburg", dest, "Hamburg"},
      {"FOB Ho Chi Minh City", inco, "FOB"},
      {"FOB Ho Chi Minh City", dest, "Ho Chi"},
      {"FOB price", inco, "FOB"},
      {"FOB price", dest, kAbsent},
      {"EXWORKS", inco, kAbsent},
      {"fob Hamburg", inco, kAbsent},
      {"FOB\nHaiphong port", dest, "Haiphong"},
      {"CIF Hamburg\nLead time: 30 days", dest, "Hamburg\nLead"},  // the second word may be on the next line
      {"FOB Haiph\u00F2ng", dest, "Haiph"},
      {"FOB H\u1EA3i Ph\u00F2ng", dest, kAbsent},
      {"FOB H\u1EA3i Ph\u00F2ng", inco, "FOB"},
  });
}

TEST(TradeTerms, DestinationPhraseWinsOverTheCity) {
  const Field dest = &RfqTradeTerms::destination;
  expect_terms({
      {"FOB Haiphong. Deliver to Hanoi.", dest, "Hanoi"},
      {"FOB Haiphong. Deliver to Hanoi.", &RfqTradeTerms::incoterm, "FOB"},
      {"Polo shirt for men, size L", dest, "men"},
      {"Ship to Hanoi\nThanks", dest, "Hanoi\nThanks"},
      {"Deliver to HCM city within 30 days.", dest, kAbsent},
      {"Deliver to HCM city within 30 days. CIF Hamburg", dest, "Hamburg"},
      {"DESTINATION   hamburg, Germany", dest, "hamburg"},
      {"to ab.", dest, kAbsent},       // fewer than three letters
      {"todo Hanoi.", dest, kAbsent},  // the keyword must end a word
  });
}

TEST(TradeTerms, LeadTimeRunsToAPointOrLineFeed) {
  const Field f = &RfqTradeTerms::lead_time;
  expect_terms({
      {"Lead time: 30 days.", f, "30 days"},
      {"Lead time: 2.5 weeks", f, "2.5 weeks"},
      {"Lead time: 2.5 weeks. Then 3.5", f, "2.5 weeks"},
      {"Lead time: 2. 5 weeks", f, "2"},
      {"Lead-time:\n45 days", f, "45 days"},
      {"LEADTIME 30 days\nPayment: T/T", f, "30 days"},
      {"lead time: 30 days", f, "30 days"},
      {"Lead time 30 days, ex works", f, "30 days, ex works"},
      {"No terms here", f, kAbsent},
  });
}

TEST(TradeTerms, PaymentTakesTheTermsWordIntoTheKeyword) {
  const Field f = &RfqTradeTerms::payment;
  expect_terms({
      {"Payment terms: 30% T/T in advance, 70% before shipment.", f,
       "30% T/T in advance, 70% before shipment"},
      {"Payment terms: T/T", f, "T/T"},
      {"Thanh to\u00E1n: L/C", f, "L/C"},
      {"THANH TO\u00C1N: L/C", f, "L/C"},
      {"Prepayment: 30%", f, "30%"},
      {"Payment: .", f, ""},
      {"Payment: 30% deposit, 2.5% fee. Thanks", f, "30% deposit, 2.5% fee"},
      {"Payment: 30%.5", f, "30%"},  // the point does not stand between two digits
  });
}

TEST(TradeTerms, NothingFoundLeavesEveryFieldAbsent) {
  EXPECT_EQ(extract_trade_terms("Polo shirt, red"), RfqTradeTerms{});
  EXPECT_EQ(extract_trade_terms(""), RfqTradeTerms{});
}

TEST(TradeTerms, AWholeDocument) {
  RfqTradeTerms want;
  want.currency = "USD";
  want.incoterm = "CIF";
  want.destination = "Hamburg";
  want.lead_time = "30 days";
  want.payment = "T/T";
  EXPECT_EQ(extract_trade_terms("Dear supplier,\n1. Polo, target 3 USD\nIncoterm CIF Hamburg.\n"
                                "Lead time: 30 days.\nPayment terms: T/T"),
            want);
}

}  // namespace
}  // namespace tenderkit
