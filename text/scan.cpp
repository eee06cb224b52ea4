#include "text/scan.h"

#include <algorithm>
#include <limits>

namespace ct {

// ---- Small helpers -----------------------------------------------------------

char At(std::string_view s, Pos p) {
  return (p >= 1 && p <= Len(s)) ? s[static_cast<size_t>(p - 1)] : '\0';
}

std::string Copy(std::string_view s, Pos from, Pos count) {
  if (from < 1) {
    count += from - 1;
    from = 1;
  }
  if (count <= 0 || from > Len(s)) return {};
  count = std::min(count, Len(s) - from + 1);
  return std::string(s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(count)));
}

std::string Slice(std::string_view s, Pos from, Pos to) {
  from = std::max<Pos>(from, 1);
  to = std::min(to, Len(s));
  if (to < from) return {};
  return std::string(s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1)));
}

std::string Tail(std::string_view s, Pos from) { return Slice(s, from, Len(s)); }

void Erase(std::string& s, Pos from, Pos count) {
  if (from < 1 || from > Len(s) || count <= 0) return;
  count = std::min(count, Len(s) - from + 1);
  s.erase(static_cast<size_t>(from - 1), static_cast<size_t>(count));
}

void InsertAt(std::string& s, std::string_view what, Pos at) {
  at = std::clamp<Pos>(at, 1, Len(s) + 1);
  s.insert(static_cast<size_t>(at - 1), what);
}

void Replace(std::string& s, Pos from, Pos count, std::string_view what) {
  Erase(s, from, count);
  InsertAt(s, what, from);
}

bool IsBlank(unsigned char c) { return c <= 32; }

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(0, e));
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string LowerAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = LowerAscii(c);
  return r;
}

std::string UpperAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool ContainsText(std::string_view text, std::string_view sub) { return FindText(text, sub, 1) != 0; }

bool Contains(std::string_view text, std::string_view sub) {
  return !sub.empty() && text.find(sub) != std::string_view::npos;
}

Pos FindExact(std::string_view text, std::string_view sub, Pos start) {
  if (sub.empty() || start < 1 || start > Len(text)) return 0;
  size_t p = text.find(sub, static_cast<size_t>(start - 1));
  return p == std::string_view::npos ? 0 : static_cast<Pos>(p) + 1;
}

namespace {

// One replacement loop for every Replace* variant. Matches are searched in
// `searched`: the text itself, or a same-length mask of it.
std::string ReplaceImpl(std::string_view text, std::string_view searched, std::string_view from, std::string_view to,
                        bool ignore_case, bool all) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  Pos start = 1;
  // Every match moves `start` past it.
  while (true) {
    Pos p = ignore_case ? FindText(searched, from, start) : FindExact(searched, from, start);
    if (p == 0) break;
    out.append(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(p - start)));
    out.append(to);
    start = p + Len(from);
    if (!all) break;
  }
  if (start <= Len(text)) out.append(text.substr(static_cast<size_t>(start - 1)));
  return out;
}

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  return ReplaceImpl(text, text, from, to, false, true);
}
std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to) {
  return ReplaceImpl(text, text, from, to, true, true);
}
std::string ReplaceFirst(std::string_view text, std::string_view from, std::string_view to) {
  return ReplaceImpl(text, text, from, to, false, false);
}
std::string ReplaceFirstText(std::string_view text, std::string_view from, std::string_view to) {
  return ReplaceImpl(text, text, from, to, true, false);
}

std::string CollapseSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out.push_back(c);
  return out;
}

