// The script as a person reads it: one member per line under its table's
// header, constants as plain assignments, numbers in decimal.
#include <string>

#include "pipeline/number_text.h"
#include "pipeline/output/entries.h"
#include "pipeline/output/output.h"
#include "pipeline/output/scans.h"
#include "pipeline/stop_request.h"
#include "text/scan.h"

namespace ct {

namespace {

// Splits and rewrites here leave the inside of string literals alone.
std::string ReadingLine(std::string_view text) { return ReplaceAllTextOutsideQuotes(text, ":", "="); }

// "local : { 0 , vt_Byte }" names its member in a form Lua accepts; a plain
// name keeps its spacing exactly.
std::string WithLuaKey(const std::string& member) {
  Token parts = GetTokenOutsideQuotes(member, ':');
  std::string name = Trim(parts.token);
  if (parts.rest.empty() || name.empty() || IsPlainLuaName(name)) return member;
  return LuaMemberKey(name) + " :" + parts.rest;
}

void AddTableForReading(LineList& out, std::string_view structure, LineOrigin origin) {
  std::string line = ReplaceAllTextOutsideQuotes(structure, "} } ,", "} }");
  // The members are cut on one mask of the whole line: masking, trimming or
  // copying what is left at every member would take time that grows with
  // the square of the line's length.
  const std::string mask = MaskQuotedStrings(line);
  if (CountText(mask, ";") < 2) {
    out.Add(ReplaceAllTextOutsideQuotes(line, ";", ""), origin);
    return;
  }
  const size_t opening = static_cast<size_t>(FindTableOpening(line));
  out.Add(Slice(line, 1, static_cast<Pos>(opening) + 2), origin);
  const size_t blank_from = TrimRight(line).size();
  // Every round moves `from` past the ";" ending a member, or to the end.
  for (size_t from = opening + 2; from < blank_from;) {
    const size_t begin = mask.find_first_not_of(';', from);
    const size_t end = begin == std::string::npos ? begin : mask.find(';', begin);
    const std::string member = begin == std::string::npos ? std::string() : line.substr(begin, end - begin);
    out.Add(ReadingLine("\t" + WithLuaKey(Trim(member)) + " ,"), origin);
    from = end == std::string::npos ? line.size() : end + 1;
  }
}

}  // namespace

void LayOutForReading(LineList& working, LineList& reference) {
  reference = working;
  working.Clear();
  for (size_t i = 0; i < reference.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string& line = reference.Get(i);
    if (FindTableOpening(line) != 0)
      AddTableForReading(working, line, reference.Origin(i));
    else
      working.Add(ReadingLine(GetTokenOutsideQuotes(line, ';').token), reference.Origin(i));
  }
}

void TidyTables(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    std::string line = ReplaceAllTextOutsideQuotes(working.Get(i), ", }", "}");
    line = ReplaceAllTextOutsideQuotes(line, "{ } ,", "{ }");
    if (Trim(line) == "} ,") line = "}";
    working.Put(i, std::move(line));
  }
}

void NormaliseValues(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    std::string line = working.Get(i);
    Pos a = FindChar(line, '=', 1);
    if (a == 0) continue;
    Pos b = FindChar(line, ' ', a + 2);
    if (b == 0) continue;
    std::string value = Slice(line, a + 2, b - 1);
    int prefix;
    // A "$" value with letters among its digits is converted by the size
    // rules only inside declarations; a constant restored for the script
    // (" VT_ILLEGAL = $FFFF ") still holds it, and Lua reads no "$".
    if (IsHexConstant(value))
      value = std::to_string(HexToInt64(value));
    else if (!NormaliseNumberText(value, prefix))
      continue;
    Replace(line, a + 2, b - a - 2, value);
    working.Put(i, std::move(line));
  }
}

}  // namespace ct
