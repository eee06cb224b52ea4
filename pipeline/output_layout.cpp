// The script as a person reads it: one member per line under its table's
// header, constants as plain assignments, numbers in decimal.
#include <string>

#include "pipeline/output.h"
#include "pipeline/output_scans.h"
#include "text/scan.h"

namespace ct {

namespace {

// Splits and rewrites here leave the inside of string literals alone.
std::string ReadingLine(std::string_view text) { return ReplaceAllTextOutsideQuotes(text, ":", "="); }

void AddTableForReading(LineList& out, std::string_view structure) {
  std::string line = ReplaceAllTextOutsideQuotes(structure, "} } ,", "} }");
  if (CountText(MaskQuotedStrings(line), ";") < 2) {
    out.Add(ReplaceAllTextOutsideQuotes(line, ";", ""));
    return;
  }
  Pos opening = FindTableOpening(line);
  out.Add(Slice(line, 1, opening + 2));
  std::string rest = Tail(line, opening + 3);
  // Every round consumes at least the ";" ending a member, or all the rest.
  while (!Trim(rest).empty()) {
    Token member = GetTokenOutsideQuotes(rest, ';');
    out.Add(ReadingLine("\t" + Trim(member.token) + " ,"));
    rest = std::move(member.rest);
  }
}

}  // namespace

void LayOutForReading(LineList& working, LineList& reference) {
  reference = working;
  working.Clear();
  for (const std::string& line : reference.Lines()) {
    if (FindTableOpening(line) != 0)
      AddTableForReading(working, line);
    else
      working.Add(ReadingLine(GetTokenOutsideQuotes(line, ';').token));
  }
}

void TidyTables(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    std::string line = ReplaceAllTextOutsideQuotes(working.Get(i), ", }", "}");
    line = ReplaceAllTextOutsideQuotes(line, "{ } ,", "{ }");
    if (Trim(line) == "} ,") line = "}";
    working.Put(i, std::move(line));
  }
}

void NormalizeValues(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    std::string line = working.Get(i);
    Pos a = FindChar(line, '=', 1);
    if (a == 0) continue;
    Pos b = FindChar(line, ' ', a + 2);
    if (b == 0) continue;
    std::string value = Slice(line, a + 2, b - 1);
    int prefix;
    if (!NormalizeNumberText(value, prefix)) continue;
    Replace(line, a + 2, b - a - 2, value);
    working.Put(i, std::move(line));
  }
}

}  // namespace ct