std::optional<std::int64_t> ParseInt64(std::string_view text) {
  if (text.empty()) return std::nullopt;
  bool negative = text[0] == '-';
  size_t i = negative ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  // Accumulate as a negative number so that the minimum value fits.
  std::int64_t value = 0;
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    int digit = c - '0';
    if (value < (kMin + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == kMin) return std::nullopt;
    value = -value;
  }
  return value;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  auto v = ParseInt64(text);
  if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

// ---- Scanning primitives -------------------------------------------------------

Pos FindChar(std::string_view text, char c, Pos start) {
  if (text.empty() || start < 1 || start > Len(text)) return 0;
  size_t p = text.find(c, static_cast<size_t>(start - 1));
  return p == std::string_view::npos ? 0 : static_cast<Pos>(p) + 1;
}

Pos FindCharInRange(std::string_view text, char c, Pos from, Pos to) {
  if (from < 1 || to < 1) return 0;
  const Pos n = Len(text);
  if (to < from) {
    for (Pos p = std::min(from, n); p >= to; --p)
      if (text[static_cast<size_t>(p - 1)] == c) return p;
  } else {
    for (Pos p = from; p <= std::min(to, n); ++p)
      if (text[static_cast<size_t>(p - 1)] == c) return p;
  }
  return 0;
}

Pos FindText(std::string_view text, std::string_view sub, Pos start) {
  if (sub.empty() || start < 1 || start > Len(text)) return 0;
  const size_t m = sub.size();
  const char first = LowerAscii(sub[0]);
  for (size_t i = static_cast<size_t>(start - 1); i + m <= text.size(); ++i) {
    if (LowerAscii(text[i]) != first) continue;
    size_t k = 1;
    while (k < m && LowerAscii(text[i + k]) == LowerAscii(sub[k])) ++k;
    if (k == m) return static_cast<Pos>(i) + 1;
  }
  return 0;
}

Pos CountText(std::string_view text, std::string_view sub) {
  Pos count = 0;
  for (Pos p = FindText(text, sub, 1); p != 0; p = FindText(text, sub, p + 1)) ++count;
  return count;
}

Split SplitAtChar(std::string_view text, char c, bool from_end) {
  Pos p = from_end ? FindCharInRange(text, c, Len(text), 1) : FindChar(text, c, 1);
  if (p == 0) return {std::string(text), {}};
  std::string before = Copy(text, 1, p - 1);
  std::string after = Copy(text, p + 1, kSplitRemainderLimit);
  if (from_end) return {std::move(after), std::move(before)};
  return {std::move(before), std::move(after)};
}

std::string CutAtChar(std::string& text, char c, bool from_end) {
  Split parts = SplitAtChar(text, c, from_end);
  text = std::move(parts.far);
  return std::move(parts.near);
}

Token GetValidToken(std::string_view text, std::string_view dividers) {
  if (Len(text) >= kTokenLimit || text.empty()) return {};
  Token result;
  for (size_t i = 0; i < text.size(); ++i) {
    bool divider = dividers.find(text[i]) != std::string_view::npos;
    if (!divider) {
      result.token.push_back(text[i]);
    } else if (!result.token.empty()) {
      result.rest = std::string(text.substr(i + 1));
      return result;
    }
  }
  return result;
}

bool IsIntegerText(std::string_view text) {
  if (text.empty()) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  for (; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

std::int64_t HexToInt64(std::string_view text) {
  // Only the 16 rightmost digits carry weight in 64 bits; the unsigned
  // accumulator wraps them into the two's-complement reading.
  std::uint64_t value = 0;
  for (char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
    value = (value << 4) | digit;
  }
  return static_cast<std::int64_t>(value);
}

bool IsHexConstant(std::string_view token) {
  if (Len(token) < 2 || token[0] != '$') return false;
  Pos significant = 0;
  for (char c : token.substr(1)) {
    bool digit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    if (!digit) return false;
    if (significant > 0 || c != '0') ++significant;
  }
  return significant <= 16;
}

std::string ReplaceChar(std::string_view text, char from, char to) {
  std::string r(text);
  std::replace(r.begin(), r.end(), from, to);
  return r;
}

bool IsInsideQuotes(std::string_view text, Pos first, Pos pos) {
  first = std::max<Pos>(first, 1);
  Pos last = std::min(pos - 1, Len(text));
  if (first > last) return false;
  auto begin = text.begin() + (first - 1), end = text.begin() + last;
  return std::count(begin, end, '"') % 2 == 1;
}

void EmptyQuotedStrings(std::string& text) {
  Pos a = 1;
  // Every pair moves `a` past its opening quote; emptying only shortens.
  while (true) {
    Pos b = FindChar(text, '"', a);
    if (b == 0) return;
    Pos c = FindChar(text, '"', b + 1);
    if (c == 0) return;
    Erase(text, b + 1, c - b - 1);
    a = b + 2;
  }
}

std::string WithEmptiedStrings(std::string_view text) {
  std::string s(text);
  EmptyQuotedStrings(s);
  return s;
}

std::string MaskQuotedStrings(std::string_view text) {
  std::string s(text);
  Pos a = 1;
  // Every pair moves `a` past its closing quote.
  while (true) {
    Pos b = FindChar(s, '"', a);
    if (b == 0) break;
    Pos c = FindChar(s, '"', b + 1);
    if (c == 0) break;
    for (Pos p = b + 1; p < c; ++p) s[static_cast<size_t>(p - 1)] = kMaskByte;
    a = c + 1;
  }
  return s;
}

Token GetTokenOutsideQuotes(std::string_view text, char divider) {
  const std::string mask = MaskQuotedStrings(text);
  size_t begin = mask.find_first_not_of(divider);
  if (begin == std::string::npos) return {};
  size_t end = mask.find(divider, begin);
  if (end == std::string::npos) return {std::string(text.substr(begin)), {}};
  return {std::string(text.substr(begin, end - begin)), std::string(text.substr(end + 1))};
}

std::string ReplaceAllTextOutsideQuotes(std::string_view text, std::string_view from, std::string_view to) {
  return ReplaceImpl(text, MaskQuotedStrings(text), from, to, true, true);
}

std::string ReplaceAllTextMasked(std::string_view text, std::string_view mask, std::string_view from,
                                 std::string_view to) {
  return ReplaceImpl(text, mask, from, to, true, true);
}

void RestoreQuotedStrings(std::string_view source, std::string& target) {
  Pos a = FindChar(source, '"', 1);
  Pos b = FindChar(target, '"', 1);
  // Every pair moves `a` past the source's closing quote.
  while (a != 0) {
    Pos c = FindChar(source, '"', a + 1);
    if (c == 0) return;
    // The target ran out of quote pairs: keep its own text as it is.
    if (b == 0) return;
    Pos d = FindChar(target, '"', b + 1);
    if (d == 0) return;
    std::string_view content = source.substr(static_cast<size_t>(a), static_cast<size_t>(c - a - 1));
    Erase(target, b + 1, d - b - 1);
    InsertAt(target, content, b + 1);
    b = FindChar(target, '"', b + Len(content) + 2);
    a = FindChar(source, '"', c + 1);
  }
}

}  // namespace ct
