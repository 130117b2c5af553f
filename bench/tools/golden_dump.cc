// Writes every field of every group that `parse_query` gives for each input
// of the benchmark corpus, one input after another, as plain text. Two builds
// that must read alike are compared by diffing their dumps:
//
//   golden_dump bench/corpus > before.txt   (old build)
//   golden_dump bench/corpus > after.txt    (new build)
//   diff before.txt after.txt
//
// The inputs are every line of queries.txt, every line of rfqs.txt (the
// "%%" document separators included), every whole RFQ document and the two
// typical inputs. Doubles are written with 17 significant digits, so any
// change of value shows.
//
// Built by hand against a build tree's static libraries (no target of its
// own, so that it also builds against older trees):
//
//   g++ -std=c++20 -O2 -I. bench/tools/golden_dump.cc \
//     build/phrasekit/libphrasekit.a build/textservices/libtextservices.a \
//     $(pkg-config --libs libpcre2-8 icu-uc) -o golden_dump
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "phrasekit/src/phrasekit.h"

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "golden_dump: cannot read %s\n", path.c_str());
    std::exit(1);
  }
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void put_optional(const char* name, const std::optional<double>& v) {
  if (v) {
    std::printf("  %s %.17g\n", name, *v);
  } else {
    std::printf("  %s -\n", name);
  }
}

void put_list(const char* name, const std::vector<std::string>& list) {
  std::printf("  %s [", name);
  for (const std::string& s : list) std::printf("«%s»", s.c_str());
  std::printf("]\n");
}

void dump(std::string_view input) {
  std::printf("INPUT «%.*s»\n", static_cast<int>(input.size()), input.data());
  const phrasekit::QueryResult result = phrasekit::parse_query(input);
  for (const phrasekit::Group& g : result.groups) {
    std::printf(" GROUP\n");
    put_optional("qty", g.qty);
    put_optional("qty_max", g.qty_max);
    std::printf("  uom %s\n", g.uom ? ("«" + *g.uom + "»").c_str() : "-");
    std::printf("  chunks [");
    for (const phrasekit::Chunk& c : g.chunks) {
      std::printf("«%s»/%d", c.text.c_str(), static_cast<int>(c.connector));
    }
    std::printf("]\n");
    std::printf("  text «%s»\n", phrasekit::chunks_to_string(g.chunks).c_str());
    put_list("colors", g.colors);
    put_list("sizes", g.sizes);
    put_list("materials", g.materials);
    put_list("genders", g.genders);
    put_list("specs", g.specs);
    put_list("standards", g.standards);
    put_list("ambiguous", g.ambiguous);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "bench/corpus";
  for (const std::string& line : lines_of(read_file(dir + "/queries.txt"))) dump(line);
  std::string document;
  for (const std::string& line : lines_of(read_file(dir + "/rfqs.txt"))) {
    dump(line);
    if (line == "%%") {
      dump(document);
      document.clear();
    } else {
      document += line;
      document += '\n';
    }
  }
  if (!document.empty()) dump(document);
  for (const char* name : {"/typical_query.txt", "/typical_rfq.txt"}) dump(read_file(dir + name));
  return 0;
}
