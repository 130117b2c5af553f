// Time per call and throughput of each C++ stage of the two pipelines, and
// of the text services they stand on, over the benchmark corpus.
//
// One benchmark iteration is one pass over a whole corpus (every query, or
// every RFQ document, or every line item the segmenter cuts from them), so
// the figures weigh short and long inputs as the corpus does. Each
// benchmark reports
//   bytes_per_second  input bytes handed to the stage per second, and
//   per_call          wall time of one call (one query, document or item).
// The "typical" benchmarks run one fixed input instead of a corpus.
//
// The corpus directory is compiled in (BIDSIFT_BENCH_CORPUS_DIR); set
// BIDSIFT_BENCH_CORPUS to read another one. Every lazily built global (the
// ontology, the compiled patterns) is built by a warm-up pass before timing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "phrasekit/src/lexer.h"
#include "phrasekit/src/parser.h"
#include "phrasekit/src/phrasekit.h"
#include "tenderkit/src/item_normalizer.h"
#include "tenderkit/src/segmenter.h"
#include "tenderkit/src/tenderkit.h"
#include "tenderkit/src/trade_terms.h"
#include "textservices/regex.h"
#include "textservices/unicode.h"

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "stages_benchmark: cannot read %s\n", path.c_str());
    std::exit(1);
  }
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The text without one final line feed (the files end their last line).
std::string without_final_newline(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// Lines of `text` (split at line feeds; a final line feed ends the last
// line and starts no new one).
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

// The non-empty lines of `text`.
std::vector<std::string> non_empty_lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::string& line : split_lines(text)) {
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

// Documents of `text`, separated by lines that hold only "%%". Blank lines
// at either end of a document are not part of it; inner ones are.
std::vector<std::string> split_documents(std::string_view text) {
  std::vector<std::string> docs;
  std::vector<std::string> current;
  auto finish = [&] {
    while (!current.empty() && current.back().empty()) current.pop_back();
    if (current.empty()) return;
    std::string doc;
    for (std::size_t i = 0; i < current.size(); ++i) {
      if (i > 0) doc += '\n';
      doc += current[i];
    }
    docs.push_back(std::move(doc));
    current.clear();
  };
  for (std::string& line : split_lines(text)) {
    if (line == "%%") {
      finish();
    } else if (!line.empty() || !current.empty()) {
      current.push_back(std::move(line));
    }
  }
  finish();
  return docs;
}

std::size_t total_bytes(const std::vector<std::string>& texts) {
  std::size_t n = 0;
  for (const std::string& t : texts) n += t.size();
  return n;
}

// Everything the benchmarks read, loaded once.
struct Corpus {
  std::vector<std::string> queries;
  std::vector<std::string> rfqs;
  std::vector<std::string> items;  // every item text `segment` cuts from `rfqs`
  std::vector<std::string> all;    // queries and RFQs together
  std::string typical_query;
  std::string typical_rfq;
};

const Corpus& corpus() {
  static const Corpus c = [] {
    const char* env = std::getenv("BIDSIFT_BENCH_CORPUS");
    const std::string dir = env != nullptr && *env != '\0' ? env : BIDSIFT_BENCH_CORPUS_DIR;
    Corpus k;
    k.queries = non_empty_lines(read_file(dir + "/queries.txt"));
    k.rfqs = split_documents(read_file(dir + "/rfqs.txt"));
    k.typical_query = without_final_newline(read_file(dir + "/typical_query.txt"));
    k.typical_rfq = without_final_newline(read_file(dir + "/typical_rfq.txt"));
    for (const std::string& doc : k.rfqs) {
      for (std::string& item : tenderkit::segment(doc)) k.items.push_back(std::move(item));
    }
    k.all = k.queries;
    k.all.insert(k.all.end(), k.rfqs.begin(), k.rfqs.end());
    return k;
  }();
  return c;
}

// Sets the two reported figures for `calls` calls over `bytes` bytes in
// each iteration.
void report(benchmark::State& state, std::size_t calls, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["per_call"] =
      benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

// Runs `fn` on every text of `inputs` in each iteration; one warm-up pass
// first, so that no global is built inside the timed loop.
template <class Fn>
void over_texts(benchmark::State& state, const std::vector<std::string>& inputs, Fn fn) {
  for (const std::string& text : inputs) benchmark::DoNotOptimize(fn(text));
  for (auto _ : state) {
    for (const std::string& text : inputs) benchmark::DoNotOptimize(fn(text));
  }
  report(state, inputs.size(), total_bytes(inputs));
}

// Runs `fn` on one text in each iteration.
template <class Fn>
void over_text(benchmark::State& state, const std::string& text, Fn fn) {
  benchmark::DoNotOptimize(fn(text));
  for (auto _ : state) benchmark::DoNotOptimize(fn(text));
  report(state, 1, text.size());
}

// --- query pipeline ---------------------------------------------------------

void BM_tokenize_queries(benchmark::State& state) {
  over_texts(state, corpus().queries, [](const std::string& q) { return phrasekit::tokenize(q); });
}
BENCHMARK(BM_tokenize_queries);

// `build_groups` consumes its tokens, so each pass gets fresh copies of the
// token lists, made with the clock stopped.
void BM_build_groups_queries(benchmark::State& state) {
  const std::vector<std::string>& queries = corpus().queries;
  std::vector<phrasekit::Tokens> tokens;
  for (const std::string& q : queries) tokens.push_back(phrasekit::tokenize(q));
  std::vector<phrasekit::Tokens> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = tokens;
    state.ResumeTiming();
    for (phrasekit::Tokens& t : work)
      benchmark::DoNotOptimize(phrasekit::build_groups(std::move(t)));
  }
  report(state, queries.size(), total_bytes(queries));
}
BENCHMARK(BM_build_groups_queries);

void BM_parse_query_queries(benchmark::State& state) {
  over_texts(state, corpus().queries,
             [](const std::string& q) { return phrasekit::parse_query(q); });
}
BENCHMARK(BM_parse_query_queries);

void BM_parse_query_typical(benchmark::State& state) {
  over_text(state, corpus().typical_query,
            [](const std::string& q) { return phrasekit::parse_query(q); });
}
BENCHMARK(BM_parse_query_typical);

// The query pipeline as the RFQ route feeds it: the normalised item texts.
void BM_parse_query_items(benchmark::State& state) {
  std::vector<std::string> normalised;
  for (const std::string& item : corpus().items)
    normalised.push_back(tenderkit::normalize(item).text);
  over_texts(state, normalised, [](const std::string& q) { return phrasekit::parse_query(q); });
}
BENCHMARK(BM_parse_query_items);

// --- RFQ pipeline -----------------------------------------------------------

void BM_segment_rfqs(benchmark::State& state) {
  over_texts(state, corpus().rfqs, [](const std::string& d) { return tenderkit::segment(d); });
}
BENCHMARK(BM_segment_rfqs);

void BM_extract_trade_terms_rfqs(benchmark::State& state) {
  over_texts(state, corpus().rfqs,
             [](const std::string& d) { return tenderkit::extract_trade_terms(d); });
}
BENCHMARK(BM_extract_trade_terms_rfqs);

void BM_normalize_items(benchmark::State& state) {
  over_texts(state, corpus().items, [](const std::string& i) { return tenderkit::normalize(i); });
}
BENCHMARK(BM_normalize_items);

void BM_parse_rfq_rfqs(benchmark::State& state) {
  over_texts(state, corpus().rfqs, [](const std::string& d) { return tenderkit::parse_rfq(d); });
}
BENCHMARK(BM_parse_rfq_rfqs);

void BM_parse_rfq_typical(benchmark::State& state) {
  over_text(state, corpus().typical_rfq,
            [](const std::string& d) { return tenderkit::parse_rfq(d); });
}
BENCHMARK(BM_parse_rfq_typical);

// --- text services ----------------------------------------------------------

void BM_to_lower_corpus(benchmark::State& state) {
  over_texts(state, corpus().all, [](const std::string& t) { return textservices::to_lower(t); });
}
BENCHMARK(BM_to_lower_corpus);

void BM_canonical_text_corpus(benchmark::State& state) {
  over_texts(state, corpus().all, [](const std::string& t) {
    std::string storage;
    return textservices::canonical_text(t, &storage).size();
  });
}
BENCHMARK(BM_canonical_text_corpus);

// The routing test that every parse runs, over the whole corpus: on most
// queries it scans the whole text without a match.
void BM_regex_detect_corpus(benchmark::State& state) {
  over_texts(state, corpus().all,
             [](const std::string& t) { return tenderkit::RE_DETECT->test(t); });
}
BENCHMARK(BM_regex_detect_corpus);

}  // namespace

BENCHMARK_MAIN();
