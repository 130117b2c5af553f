#include "textservices/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cctype>
#include <cstdint>
#include <string>

namespace textservices {
namespace {

// Class members as the system defines them; see the header.
constexpr std::string_view kSpaceMembers =
    R"(\t\n\x{0B}\f\r\x{20}\x{85}\x{A0}\x{1680}\x{2000}-\x{200A}\x{2028}\x{2029}\x{202F}\x{205F}\x{3000})";
constexpr std::string_view kWordMembers = R"(\p{L}\p{M}\p{Nd}\p{Pc})";
constexpr std::string_view kDigitMembers = R"(\p{Nd})";

std::string bracket(std::string_view members, bool negate) {
  std::string out = negate ? "[^" : "[";
  out += members;
  out += ']';
  return out;
}

pcre2_code* as_code(void* p) { return static_cast<pcre2_code*>(p); }

std::string error_text(int code) {
  PCRE2_UCHAR buf[256];
  int n = pcre2_get_error_message(code, buf, sizeof buf);
  if (n < 0) return "regular expression error " + std::to_string(code);
  return std::string(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
}

// Per-thread matching resources, reused by every match on the thread so that
// a match allocates nothing. The limits are lifted: the system's patterns are
// linear in the text, and a 16 MiB subject must not reach an engine limit.
constexpr std::size_t kJitStackStart = std::size_t{32} << 10;
constexpr std::size_t kJitStackMax = std::size_t{64} << 20;

class ThreadMatcher {
 public:
  ThreadMatcher() {
    data_ = pcre2_match_data_create(kMaxGroups + 1, nullptr);
    context_ = pcre2_match_context_create(nullptr);
    jit_stack_ = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (data_ == nullptr || context_ == nullptr || jit_stack_ == nullptr) {
      release();
      throw std::bad_alloc();
    }
    pcre2_jit_stack_assign(context_, nullptr, jit_stack_);
    pcre2_set_match_limit(context_, UINT32_MAX);
    pcre2_set_depth_limit(context_, UINT32_MAX);
    pcre2_set_heap_limit(context_, UINT32_MAX);
  }
  ~ThreadMatcher() { release(); }
  ThreadMatcher(const ThreadMatcher&) = delete;
  ThreadMatcher& operator=(const ThreadMatcher&) = delete;

  pcre2_match_data* data() { return data_; }
  pcre2_match_context* context() { return context_; }

 private:
  void release() {
    if (data_ != nullptr) pcre2_match_data_free(data_);
    if (context_ != nullptr) pcre2_match_context_free(context_);
    if (jit_stack_ != nullptr) pcre2_jit_stack_free(jit_stack_);
    data_ = nullptr;
    context_ = nullptr;
    jit_stack_ = nullptr;
  }

  pcre2_match_data* data_ = nullptr;
  pcre2_match_context* context_ = nullptr;
  pcre2_jit_stack* jit_stack_ = nullptr;
};

ThreadMatcher& thread_matcher() {
  thread_local ThreadMatcher matcher;
  return matcher;
}

std::size_t utf8_char_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 0x6) return 2;
  if ((lead >> 4) == 0xE) return 3;
  if ((lead >> 3) == 0x1E) return 4;
  return 1;
}

// Appends the expansion of template `tmpl` for match `m` to `out`.
void expand_template(std::string_view tmpl, const Match& m, std::string_view subject,
                     std::string* out) {
  for (std::size_t i = 0; i < tmpl.size(); ++i) {
    char c = tmpl[i];
    if (c != '$' || i + 1 == tmpl.size()) {
      out->push_back(c);
      continue;
    }
    char next = tmpl[i + 1];
    if (next == '$') {
      out->push_back('$');
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool braced = next == '{';
    if (braced) ++j;
    std::size_t group = 0;
    std::size_t digits_begin = j;
    while (j < tmpl.size() && tmpl[j] >= '0' && tmpl[j] <= '9') {
      group = group * 10 + static_cast<std::size_t>(tmpl[j] - '0');
      ++j;
    }
    bool ok = j > digits_begin && (!braced || (j < tmpl.size() && tmpl[j] == '}'));
    if (!ok) {  // not a group reference: the "$" stands for itself
      out->push_back('$');
      continue;
    }
    if (braced) ++j;
    out->append(m.str(subject, group));
    i = j - 1;
  }
}

// Whether p[j] is a character that stands for itself: an ASCII letter or
// digit, not escaped, and not made optional by the quantifier after it.
bool is_required_word_literal(std::string_view p, std::size_t j) {
  if (j >= p.size() || !std::isalnum(static_cast<unsigned char>(p[j]))) return false;
  std::size_t slashes = 0;
  while (slashes < j && p[j - 1 - slashes] == '\\') ++slashes;
  if (slashes % 2 == 1) return false;
  if (j + 1 < p.size() && (p[j + 1] == '?' || p[j + 1] == '*' || p[j + 1] == '{')) return false;
  return true;
}

// The top-level alternatives of the group that opens at p[open], as
// [begin, end) offsets; empty if the group is not a plain or non-capturing
// group or does not close.
std::vector<std::pair<std::size_t, std::size_t>> group_alternatives(std::string_view p,
                                                                    std::size_t open) {
  std::size_t begin = open + 1;
  if (p.substr(begin, 2) == "?:") {
    begin += 2;
  } else if (begin < p.size() && p[begin] == '?') {
    return {};
  }
  std::vector<std::pair<std::size_t, std::size_t>> out;
  std::size_t depth = 0, start = begin;
  bool in_class = false;
  for (std::size_t i = begin; i < p.size(); ++i) {
    char c = p[i];
    if (c == '\\') {
      ++i;
    } else if (in_class) {
      if (c == ']') in_class = false;
    } else if (c == '[') {
      in_class = true;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth == 0) {
        out.emplace_back(start, i);
        return out;
      }
      --depth;
    } else if (c == '|' && depth == 0) {
      out.emplace_back(start, i);
      start = i + 1;
    }
  }
  return {};
}

// Whether the text at p[j] must begin with a word character: a required
// word literal, or a group each of whose alternatives begins with one.
bool starts_with_word_char(std::string_view p, std::size_t j) {
  if (is_required_word_literal(p, j)) return true;
  if (j >= p.size() || p[j] != '(') return false;
  auto alternatives = group_alternatives(p, j);
  if (alternatives.empty()) return false;
  for (auto [b, e] : alternatives) {
    if (b >= e || !is_required_word_literal(p, b)) return false;
  }
  return true;
}

// Whether the text just before p[j] (the position of a "\\b") must end with
// a word character: a required word literal, or a group none of whose
// alternatives can end otherwise (each ends in a literal, or in a literal
// made optional right after another literal, as in "terms?").
bool ends_with_word_char(std::string_view p, std::size_t j) {
  auto ends_in_literal = [&](std::size_t end) {
    if (end >= 1 && is_required_word_literal(p, end - 1)) return true;
    return end >= 2 && p[end - 1] == '?' && std::isalnum(static_cast<unsigned char>(p[end - 2])) &&
           end >= 3 && is_required_word_literal(p, end - 3);
  };
  if (j == 0) return false;
  if (is_required_word_literal(p, j - 1)) return true;
  if (p[j - 1] != ')') return false;
  // Find the group that closes at j - 1.
  std::size_t depth = 0;
  for (std::size_t k = j - 1; k-- > 0;) {
    std::size_t slashes = 0;
    while (slashes < k && p[k - 1 - slashes] == '\\') ++slashes;
    if (slashes % 2 == 1) continue;  // an escaped parenthesis
    if (p[k] == ')') {
      ++depth;
    } else if (p[k] == '(') {
      if (depth == 0) {
        auto alternatives = group_alternatives(p, k);
        if (alternatives.empty() || alternatives.back().second != j - 1) return false;
        for (auto [b, e] : alternatives) {
          if (e <= b || !ends_in_literal(e)) return false;
        }
        return true;
      }
      --depth;
    }
  }
  return false;
}

}  // namespace

