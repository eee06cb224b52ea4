// Lines that cannot describe data are dropped: routines, properties,
// visibility sections, variant-record branches; typed constants lose their
// initialiser so that they read like variables.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/normalise.h"

namespace ct {

namespace {

// Searched in this order; the first entry that decides wins.
constexpr std::array<std::string_view, 14> JunkKeywords = {
    "constructor", "destructor", "function", "procedure", "property", "private",   "public",
    "protected",   "published",  "override", "virtual",   "dynamic",   "stdcall", "case",
};

// A typed constant keeps its declaration; its value (after the first "=",
// when a ":" precedes it) cannot be laid out. Signs inside literals are
// text: cutting there would leave half a string.
std::string WithoutInitialiser(const std::string& line) {
  const std::string structure = MaskQuotedStrings(line);
  Pos equals = FindChar(structure, '=', 1);
  if (equals == 0 || FindCharInRange(structure, ':', equals, 1) == 0) return line;
  return Copy(line, 1, equals - 1) + "; ";
}

// The branches of a variant record start with their integer label.
bool IsCaseLabel(const std::string& line) {
  return IsIntegerText(Trim(GetValidToken(line, ":").token));
}

// Words inside literals (messages, captions) are text, not keywords.
bool HoldsJunkKeyword(const std::string& line) {
  const std::string upper = UpperAscii(MaskQuotedStrings(line));
  for (std::string_view keyword : JunkKeywords) {
    Pos found = FindExact(upper, " " + UpperAscii(keyword) + " ");
    if (found == 0) continue;
    // A procedural type or field names "function"/"procedure" after its
    // name; only a routine heading starts with it, or with "class".
    if (keyword != "function" && keyword != "procedure") return true;
    if (found == 1 || SameText(Copy(line, 1, 7), " class ")) return true;
  }
  return false;
}

}  // namespace

void DeleteJunkLines(LineList& list) {
  std::vector<std::string> kept;
  for (const std::string& raw : list.Lines()) {
    if (Trim(raw).empty()) continue;
    std::string line = WithoutInitialiser(raw);
    if (IsCaseLabel(line) || HoldsJunkKeyword(line)) continue;
    kept.push_back(std::move(line));
  }
  list = LineList(std::move(kept));
}

}  // namespace ct
