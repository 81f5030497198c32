// REGEXP_LIKE, REGEXP_SUBSTR, REGEXP_INSTR, REGEXP_REPLACE and REGEXP_COUNT over a matcher of their
// own: POSIX extended syntax with the Perl additions Oracle accepts (\d \w \s and their negations,
// \A \Z \z, non-greedy quantifiers, back references \1..\9). Matching backtracks as Perl does: the
// first alternative that leads to a match wins, not the longest. Text is matched by characters
// (code points), so positions count characters. Match parameters: i (ignore case), c (respect case),
// n (. matches a newline), m (^ and $ at every line), x (blanks in the pattern ignored); the last of
// i and c wins.
#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/builtins/internal.h"
#include "engine/builtins/library.h"

namespace engine::builtins {

namespace {

constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);

struct Flags {
  bool icase = false, dotAll = false, multiline = false, extended = false;
};

Flags parseFlags(const std::string& text) {
  Flags f;
  for (char c : text) {
    switch (c) {
      case 'i': f.icase = true; break;
      case 'c': f.icase = false; break;
      case 'n': f.dotAll = true; break;
      case 'm': f.multiline = true; break;
      case 'x': f.extended = true; break;
      default: raise(1760);
    }
  }
  return f;
}

// A bracket expression, \d, \w, \s or their negations: ranges and named classes.
struct CharSet {
  std::vector<std::pair<char32_t, char32_t>> ranges;
  std::vector<int (*)(int)> classes;  // <cctype> tests, applied to ASCII characters
  bool negated = false;

  bool has(char32_t c) const {
    for (const auto& r : ranges)
      if (c >= r.first && c <= r.second) return true;
    if (c < 128)
      for (auto test : classes)
        if (test(static_cast<int>(c))) return true;
    return false;
  }
};

struct Node;
using Seq = std::vector<Node>;

struct Node {
  enum class Type { Char, Any, Set, LineStart, LineEnd, TextStart, TextEnd, TextEndNewline, Group, Backref, Repeat };
  Type type = Type::Char;
  char32_t ch = 0;
  std::shared_ptr<CharSet> set;
  std::vector<Seq> alternatives;  // Group: its branches (index group, or kNoGroup for the whole pattern)
  std::size_t group = kNoGroup;
  int min = 0, max = -1;          // Repeat: -1 unbounded
  bool greedy = true;
  std::shared_ptr<Seq> body;      // Repeat: what repeats, one node

  bool single() const { return type == Type::Char || type == Type::Any || type == Type::Set; }
};

int isWordChar(int c) { return std::isalnum(c) || c == '_'; }
int isBlankChar(int c) { return c == ' ' || c == '\t'; }

// The pattern parser: Oracle's errors for malformed patterns.
class PatternParser {
 public:
  PatternParser(std::u32string pattern, const Flags& flags) : p_(std::move(pattern)), flags_(flags) {}

  Node parse() {
    Node top;
    top.type = Node::Type::Group;
    top.alternatives = alternation();
    if (i_ < p_.size()) raise(12725);  // a ")" without its "("
    return top;
  }
  std::size_t groups() const { return groups_; }

 private:
  bool atEnd() { skipBlanks(); return i_ >= p_.size(); }
  void skipBlanks() {
    if (!flags_.extended) return;
    while (i_ < p_.size() && (p_[i_] == ' ' || p_[i_] == '\t' || p_[i_] == '\n' || p_[i_] == '\r')) ++i_;
  }

  std::vector<Seq> alternation() {
    std::vector<Seq> alts;
    alts.push_back(sequence());
    while (!atEnd() && p_[i_] == '|') {
      ++i_;
      alts.push_back(sequence());
    }
    return alts;
  }

  Seq sequence() {
    Seq seq;
    while (!atEnd() && p_[i_] != '|' && p_[i_] != ')') {
      Node atom = this->atom();
      quantifiers(atom);
      seq.push_back(std::move(atom));
    }
    return seq;
  }

