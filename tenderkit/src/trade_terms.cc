#include "tenderkit/src/trade_terms.h"

#include "textservices/regex.h"
#include "textservices/unicode.h"

namespace tenderkit {
namespace {

using textservices::LazyRegex;

// Codes count only in capitals and as whole words.
constinit LazyRegex RE_CURRENCY{R"(\b(USD|EUR|GBP|CNY|JPY|KRW|VND|SGD|AUD|CAD)\b)"};
constinit LazyRegex RE_INCOTERM{R"(\b(EXW|FCA|FAS|FOB|CFR|CIF|CPT|CIP|DAP|DPU|DDP)\b)"};
// A code followed by one or two capitalised ASCII words: the named place.
constinit LazyRegex RE_INCOTERM_CITY{
    R"(\b(EXW|FCA|FAS|FOB|CFR|CIF|CPT|CIP|DAP|DPU|DDP)\s+([A-Z][a-zA-Z]+(?:\s+[A-Z][a-zA-Z]+)?))"};
constinit LazyRegex RE_DESTINATION{
    R"((?i)\b(?:to|for|deliver(?:y)? to|destination)\s+([A-Z][a-zA-Z\s]{2,30})(?:[,.]|$))"};
// The value runs up to a line feed or a "." that does not stand between two
// digits, so «2.5 weeks» stays whole.
constinit LazyRegex RE_LEAD_TIME{R"((?i)lead[\s-]?time[:\s]+((?:[^.\n]|(?<=\d)\.(?=\d))+))"};
constinit LazyRegex RE_PAYMENT{
    R"((?i)(?:payment(?:\s+terms?)?|thanh\s+toán)[:\s]+((?:[^.\n]|(?<=\d)\.(?=\d))+))"};

std::optional<std::string> whole_match(const LazyRegex& re, std::string_view text) {
  auto m = re->find(text);
  if (!m) return std::nullopt;
  return std::string(m->str(text));
}

std::optional<std::string> trimmed_group(const LazyRegex& re, std::string_view text) {
  auto m = re->find(text);
  if (!m) return std::nullopt;
  return std::string(textservices::trim(m->str(text, 1)));
}

}  // namespace

RfqTradeTerms extract_trade_terms(std::string_view document) {
  RfqTradeTerms terms;
  terms.currency = whole_match(RE_CURRENCY, document);

  // A code with a named place wins over a bare code that stands earlier.
  std::optional<std::string> city;
  if (auto m = RE_INCOTERM_CITY->find(document)) {
    terms.incoterm = std::string(m->str(document, 1));
    city = std::string(textservices::trim(m->str(document, 2)));
  } else {
    terms.incoterm = whole_match(RE_INCOTERM, document);
  }

  terms.destination = trimmed_group(RE_DESTINATION, document);
  if (!terms.destination) terms.destination = std::move(city);

  terms.lead_time = trimmed_group(RE_LEAD_TIME, document);
  terms.payment = trimmed_group(RE_PAYMENT, document);
  return terms;
}

}  // namespace tenderkit