std::string rewrite_classes(std::string_view p) {
  const std::string word = bracket(kWordMembers, false);
  const std::string boundary =
      "(?:(?<=" + word + ")(?!" + word + ")|(?<!" + word + ")(?=" + word + "))";
  const std::string non_boundary =
      "(?:(?<=" + word + ")(?=" + word + ")|(?<!" + word + ")(?!" + word + "))";
  std::string out;
  out.reserve(p.size() * 2);
  bool in_class = false;
  for (std::size_t i = 0; i < p.size(); ++i) {
    char c = p[i];
    if (c == '\\' && i + 1 < p.size()) {
      char e = p[++i];
      if (in_class) {
        switch (e) {
          case 's':
            out += kSpaceMembers;
            continue;
          case 'w':
            out += kWordMembers;
            continue;
          case 'd':
            out += kDigitMembers;
            continue;
          case 'S':
          case 'W':
          case 'D':
            throw std::logic_error("negated class escape inside a class is not supported: " +
                                   std::string(p));
          default:
            break;
        }
      } else {
        switch (e) {
          case 's':
            out += bracket(kSpaceMembers, false);
            continue;
          case 'S':
            out += bracket(kSpaceMembers, true);
            continue;
          case 'w':
            out += word;
            continue;
          case 'W':
            out += bracket(kWordMembers, true);
            continue;
          case 'd':
            out += bracket(kDigitMembers, false);
            continue;
          case 'D':
            out += bracket(kDigitMembers, true);
            continue;
          case 'b':
            // Where one side of the boundary is known to be a word character,
            // only the other side needs a test. A lone look-behind also lets
            // the engine skip ahead to the literal that follows it.
            if (starts_with_word_char(p, i + 1)) {
              out += "(?<!" + word + ")";
            } else if (ends_with_word_char(p, i - 1)) {
              out += "(?!" + word + ")";
            } else {
              out += boundary;
            }
            continue;
          case 'B':
            out += non_boundary;
            continue;
          default:
            break;
        }
      }
      out += '\\';
      out += e;
      continue;
    }
    if (!in_class && c == '[') {
      in_class = true;
      out += c;
      // A "]" right after "[" or "[^" is a member, not the end of the class.
      if (i + 1 < p.size() && p[i + 1] == '^') out += p[++i];
      if (i + 1 < p.size() && p[i + 1] == ']') out += p[++i];
      continue;
    }
    if (in_class && c == ']') in_class = false;
    out += c;
  }
  return out;
}