  // Reads {m}, {m,}, {m,n} at i_ (just past "{"); false (i_ unchanged) when it is no interval.
  bool interval(int& min, int& max) {
    std::size_t j = i_;
    auto number = [&](int& out) {
      std::size_t start = j;
      long long v = 0;
      while (j < p_.size() && p_[j] >= '0' && p_[j] <= '9') {
        v = v * 10 + (p_[j] - '0');
        if (v > 32767) raise(12732);
        ++j;
      }
      out = static_cast<int>(v);
      return j > start;
    };
    if (!number(min)) return false;
    max = min;
    if (j < p_.size() && p_[j] == ',') {
      ++j;
      max = -1;
      if (j < p_.size() && p_[j] != '}' && !number(max)) return false;
    }
    if (j >= p_.size() || p_[j] != '}') return false;
    if (max >= 0 && max < min) raise(12732);
    i_ = j + 1;
    return true;
  }

  void quantifiers(Node& atom) {
    for (;;) {
      skipBlanks();
      if (i_ >= p_.size()) return;
      int min, max;
      char32_t c = p_[i_];
      if (c == '*') { min = 0; max = -1; ++i_; }
      else if (c == '+') { min = 1; max = -1; ++i_; }
      else if (c == '?') { min = 0; max = 1; ++i_; }
      else if (c == '{') {
        ++i_;
        if (!interval(min, max)) {
          --i_;
          return;
        }
      } else {
        return;
      }
      bool greedy = true;
      if (i_ < p_.size() && p_[i_] == '?') {
        greedy = false;
        ++i_;
      }
      Node rep;
      rep.type = Node::Type::Repeat;
      rep.min = min;
      rep.max = max;
      rep.greedy = greedy;
      rep.body = std::make_shared<Seq>();
      rep.body->push_back(std::move(atom));
      atom = std::move(rep);
    }
  }

  Node charNode(char32_t c) {
    Node n;
    n.type = Node::Type::Char;
    n.ch = c;
    return n;
  }

  Node setNode(std::shared_ptr<CharSet> set) {
    Node n;
    n.type = Node::Type::Set;
    n.set = std::move(set);
    return n;
  }

  Node atom() {
    char32_t c = p_[i_++];
    Node n;
    switch (c) {
      case '(': {
        n.type = Node::Type::Group;
        n.group = groups_++;
        n.alternatives = alternation();
        if (atEnd() || p_[i_] != ')') raise(12725);
        ++i_;
        closed_.push_back(n.group);
        return n;
      }
      case '.': n.type = Node::Type::Any; return n;
      case '^': n.type = Node::Type::LineStart; return n;
      case '$': n.type = Node::Type::LineEnd; return n;
      case '[': return setNode(bracket());
      case '\\': return escape();
      default: return charNode(c);
    }
  }

  Node escape() {
    if (i_ >= p_.size()) return charNode('\\');  // a trailing backslash stands for itself
    char32_t c = p_[i_++];
    auto named = [&](int (*test)(int), bool negated) {
      auto set = std::make_shared<CharSet>();
      set->classes.push_back(test);
      set->negated = negated;
      return setNode(set);
    };
    Node n;
    switch (c) {
      case 'd': return named(isdigit, false);
      case 'D': return named(isdigit, true);
      case 'w': return named(isWordChar, false);
      case 'W': return named(isWordChar, true);
      case 's': return named(isspace, false);
      case 'S': return named(isspace, true);
      case 'A': n.type = Node::Type::TextStart; return n;
      case 'Z': n.type = Node::Type::TextEndNewline; return n;
      case 'z': n.type = Node::Type::TextEnd; return n;
      default: break;
    }
    if (c >= '1' && c <= '9') {
      std::size_t g = c - '1';
      // A reference needs its group closed before it.
      if (std::find(closed_.begin(), closed_.end(), g) == closed_.end()) raise(12727);
      n.type = Node::Type::Backref;
      n.group = g;
      return n;
    }
    return charNode(c);
  }

