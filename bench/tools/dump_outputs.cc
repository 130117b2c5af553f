// Writes every output of the RFQ stages for a fixed set of inputs, so that
// two builds can be compared byte for byte (a change meant to make the
// stages faster must leave this dump unchanged):
//   - `normalize` of every line of the two corpus files;
//   - `segment`, `extract_trade_terms`, `normalize` of each item and the
//     whole `parse_rfq` result of every RFQ document (documents separated by
//     lines "%%") and of every query line;
//   - the same for built-in adversarial items (many dimensions, characters
//     whose lower case has another length next to the cuts, texts that join
//     into a new match across a cut) and for pseudo-random texts assembled
//     from the pieces the patterns react to.
//
//   dump_outputs <corpus dir> [random count] > dump.txt
//
// Built by hand against a build tree, e.g.
//   g++ -std=c++20 -O2 -I. bench/tools/dump_outputs.cc build/tenderkit/libtenderkit.a \
//     build/tenderkit/libtenderkit_items.a build/phrasekit/libphrasekit.a \
//     build/textservices/libtextservices.a $(pkg-config --libs libpcre2-8 icu-uc) -o dump_outputs
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "phrasekit/src/phrasekit.h"
#include "tenderkit/src/item_normalizer.h"
#include "tenderkit/src/segmenter.h"
#include "tenderkit/src/tenderkit.h"
#include "tenderkit/src/trade_terms.h"
#include "textservices/unicode.h"

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "dump_outputs: cannot read %s\n", path.c_str());
    std::exit(1);
  }
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> split_documents(std::string_view text) {
  std::vector<std::string> docs;
  std::string cur;
  for (const std::string& line : split_lines(text)) {
    if (line == "%%") {
      docs.push_back(cur);
      cur.clear();
    } else {
      if (!cur.empty()) cur += '\n';
      cur += line;
    }
  }
  if (!cur.empty()) docs.push_back(cur);
  return docs;
}

std::string out;

void put(std::string_view s) { out.append(s); }

void put_quoted(std::string_view s) {
  out += '"';
  for (char c : s) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  out += '"';
}

