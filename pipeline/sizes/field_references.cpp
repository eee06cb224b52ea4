// Every use of a name with a known numeric value (a constant, or a type whose
// size is known) replaced by that value, so that layout sees numbers only.
#include <algorithm>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "pipeline/candidate_lines.h"
#include "pipeline/fields.h"
#include "pipeline/sizes/basic_alignments.h"
#include "pipeline/sizes/field_references.h"
#include "pipeline/sizes/numbers.h"
#include "pipeline/sizes/sizes.h"
#include "pipeline/stop_request.h"
#include "text/scan.h"
#include "text/spaced_words.h"

namespace ct {

namespace {

// A line cut at its first "=" at any length: the table line of a large class
// may exceed the token limit, and cutting it there would rebuild the line as
// a lone "=".
Token SplitAtFirstEquals(std::string_view line) { return GetTokenOutsideQuotes(line, '='); }

// Where a reference may be replaced: outside strings, and in a table line
// not in the members' names, so that a field called like a constant keeps
// its name instead of becoming a number the script cannot load.
std::string ReplaceableText(std::string_view rest) {
  std::string mask = MaskQuotedStrings(rest);
  if (mask.find('{') == std::string::npos) return mask;
  for (const FieldSpan& field : FieldSpans(rest))
    for (Pos p = field.first; field.colon != 0 && p < field.colon; ++p) mask[static_cast<size_t>(p - 1)] = kMaskByte;
  return mask;
}

// The value a definition line gives its name: a number as written, or the
// number of the name it refers to. Empty when it is neither. A one-word value
// in the sized form keeps its size prefix, which the layout aligns by: a
// ShortString member is aligned to single bytes like a String [ n ] member.
// Words joined by removing their spaces are no sized form, whatever they
// read as: they give the plain number.
std::string NumericValueOf(const LineList& working, const std::string& written) {
  std::string value = ReplaceAll(written, " ", "");
  int prefix = -1;
  if (!ResolveNumber(working, value, prefix)) return {};
  if (prefix < 0 || Contains(written, " ")) return value;
  return std::to_string(prefix) + "_" + value;
}

// A call-like use is a type cast ("Word ( 16 )"): its value is the one in
// its brackets, not the size of the type. The name goes and the bracket
// stays, which the layout reads as the value inside. Only the first search
// heeds case; a use whose bracket never closes is left to the replacement
// of plain uses.
void DropCastNames(std::string& rest, const std::string& name) {
  const std::string call = name + "( ";
  // Each turn shortens the text by the name's length, less one space.
  for (Pos use = FindExact(rest, call, 1); use != 0; use = FindText(rest, call, use + 1)) {
    if (FindText(rest, " ) ", use + Len(call)) == 0) return;
    Replace(rest, use, Len(name), " ");
  }
}

void ReplaceReferencesIn(std::string& line, const std::string& name, const std::string& value) {
  Token parts = SplitAtFirstEquals(line);
  if (IsIntegerText(Trim(parts.rest))) return;
  const std::string spaced_value = " " + value + " ";
  std::string rest = parts.rest;
  DropCastNames(rest, name);
  rest = ReplaceAllTextMasked(rest, ReplaceableText(rest), name, spaced_value);
  // Rebuilding a line that holds no use would drop a leading "=", or add one
  // to a line whose "=" all stand inside strings.
  if (rest != parts.rest) line = parts.token + "=" + rest;
}

}  // namespace

std::optional<NamedValue> ValueDefinedBy(const LineList& working, size_t i) {
  if (!Contains(working.Get(i), "=")) return std::nullopt;
  Token definition = SplitAtFirstEquals(working.Get(i));
  // A line that declares no name (" = 5 ;") would put its value in place
  // of every space of every declaration; a quote or the mask byte makes no
  // name either, and the latter would match inside every masked string.
  if (Trim(definition.token).empty() || Contains(definition.token, "\"") ||
      definition.token.find(kMaskByte) != std::string::npos)
    return std::nullopt;
  std::string value = NumericValueOf(working, Trim(GetValidToken(definition.rest, ";").token));
  if (value.empty()) return std::nullopt;
  value = WithBasicTypeAlignment(Trim(definition.token), value);
  return NamedValue{std::move(definition.token), std::move(value)};
}

std::optional<std::string> WithReferencesReplaced(const LineList& working, size_t j, size_t i,
                                                  const NamedValue& defined) {
  if (j == i || !Contains(working.Get(j), "=")) return std::nullopt;
  std::string line = working.Get(j);
  ReplaceReferencesIn(line, defined.name, defined.value);
  return line;
}

// A use of " Name " holds Name as a spaced word of the line, so only the
// lines holding that word can change. A name without a spaced word takes the
// walk over every line.
void ReplaceFieldReferences(LineList& working) {
  const size_t count = working.Count();
  std::unordered_set<std::string> names;
  for (size_t k = 0; k < count; ++k) {
    const std::string& line = working.Get(k);
    if (!Contains(line, "=")) continue;
    const std::string name = SplitAtFirstEquals(line).token;
    if (std::string_view word = SpacedWordWithin(name); !word.empty()) names.insert(LowerAscii(word));
  }
  SpacedWordIndex uses(std::move(names));
  for (size_t k = 0; k < count; ++k) uses.Note(working.Get(k), k);
  for (size_t i = 0; i < count; ++i) {
    ThrowIfStopRequested();
    auto defined = ValueDefinedBy(working, i);
    if (!defined) continue;
    std::optional<std::vector<size_t>> lines;
    std::string_view word = SpacedWordWithin(defined->name);
    if (!word.empty()) lines = uses.LinesWith(word);
    if (!lines) lines = EveryLine(working);
    for (size_t j : *lines) {
      auto line = WithReferencesReplaced(working, j, i, *defined);
      if (!line || *line == working.Get(j)) continue;
      uses.Note(*line, j);
      working.Put(j, std::move(*line));
    }
  }
}

}  // namespace ct