  // [...] just past "[": "]" first is a member, "-" first or last is a member, [:class:], [=c=], [.c.].
  std::shared_ptr<CharSet> bracket() {
    auto set = std::make_shared<CharSet>();
    if (i_ < p_.size() && p_[i_] == '^') {
      set->negated = true;
      ++i_;
    }
    bool first = true;
    for (;;) {
      if (i_ >= p_.size()) raise(12726);
      char32_t c = p_[i_];
      if (c == ']' && !first) {
        ++i_;
        return set;
      }
      first = false;
      char32_t low;
      if (c == '[' && i_ + 1 < p_.size() && (p_[i_ + 1] == ':' || p_[i_ + 1] == '=' || p_[i_ + 1] == '.')) {
        char32_t kind = p_[i_ + 1];
        std::size_t end = i_ + 2;
        while (end + 1 < p_.size() && !(p_[end] == kind && p_[end + 1] == ']')) ++end;
        if (end + 1 >= p_.size()) raise(12726);
        std::u32string name = p_.substr(i_ + 2, end - i_ - 2);
        i_ = end + 2;
        if (kind == ':') {
          set->classes.push_back(namedClass(name));
          continue;
        }
        if (name.size() != 1) raise(kind == '=' ? 12730 : 12731);
        low = name[0];
      } else {
        low = c;
        ++i_;
      }
      // A range low-high; "-" before "]" is a member.
      if (i_ + 1 < p_.size() && p_[i_] == '-' && p_[i_ + 1] != ']') {
        char32_t high = p_[i_ + 1];
        i_ += 2;
        if (high == '[' && i_ < p_.size() && (p_[i_] == '.' || p_[i_] == '=')) {
          char32_t kind = p_[i_];
          std::size_t end = i_ + 1;
          while (end + 1 < p_.size() && !(p_[end] == kind && p_[end + 1] == ']')) ++end;
          if (end + 1 >= p_.size() || end - i_ - 1 != 1) raise(12728);
          high = p_[i_ + 1];
          i_ = end + 2;
        }
        if (high < low) raise(12728);
        set->ranges.emplace_back(low, high);
      } else {
        set->ranges.emplace_back(low, low);
      }
    }
  }

  static int (*namedClass(const std::u32string& name))(int) {
    static const std::pair<const char*, int (*)(int)> classes[] = {
        {"alpha", isalpha}, {"digit", isdigit}, {"alnum", isalnum}, {"upper", isupper}, {"lower", islower},
        {"space", isspace}, {"punct", ispunct}, {"print", isprint}, {"graph", isgraph}, {"cntrl", iscntrl},
        {"xdigit", isxdigit}, {"blank", isBlankChar}};
    std::string ascii(name.begin(), name.end());
    for (const auto& c : classes)
      if (ascii == c.first) return c.second;
    raise(12729);
  }

  std::u32string p_;
  Flags flags_;
  std::size_t i_ = 0;
  std::size_t groups_ = 0;
  std::vector<std::size_t> closed_;
};

struct Regex {
  Node top;
  std::size_t groups = 0;
  Flags flags;
};

// One compiled pattern per pattern text and flags, kept for the next rows.
std::shared_ptr<const Regex> compile(const std::string& pattern, const Flags& flags) {
  thread_local std::unordered_map<std::string, std::shared_ptr<const Regex>> cache;
  std::string key = pattern + '\0' + char('0' + flags.icase) + char('0' + flags.dotAll) + char('0' + flags.multiline) +
                    char('0' + flags.extended);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  std::u32string text = decodeUtf8(pattern);
  if (text.size() > 512) raise(12733);
  auto re = std::make_shared<Regex>();
  PatternParser parser(text, flags);
  re->top = parser.parse();
  re->groups = parser.groups();
  re->flags = flags;
  if (cache.size() >= 64) cache.clear();
  cache.emplace(key, re);
  return re;
}

// The backtracking matcher. A continuation is what must match after the current node.
class Matcher {
 public:
  Matcher(const Regex& re, const std::u32string& text) : re_(re), t_(text), caps_(re.groups, {kNoGroup, kNoGroup}) {}

  // The first match starting at or after `from`: its start and end, and the groups'.
  bool search(std::size_t from, std::size_t& start, std::size_t& end) {
    for (std::size_t s = from; s <= t_.size(); ++s) {
      std::fill(caps_.begin(), caps_.end(), std::make_pair(kNoGroup, kNoGroup));
      std::size_t e = 0;
      Done done{&e};
      if (alternatives(re_.top.alternatives, s, done)) {
        start = s;
        end = e;
        return true;
      }
    }
    return false;
  }

  std::pair<std::size_t, std::size_t> capture(std::size_t g) const { return g < caps_.size() ? caps_[g] : std::make_pair(kNoGroup, kNoGroup); }