std::vector<std::string> split_alternatives(std::string_view p) {
  // Leading inline options apply to every alternative.
  std::size_t body = 0;
  if (p.substr(0, 2) == "(?") {
    std::size_t i = 2;
    while (i < p.size() && (std::isalpha(static_cast<unsigned char>(p[i])) || p[i] == '-')) ++i;
    if (i > 2 && i < p.size() && p[i] == ')') body = i + 1;
  }
  const std::string_view options = p.substr(0, body);
  std::vector<std::string> out;
  std::size_t depth = 0;
  std::size_t start = body;
  bool in_class = false;
  for (std::size_t i = body; i < p.size(); ++i) {
    char c = p[i];
    if (c == '\\') {
      ++i;
      continue;
    }
    if (in_class) {
      if (c == ']') in_class = false;
      continue;
    }
    if (c == '[') {
      in_class = true;
      if (i + 1 < p.size() && p[i + 1] == '^') ++i;
      if (i + 1 < p.size() && p[i + 1] == ']') ++i;
    } else if (c == '(') {
      // An option setting at the top level changes the alternatives after it.
      if (depth == 0 && p.substr(i, 2) == "(?" && i + 2 < p.size() &&
          (std::isalpha(static_cast<unsigned char>(p[i + 2])) || p[i + 2] == '-' ||
           p[i + 2] == '^')) {
        std::size_t j = i + 2;
        while (j < p.size() && p[j] != ')' && p[j] != ':') ++j;
        if (j < p.size() && p[j] == ')') return {};
      }
      ++depth;
    } else if (c == ')') {
      if (depth == 0) return {};
      --depth;
    } else if (c == '|' && depth == 0) {
      out.emplace_back(std::string(options) + std::string(p.substr(start, i - start)));
      start = i + 1;
    }
  }
  if (out.empty()) return {};
  out.emplace_back(std::string(options) + std::string(p.substr(start)));
  return out;
}

