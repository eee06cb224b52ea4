// The edits of the name stages, shared with their plain versions so that
// both make exactly the same ones.
#include "pipeline/normalise/name_edits.h"

#include <string>
#include <vector>

#include "pipeline/pascal_words.h"
#include "text/scan.h"
#include "text/spaced_words.h"

namespace ct {

namespace {

bool StartsName(char c) {
  return c == '_' || c == '&' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool IsNamePart(std::string_view part) {
  if (part.empty() || !StartsName(part[0]) || part[0] == '&') return false;
  for (char c : part)
    if (!StartsName(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

// "Unit.Name" (any number of dots, each part a name) after any carets: the
// position of the last part's first byte, or npos when the word is no such
// name.
size_t LastPartOfQualifiedName(std::string_view word) {
  size_t start = word.find_first_not_of('^');
  if (start == std::string_view::npos || word.find('.', start) == std::string_view::npos) return std::string_view::npos;
  size_t part = start;
  // Every turn moves past one dot.
  for (size_t dot = word.find('.', part); dot != std::string_view::npos; dot = word.find('.', part)) {
    if (!IsNamePart(word.substr(part, dot - part))) return std::string_view::npos;
    part = dot + 1;
  }
  return IsNamePart(word.substr(part)) ? part : std::string_view::npos;
}

struct SpacedToken {
  size_t start;
  size_t length;
};

std::vector<SpacedToken> SpacedTokens(std::string_view s) {
  std::vector<SpacedToken> tokens;
  ForEachSpacedWord(s, [&](size_t start, size_t length) { tokens.push_back({start, length}); });
  return tokens;
}

}  // namespace

void DropUnitQualifiers(std::string& s) {
  if (s.find('.') == std::string::npos) return;
  std::string out;
  size_t copied = 0;
  ForEachSpacedWord(s, [&](size_t start, size_t length) {
    std::string_view word = std::string_view(s).substr(start, length);
    size_t last = LastPartOfQualifiedName(word);
    if (last == std::string_view::npos) return;
    const size_t carets = word.find_first_not_of('^');
    out.append(s, copied, start + carets - copied);
    copied = start + last;
  });
  if (copied == 0) return;
  out.append(s, copied);
  s = std::move(out);
}

void LowerReservedWords(std::string& s) {
  ForEachSpacedWord(s, [&](size_t start, size_t length) {
    if (!IsReservedWord(std::string_view(s).substr(start, length))) return;
    for (size_t i = start; i < start + length; ++i) s[i] = LowerAscii(s[i]);
  });
}

std::string MaskFieldNames(std::string_view emptied) {
  std::string masked(emptied);
  if (masked.find(':') == std::string::npos) return masked;
  const std::vector<SpacedToken> tokens = SpacedTokens(emptied);
  auto text = [&](size_t k) { return emptied.substr(tokens[k].start, tokens[k].length); };
  int depth = 0;
  for (size_t k = 0; k < tokens.size(); ++k) {
    std::string_view t = text(k);
    if (t == "(" || t == "[") ++depth;
    if ((t == ")" || t == "]") && depth > 0) --depth;
    if (t != ":" || depth != 0) continue;
    // The names run back from the colon, comma by comma.
    for (size_t name = k; name > 0 && StartsName(text(name - 1)[0]);) {
      masked.replace(tokens[name - 1].start, tokens[name - 1].length, tokens[name - 1].length, kMaskByte);
      if (name < 3 || text(name - 2) != ",") break;
      name -= 2;
    }
  }
  return masked;
}

std::string SpellingSource(std::string_view emptied, std::string_view masked) {
  std::string word = GetValidToken(emptied, " ").token;
  if (word.empty() || IsReservedWord(word)) return {};
  const size_t first = emptied.find_first_not_of(' ');
  if (first < masked.size() && masked[first] == kMaskByte) return {};
  return word;
}

std::string DeclaredClassName(const std::string& line) {
  const std::string emptied = WithEmptiedStrings(line);
  if (!ContainsText(emptied, " class ")) return {};
  std::string name = GetValidToken(emptied, "=").token;
  const std::string bare = Trim(name);
  // A blank name would turn every ": " and "= " of the list into a pointer.
  if (bare.empty() || Contains(bare, " ")) return {};
  return name;
}

void MarkUsesAsPointers(std::string& s, const std::string& name) {
  const std::string pointer = "^" + TrimLeft(name);
  s = ReplaceAllText(s, " :" + name, " : " + pointer);
  s = ReplaceAllText(s, " =" + name, " = " + pointer);
  s = ReplaceAllText(s, " of" + name, " of " + pointer);
}

}  // namespace ct