void put_num(const std::optional<double>& v) {
  if (!v) {
    put("-");
    return;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", *v);
  put(buf);
}

void put_text(const std::optional<std::string>& v) {
  if (v) {
    put_quoted(*v);
  } else {
    put("-");
  }
}

void put_list(const std::vector<std::string>& v) {
  put("[");
  for (const auto& s : v) {
    put_quoted(s);
    put(" ");
  }
  put("]");
}

void put_item(const tenderkit::NormalizedItem& n) {
  put("text ");
  put_quoted(n.text);
  put(" qty ");
  put_num(n.qty);
  put(" uom ");
  put_text(n.uom);
  put(" price ");
  put_num(n.price);
  put(" cur ");
  put_text(n.currency);
  put(" origin ");
  put_text(n.origin);
  put(" dims ");
  put_list(n.dims);
  put("\n");
}

void put_terms(const tenderkit::RfqTradeTerms& t) {
  put("terms cur ");
  put_text(t.currency);
  put(" inco ");
  put_text(t.incoterm);
  put(" dest ");
  put_text(t.destination);
  put(" lead ");
  put_text(t.lead_time);
  put(" pay ");
  put_text(t.payment);
  put("\n");
}

void put_group(const phrasekit::Group& g) {
  put("  group qty ");
  put_num(g.qty);
  put(" max ");
  put_num(g.qty_max);
  put(" uom ");
  put_text(g.uom);
  put(" chunks [");
  for (const auto& c : g.chunks) {
    put_quoted(c.text);
    put("/");
    put(std::to_string(static_cast<int>(c.connector)));
    put(" ");
  }
  put("] colors ");
  put_list(g.colors);
  put(" sizes ");
  put_list(g.sizes);
  put(" materials ");
  put_list(g.materials);
  put(" genders ");
  put_list(g.genders);
  put(" specs ");
  put_list(g.specs);
  put(" standards ");
  put_list(g.standards);
  put(" ambiguous ");
  put_list(g.ambiguous);
  put("\n");
}

void put_rfq(const tenderkit::RfqResult& r) {
  put("rfq ");
  put_terms(r.trade_terms);
  for (const auto& item : r.items) {
    put(" item ");
    put(std::to_string(item.index));
    put(" qty ");
    put_num(item.qty);
    put(" price ");
    put_num(item.price);
    put(" uom ");
    put_text(item.uom);
    put(" cur ");
    put_text(item.currency);
    put(" origin ");
    put_text(item.origin);
    put(" dims ");
    put_list(item.dims);
    put("\n");
    for (const auto& g : item.groups) put_group(g);
  }
}

// Every stage on one document.
void dump_document(std::string_view doc, bool with_query) {
  put("=== doc ");
  put_quoted(doc);
  put("\n");
  std::vector<std::string> items = tenderkit::segment(doc);
  put("segments ");
  put_list(items);
  put("\n");
  put_terms(tenderkit::extract_trade_terms(doc));
  for (const auto& i : items) put_item(tenderkit::normalize(i));
  if (with_query) put_rfq(tenderkit::parse_rfq(doc));
}

void dump_item(std::string_view item) {
  put("--- item ");
  put_quoted(item);
  put("\n");
  put_item(tenderkit::normalize(item));
}

std::string repeat(std::string_view s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

// Items built to reach the corners of the cuts.
std::vector<std::string> adversarial_items() {
  std::vector<std::string> v = {
      "Bolt 5mm",
      "Bolt 5mm 3 cm",
      "Sheet 5m5mmm",          // «5m» + «m» meet after the first cut
      "Sheet 5mmm, 2cm",
      "Plate 1,5mm000 mm",
      "Plate 1,2mm000 mm",
      "Cable 1,5mm,000 mm",
      "Wire 2x3mm, 2x3mm, 4kw",
      "Box 10 x 20 x 30 cm, 10 x 20 x 30 cm",
      "Motor 5kW 5kW5kW",
      "Motor 5 kw,5 kw 5kwh",
      "Tube 3 inches 3 inch 3inchx",
      "Pump 50hz 50 hz50hz 5 khz 5 mhz",
      "Cable 5m\u0130 5mm",
      "Cable \u01305mm 5mm",
      "Cable 5mm\u0130 5mm \u0130",
      "Cable 5mm \u212A 5mm \u212A5kw 5\u212Aw 5\u212A",
      "Heater 5 \u212Aw, 3\u212Ava, 2 \u212Ahz",
      "Resistor 10 \u2126 5mm, 10\u2126 5 w",
      "Strap \u1E9E 5mm \u1E9E5cm",
      "Sign 5 m\u017F 5 \u017Fm 5mm",
      "Greek \u03A3\u03A35mm\u03A3 5mm\u03A3\u03A3 \u03A3",
      "AB\u03A35mm\u0391",
      "Mixed \u0130\u212A\u2126\u1E9E 1,5 x 2,5 mm \u0130 , 3mm",
      "Lamp 5W5W5W5W",
      "Lamp 5w, 5w,5w ,5w",
      "Pipe 5 x 5 x mm 5 x 5 mm",
      "Pipe 5 \u00D7 5mm, 5\u00D75mm",
      "Pipe 5 \u00D7 5 \u00D7 m",
      "Valve 1,000 mm 1,000mm 1,0001,000 mm",
      "Rope 1.5mm1.5mm1.5m",
      "Rope 5mmm 5mmmm 5mmmmm",
      "Item 5mm5mm5mm5mm5mm5mm",
      "Item ,5mm,5mm,5mm",
      "Item 5 mm x 5 mm",
      "Item 5mmx5mm",
      "Item 2 x 5mm x 3mm",
      "Bag 5kg 5kgs 5 kg",
      "Tank 5l 5ml 5 l\u0130",
      "Tank 5 L, 5 ML",
      "Battery 12v 100ah 12 V, 100 Ah",
      "Gauge 10 psi, 10 mpa, 10 bar, 10 rpm",
      "Gauge 5 oz5 oz",
      "Tile 60cm 60 cmx 60cm",
      "Cup 5 \uFF15mm 5\u0665mm \u0665mm",
      "Line 5mm\n5mm\n 5mm",
      "\u0130\u0130\u0130 5mm \u0130\u0130 5mm \u0130 5mm",
      "\u212A\u212A5mm\u212A\u212A5mm\u212A",
      "5mm",
      "5mm5",
      "5 5mm",
      ", 5mm",
      " 5mm, ",
      "x 5mm x 5mm x",
      "Item 5m m 5m  m",
      "Item 1, 000mm",
      "Item 1,000 000mm",
      "Item 1x 2x 3x 4mm",
      "Item 1x 2x 3 x4 x mm",
      "Item 1.000.000 mm 1,000,000 mm",
      "Item 1.000.000,5 mm 1,000.5 mm",
      "Item 5 inchesmm 5 inches 5 inch",
      // Other steps, with characters whose lower case has another length.
      "\u0130tem, 500 pcs, target 3 USD, xu\u1EA5t x\u1EE9 \u0110\u1EE9c",
      "M\u00E1y, 5 c\u00E1i \u0130, (\u0110\u1EE9c, b\u1EA3o h\u00E0nh)",
      "M\u00E1y \u212A (\u0110\u1EE9c) 5mm",
      "Pipe \u0130, China, 5mm",
      "Pipe \u212A (China) 5mm",
      "Pipe \u0130(china 5 mm",
      "\u0130\u0130 5 PCS \u0130 5 \u212Ag 5 \u212Ag",
      "Box 5 boxes \u0130 3 sets",
      "target 1 target 2 @ 3 gi\u00E1 m\u1EE5c ti\u00EAu 4",
      "TARGET 5 USD, @5, (target: 6 eur)",
      "Price \u0130 target 5 USD/pc.",
      "Price targe\u212At 5",
      "**\u0130tem** ***5mm*** *x* ** *",
      "Item , Qty: N/A pcs, 5mm",
      "Item , QTY : nil, spec: 5mm",
      "Product : Spec: 5mm",
      "x\u1EA5t x\u1EE9 xu\u1EA5t x\u1EE9 xu\u1EA5t x\u1EE9 \u0110\u1EE9c 5mm",
      "XU\u1EA4T X\u1EE8 Trung Qu\u1ED1c, 5mm",
      "(\u0110\u1EE9c, 5mm",
      "(, ) ( : ) 5mm (5mm) (,5mm)",
  };
  v.push_back("Sheet " + repeat("5mm ", 300));
  v.push_back("Sheet " + repeat("5mm\u0130 ", 200));
  v.push_back("Sheet " + repeat("\u212A5mm ", 200));
  v.push_back("Sheet " + repeat("5m", 200) + repeat("m", 200));
  v.push_back("Sheet " + repeat("1,", 100) + repeat("000 mm", 100));
  v.push_back("Sheet " + repeat("5 x ", 100) + "5 mm");
  v.push_back("Sheet " + repeat("5mmm", 100));
  v.push_back(repeat("xu\u1EA5t x\u1EE9 ", 50));
  v.push_back("1. " + repeat("target 1 ", 50));
  return v;
}

// Pieces the patterns react to, for the pseudo-random texts.
constexpr std::string_view kPieces[] = {
    "5", "1", "0", "000", "12", ",", ", ", " ", "  ", ".", "x", "X", "\u00D7", "m", "mm",
    "cm", "M", "k", "kw", "w", "v", "hz", "inch", "es", "l", "ml", "kg", "oz", "bar",
    "\u0130", "\u212A", "\u2126", "\u1E9E", "\u017F", "\u03A3", "\u00E1", "\u0111",
    "(", ")", "*", "**", ":", "\n", "pcs", "sets", "c\u00E1i", "b\u1ED9", "th\u00F9ng",
    "target", "@", "gi\u00E1 m\u1EE5c ti\u00EAu ", "USD", "VND", "/pc", "xu\u1EA5t x\u1EE9 ",
    "\u0111\u1EE9c", "china", "China", "(china)", ", china", "vn", "spec:", "qty: na",
    "product:", "1. ", "- ", "Payment terms: ", "Lead time: ", "FOB Hamburg", "to Hanoi",
    "a", "b", "Z", "\u1EA5", "\uFF15", "s",
};

// Pieces of dimensions, for texts that join into new matches across cuts.
constexpr std::string_view kDimPieces[] = {
    "5", "1", "0", "12", ",", ".", " ", "x", "X", "\u00D7", "m", "mm", "c", "k", "w", "v",
    "l", "h", "z", "a", "i", "n", "e", "s", "o", "b", "r", "p", "g", "t", "\u017F", "\u212A",
    "\u0130", "\u2126", "\u03A3", "\u00A0", "\u0665", "(", ")", "_", "-", "inch", "inches",
    "kva", "khz", "mhz", "psi", "rpm", "pcs", ", ",
};

struct Rng {
  uint64_t state;
  uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
};

template <std::size_t N>
std::string random_text(Rng& rng, const std::string_view (&pieces)[N], std::size_t most) {
  std::size_t count = 1 + rng.next() % most;
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += pieces[rng.next() % N];
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: dump_outputs <corpus dir> [random count]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const long random_count = argc > 2 ? std::atol(argv[2]) : 20000;

  const std::string queries = read_file(dir + "/queries.txt");
  const std::string rfqs = read_file(dir + "/rfqs.txt");
  for (const auto& line : split_lines(queries)) dump_item(line);
  for (const auto& line : split_lines(rfqs)) dump_item(line);
  for (const auto& doc : split_documents(rfqs)) dump_document(doc, true);
  dump_document(read_file(dir + "/typical_rfq.txt"), true);
  for (const auto& line : split_lines(queries)) dump_document(line, true);
  for (const auto& item : adversarial_items()) {
    dump_item(item);
    dump_document(item, true);
  }
  Rng rng{0x9E3779B97F4A7C15ull};
  for (long i = 0; i < random_count; ++i) {
    std::string t = i % 2 == 0 ? random_text(rng, kPieces, 24) : random_text(rng, kDimPieces, 40);
    dump_item(t);
    dump_document(t, false);
    if (out.size() > (1u << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