 private:
  struct Cont {
    virtual bool operator()(std::size_t pos) const = 0;
  };
  struct Done : Cont {
    explicit Done(std::size_t* out) : out(out) {}
    bool operator()(std::size_t pos) const override {
      *out = pos;
      return true;
    }
    std::size_t* out;
  };
  template <class F>
  struct Fn : Cont {
    explicit Fn(F f) : f(std::move(f)) {}
    bool operator()(std::size_t pos) const override { return f(pos); }
    F f;
  };
  template <class F>
  static Fn<F> fn(F f) { return Fn<F>(std::move(f)); }

  struct Depth {
    explicit Depth(int& d) : d(d) {
      if (++d > 20000) raise(600, "regexp], [backtracking too deep");
    }
    ~Depth() { --d; }
    int& d;
  };

  char32_t fold(char32_t c) const { return re_.flags.icase ? toLower(c) : c; }

  bool one(const Node& n, char32_t c) const {
    switch (n.type) {
      case Node::Type::Char: return fold(c) == fold(n.ch);
      case Node::Type::Any: return re_.flags.dotAll || c != '\n';
      case Node::Type::Set: {
        bool in = n.set->has(c) || (re_.flags.icase && (n.set->has(toLower(c)) || n.set->has(toUpper(c))));
        return in != n.set->negated;
      }
      default: return false;
    }
  }

  bool alternatives(const std::vector<Seq>& alts, std::size_t pos, const Cont& k) {
    for (const auto& seq : alts)
      if (sequence(seq, 0, pos, k)) return true;
    return false;
  }

  bool sequence(const Seq& seq, std::size_t i, std::size_t pos, const Cont& k) {
    Depth depth(depth_);
    if (i == seq.size()) return k(pos);
    const Node& n = seq[i];
    auto rest = fn([&](std::size_t p) { return sequence(seq, i + 1, p, k); });
    switch (n.type) {
      case Node::Type::Char:
      case Node::Type::Any:
      case Node::Type::Set:
        // Runs of single characters advance in a loop, not by recursion.
        while (i < seq.size() && seq[i].single()) {
          if (pos >= t_.size() || !one(seq[i], t_[pos])) return false;
          ++pos;
          ++i;
        }
        return sequence(seq, i, pos, k);
      case Node::Type::LineStart:
        if (pos == 0 || (re_.flags.multiline && t_[pos - 1] == '\n')) return rest(pos);
        return false;
      case Node::Type::LineEnd:
        if (pos == t_.size() || (re_.flags.multiline && t_[pos] == '\n')) return rest(pos);
        return false;
      case Node::Type::TextStart: return pos == 0 && rest(pos);
      case Node::Type::TextEnd: return pos == t_.size() && rest(pos);
      case Node::Type::TextEndNewline:
        return (pos == t_.size() || (pos + 1 == t_.size() && t_[pos] == '\n')) && rest(pos);
      case Node::Type::Group: return group(n, pos, rest);
      case Node::Type::Backref: {
        auto [s, e] = caps_[n.group];
        if (s == kNoGroup) return false;
        std::size_t len = e - s;
        if (pos + len > t_.size()) return false;
        for (std::size_t j = 0; j < len; ++j)
          if (fold(t_[s + j]) != fold(t_[pos + j])) return false;
        return rest(pos + len);
      }
      case Node::Type::Repeat: return repeat(n, pos, rest);
    }
    return false;
  }

  bool group(const Node& n, std::size_t pos, const Cont& k) {
    auto saved = caps_[n.group];
    auto close = fn([&](std::size_t p) {
      auto inner = caps_[n.group];
      caps_[n.group] = {pos, p};
      if (k(p)) return true;
      caps_[n.group] = inner;
      return false;
    });
    if (alternatives(n.alternatives, pos, close)) return true;
    caps_[n.group] = saved;
    return false;
  }

  bool repeat(const Node& n, std::size_t pos, const Cont& k) {
    const Node& c = n.body->front();
    std::size_t max = n.max < 0 ? static_cast<std::size_t>(-1) : static_cast<std::size_t>(n.max);
    if (c.single()) {
      std::size_t count = 0;
      while (count < max && pos + count < t_.size() && one(c, t_[pos + count])) ++count;
      std::size_t min = static_cast<std::size_t>(n.min);
      if (count < min) return false;
      if (n.greedy) {
        for (std::size_t m = count + 1; m-- > min;)
          if (k(pos + m)) return true;
      } else {
        for (std::size_t m = min; m <= count; ++m)
          if (k(pos + m)) return true;
      }
      return false;
    }
    return repeatFrom(n, 0, pos, k);
  }