Regex::Regex(std::string_view pattern) : pattern_(pattern) {
  const std::string rewritten = rewrite_classes(pattern);
  pcre2_compile_context* cctx = pcre2_compile_context_create(nullptr);
  if (cctx == nullptr) throw std::bad_alloc();
  pcre2_set_newline(cctx, PCRE2_NEWLINE_LF);
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(rewritten.data()), rewritten.size(),
                    PCRE2_UTF | PCRE2_UCP | PCRE2_DOLLAR_ENDONLY, &error, &offset, cctx);
  pcre2_compile_context_free(cctx);
  if (code == nullptr) {
    throw std::logic_error("pattern does not compile: " + error_text(error) + " at " +
                           std::to_string(offset) + " in " + pattern_);
  }
  // Without JIT support the interpreter serves, with the same results.
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  uint32_t groups = 0;
  pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
  if (groups > kMaxGroups) {
    pcre2_code_free(code);
    throw std::logic_error("pattern has too many groups: " + pattern_);
  }
  code_ = code;
  group_count_ = groups;
  for (const std::string& alternative : split_alternatives(pattern)) {
    alternatives_.push_back(std::make_unique<Regex>(alternative));
  }
}

Regex::~Regex() { pcre2_code_free(as_code(code_)); }

bool Regex::match_at(std::string_view text, std::size_t start, Match* m) const {
  ThreadMatcher& tm = thread_matcher();
  int rc = pcre2_match(as_code(code_), reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                       start, PCRE2_NO_UTF_CHECK, tm.data(), tm.context());
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  if (rc < 0) throw RegexError(error_text(rc) + " (pattern " + pattern_ + ")");
  const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(tm.data());
  m->group_count_ = group_count_;
  for (std::size_t g = 0; g <= group_count_; ++g) {
    if (g < static_cast<std::size_t>(rc) && ov[2 * g] != PCRE2_UNSET) {
      m->spans_[g] = Span{ov[2 * g], ov[2 * g + 1]};
    } else {
      m->spans_[g] = Span{};
    }
  }
  return true;
}

bool Regex::test(std::string_view text) const {
  if (!alternatives_.empty()) {
    for (const auto& alternative : alternatives_) {
      if (alternative->test(text)) return true;
    }
    return false;
  }
  Match m;
  return match_at(text, 0, &m);
}

std::optional<Match> Regex::find(std::string_view text, std::size_t start) const {
  if (start > text.size()) return std::nullopt;
  Match m;
  if (!match_at(text, start, &m)) return std::nullopt;
  return m;
}

std::size_t next_search_start(std::string_view text, const Match& m) {
  Span w = m.whole();
  if (w.end > w.begin) return w.end;
  if (w.end >= text.size()) return text.size() + 1;  // an empty match at the end: done
  return w.end + utf8_char_length(static_cast<unsigned char>(text[w.end]));
}

std::string Regex::replace(std::string_view text, std::string_view tmpl, std::size_t limit) const {
  return replace(
      text,
      [tmpl](const Match& m, std::string_view subject) {
        std::string piece;
        expand_template(tmpl, m, subject, &piece);
        return piece;
      },
      limit);
}

std::string Regex::replace(std::string_view text, const Replacer& fn, std::size_t limit) const {
  std::string out;
  std::size_t copied = 0;  // text before this offset is already in `out`
  std::size_t done = 0;
  if (limit == 0) return std::string(text);
  for_each(text, [&](const Match& m) {
    Span w = m.whole();
    out.append(text.substr(copied, w.begin - copied));
    out.append(fn(m, text));
    copied = w.end;
    return ++done < limit;
  });
  out.append(text.substr(copied));
  return out;
}

}  // namespace textservices
