// Runs every library entry point from many native threads at once, racing
// the first use of every lazily built global (the ontology and each
// compiled pattern), and checks that each thread got exactly what a
// single-threaded run gives. Built with ThreadSanitizer, which reports any
// data race; a differing result aborts.
//
//   thread_race [threads [rounds]] [input files...]
//
// Without input files it uses the built-in texts below; with files (the
// fuzz seed corpora, say) it uses those as well.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <latch>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fuzz/check.h"
#include "phrasekit-py/src/records.h"
#include "phrasekit-py/src/routes.h"
#include "phrasekit/src/lexer.h"
#include "phrasekit/src/phrasekit.h"
#include "tenderkit/src/item_normalizer.h"
#include "tenderkit/src/segmenter.h"
#include "tenderkit/src/tenderkit.h"
#include "tenderkit/src/trade_terms.h"

namespace {

const char* const kTexts[] = {
    "200 pcs polo shirt OR t-shirt, red, size M đến XL",
    "Tôi cần mua 500 cái áo thun nam cotton màu đỏ size M đến XL",
    "I need 200 pcs polo shirt, cotton, navy and 300 pcs t-shirt",
    "100-200 pcs stainless steel bolt iso 9001, pipe dn50 đến dn100",
    "xanh lá hoặc xám, 3xl/xxl, 2.37 mm, from china",
    "Dear supplier,\n1. **Cotton T-shirt**, white, 500 pcs, target 3 USD\n2. Cap, 200 pcs\n"
    "Payment terms: T/T",
    "- Polo shirt 500 pcs\n• Cap 200 pcs\n* Socks",
    "Dear supplier,\nPolo shirt 500 pcs\nT-shirt red\nLead time: 30 days\nThanks",
    "1. Máy bơm, xuất xứ Đức, 5 bộ, giá mục tiêu 50.000 VND\n2. Ống thép (Trung Quốc) 10 tấn\n"
    "Thanh toán: L/C",
    "Terms: FOB, CIF Hamburg\nDeliver to Hanoi.\n1. Motor 5.5kW, 380V, 50Hz, 20 sets @ 120 EUR/set",
    "Product: Steel pipe (China), qty: TBD, spec: 100x200mm, 1,000,000 pcs.",
    "İstanbul \u212a cable 5 pcs\\n2. ΑΣ ß",
    "",
};

// Everything each entry point returns for one text.
struct Outcome {
  bidsift::ParseResultRecord routed;
  phrasekit::QueryResult query;
  phrasekit::Tokens tokens;
  tenderkit::RfqResult rfq;
  std::vector<std::string> items;
  tenderkit::RfqTradeTerms terms;
  tenderkit::NormalizedItem normalized;
  bool operator==(const Outcome&) const = default;
};

constexpr int kStages = 7;

// Runs the seven entry points on `bytes`, starting with stage `first`, so
// that different threads reach different globals first.
Outcome run_all(std::string_view bytes, int first) {
  const std::string text = bidsift_fuzz::canonical(bytes);
  Outcome o;
  for (int k = 0; k < kStages; ++k) {
    switch ((first + k) % kStages) {
      case 0:
        o.routed = bidsift::routed_parse(bytes);
        break;
      case 1:
        o.query = phrasekit::parse_query(bytes);
        break;
      case 2:
        o.tokens = phrasekit::tokenize(text);
        break;
      case 3:
        o.rfq = tenderkit::parse_rfq(bytes);
        break;
      case 4:
        o.items = tenderkit::segment(text);
        break;
      case 5:
        o.terms = tenderkit::extract_trade_terms(text);
        break;
      case 6:
        o.normalized = tenderkit::normalize(text);
        break;
    }
  }
  return o;
}

std::string read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path);
    std::exit(2);
  }
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char** argv) {
  int threads = 16;
  int rounds = 20;
  int arg = 1;
  if (arg < argc && std::isdigit(static_cast<unsigned char>(argv[arg][0])))
    threads = std::atoi(argv[arg++]);
  if (arg < argc && std::isdigit(static_cast<unsigned char>(argv[arg][0])))
    rounds = std::atoi(argv[arg++]);
  std::vector<std::string> inputs(std::begin(kTexts), std::end(kTexts));
  for (; arg < argc; ++arg) inputs.push_back(read_file(argv[arg]));

  // Every thread waits at the latch, so the first uses of the globals race.
  std::latch start(threads);
  std::vector<std::vector<Outcome>> got(threads);
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int r = 0; r < rounds; ++r) {
        for (std::size_t i = 0; i < inputs.size(); ++i) {
          // Each thread walks the inputs from its own offset.
          const std::size_t k = (i + static_cast<std::size_t>(t)) % inputs.size();
          Outcome o = run_all(inputs[k], t + r);
          if (r == 0) {
            got[t].resize(inputs.size());
            got[t][k] = std::move(o);
          } else {
            FUZZ_REQUIRE(o == got[t][k], "a thread's repeated run gives the same result",
                         inputs[k]);
          }
        }
      }
    });
  }
  for (std::thread& th : pool) th.join();

  for (std::size_t k = 0; k < inputs.size(); ++k) {
    const Outcome expected = run_all(inputs[k], 0);
    for (int t = 0; t < threads; ++t) {
      FUZZ_REQUIRE(got[t][k] == expected, "a concurrent run equals the single-threaded run",
                   inputs[k]);
    }
  }
  std::printf("thread_race: %d threads x %d rounds x %zu inputs x %d entry points: all identical\n",
              threads, rounds, inputs.size(), kStages);
  return 0;
}