  bool repeatFrom(const Node& n, int count, std::size_t pos, const Cont& k) {
    Depth depth(depth_);
    bool canStop = count >= n.min;
    auto more = [&]() {
      if (n.max >= 0 && count >= n.max) return false;
      auto next = fn([&](std::size_t p) {
        if (p == pos && canStop) return false;  // an empty iteration cannot loop for ever
        return repeatFrom(n, count + 1, p, k);
      });
      return sequence(*n.body, 0, pos, next);
    };
    if (n.greedy) return more() || (canStop && k(pos));
    return (canStop && k(pos)) || more();
  }

  const Regex& re_;
  const std::u32string& t_;
  std::vector<std::pair<std::size_t, std::size_t>> caps_;
  int depth_ = 0;
};

// The arguments the functions share.
struct Call {
  std::u32string text;
  std::shared_ptr<const Regex> re;
};

Call prepare(const Args& a, int patternArg, int flagsArg) {
  Call c;
  c.text = decodeUtf8(a.text(0));
  Flags flags = flagsArg >= 0 && a.size() > flagsArg && !a.isNull(flagsArg) ? parseFlags(a.text(flagsArg)) : Flags{};
  c.re = compile(a.text(patternArg), flags);
  return c;
}

std::int64_t positiveArg(const Args& a, int i, std::int64_t fallback) {
  if (a.size() <= i) return fallback;
  std::int64_t v = a.integer(i);
  if (v < 1) raise(1428, a.text(i));
  return v;
}

std::int64_t subexpressionArg(const Args& a, int i) {
  if (a.size() <= i) return 0;
  std::int64_t v = a.integer(i);
  if (v < 0 || v > 9) raise(1428, a.text(i));
  return v;
}

// Whether any argument the result depends on is NULL (the optional ones only when given); a NULL
// match parameter (at flagsArg) means the defaults.
bool anyNull(const Args& a, int count, int flagsArg) {
  for (int i = 0; i < count && i < a.size(); ++i)
    if (i != flagsArg && a.isNull(i)) return true;
  return false;
}

// The occurrence-th match from the position (1-based), or false.
bool nth(Matcher& m, const Call& c, std::int64_t position, std::int64_t occurrence, std::size_t& start, std::size_t& end) {
  std::size_t from = static_cast<std::size_t>(position - 1);
  if (from > c.text.size()) return false;
  for (std::int64_t k = 0; k < occurrence; ++k) {
    if (!m.search(from, start, end)) return false;
    from = end > start ? end : end + 1;  // after an empty match, move on one character
    if (k + 1 < occurrence && from > c.text.size()) return false;
  }
  return true;
}

Value regexpLike(const Args& a) {
  if (a.isNull(0) || a.isNull(1)) return {};
  Call c = prepare(a, 1, 2);
  Matcher m(*c.re, c.text);
  std::size_t s, e;
  return Value(std::int64_t{m.search(0, s, e) ? 1 : 0});
}

Value regexpSubstr(const Args& a) {
  if (anyNull(a, 6, 4)) return {};
  Call c = prepare(a, 1, 4);
  std::int64_t position = positiveArg(a, 2, 1), occurrence = positiveArg(a, 3, 1), sub = subexpressionArg(a, 5);
  Matcher m(*c.re, c.text);
  std::size_t s, e;
  if (!nth(m, c, position, occurrence, s, e)) return {};
  if (sub > 0) {
    if (static_cast<std::size_t>(sub) > c.re->groups) return {};
    std::tie(s, e) = m.capture(static_cast<std::size_t>(sub - 1));
    if (s == kNoGroup) return {};
  }
  return textValue(encodeUtf8(std::u32string_view(c.text).substr(s, e - s)));
}

Value regexpInstr(const Args& a) {
  if (anyNull(a, 7, 5)) return {};
  Call c = prepare(a, 1, 5);
  std::int64_t position = positiveArg(a, 2, 1), occurrence = positiveArg(a, 3, 1), sub = subexpressionArg(a, 6);
  std::int64_t after = a.size() > 4 ? a.integer(4) : 0;
  if (after < 0) raise(1428, a.text(4));
  Matcher m(*c.re, c.text);
  std::size_t s, e;
  if (!nth(m, c, position, occurrence, s, e)) return Value(std::int64_t{0});
  if (sub > 0) {
    if (static_cast<std::size_t>(sub) > c.re->groups) return Value(std::int64_t{0});
    std::tie(s, e) = m.capture(static_cast<std::size_t>(sub - 1));
    if (s == kNoGroup) return Value(std::int64_t{0});
  }
  return Value(static_cast<std::int64_t>(after ? e + 1 : s + 1));
}

Value regexpCount(const Args& a) {
  if (anyNull(a, 4, 3)) return {};
  Call c = prepare(a, 1, 3);
  std::int64_t position = positiveArg(a, 2, 1);
  Matcher m(*c.re, c.text);
  std::size_t from = static_cast<std::size_t>(position - 1), s, e;
  std::int64_t count = 0;
  while (from <= c.text.size() && m.search(from, s, e)) {
    ++count;
    from = e > s ? e : e + 1;
  }
  return Value(count);
}

// REGEXP_REPLACE(text, pattern [, replacement [, position [, occurrence [, flags]]]]): occurrence 0
// replaces every match; \1..\9 in the replacement stand for the groups. A NULL pattern leaves the text.
Value regexpReplace(const Args& a) {
  if (a.isNull(0)) return {};
  if (a.isNull(1)) return textValue(a.text(0));
  for (int i = 3; i < 5 && i < a.size(); ++i)
    if (a.isNull(i)) return {};
  Call c = prepare(a, 1, 5);
  std::u32string replacement = a.size() > 2 ? decodeUtf8(a.text(2)) : std::u32string();
  std::int64_t position = positiveArg(a, 3, 1);
  std::int64_t occurrence = a.size() > 4 ? a.integer(4) : 0;
  if (occurrence < 0) raise(1428, a.text(4));
  Matcher m(*c.re, c.text);
  std::u32string out;
  std::size_t from = static_cast<std::size_t>(position - 1), copied = 0, s, e;
  if (from > c.text.size()) return textValue(a.text(0));
  std::int64_t seen = 0;
  while (from <= c.text.size() && m.search(from, s, e)) {
    ++seen;
    if (occurrence == 0 || seen == occurrence) {
      out.append(c.text, copied, s - copied);
      for (std::size_t j = 0; j < replacement.size(); ++j) {
        char32_t r = replacement[j];
        if (r == '\\' && j + 1 < replacement.size()) {
          char32_t next = replacement[j + 1];
          if (next >= '1' && next <= '9') {
            auto [gs, ge] = m.capture(static_cast<std::size_t>(next - '1'));
            if (gs != kNoGroup) out.append(c.text, gs, ge - gs);
            ++j;
            continue;
          }
          if (next == '\\') {
            out += '\\';
            ++j;
            continue;
          }
        }
        out += r;
      }
      copied = e;
      if (occurrence != 0) break;
    }
    if (e == s) {
      // An empty match: the character after it is kept and the search goes on past it.
      if (e < c.text.size() && (occurrence == 0 || seen < occurrence)) {
        if (occurrence == 0) {
          out.append(c.text, copied, e + 1 - copied);
          copied = e + 1;
        }
      }
      from = e + 1;
    } else {
      from = e;
    }
  }
  out.append(c.text, std::min(copied, c.text.size()), std::u32string::npos);
  return textValue(encodeUtf8(out));
}

}  // namespace

const std::vector<Definition>& regexpDefinitions() {
  static const std::vector<Definition> table = {
      // name            min max  strict deterministic
      {"ora_regexp_like", 2, 3, false, true, regexpLike},
      {"ora_regexp_substr", 2, 6, false, true, regexpSubstr},
      {"ora_regexp_instr", 2, 7, false, true, regexpInstr},
      {"ora_regexp_replace", 2, 6, false, true, regexpReplace},
      {"ora_regexp_count", 2, 4, false, true, regexpCount},
  };
  return table;
}

}  // namespace engine::builtins
