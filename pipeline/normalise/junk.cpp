// Lines that cannot describe data are dropped: routines, properties,
// visibility sections, variant-record branches; typed constants lose their
// initialiser so that they read like variables.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/fields.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/stop_request.h"

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

// The word that starts at `from` (spaces skipped) in a loosened line: 1-based
// first and last positions; first is 0 when no word is left.
struct Word {
  Pos first = 0;
  Pos last = 0;
};

Word WordAt(std::string_view structure, Pos from) {
  Word word;
  Pos p = from;
  while (p <= Len(structure) && At(structure, p) == ' ') ++p;
  if (p > Len(structure)) return word;
  word.first = p;
  while (p <= Len(structure) && At(structure, p) != ' ') ++p;
  word.last = p - 1;
  return word;
}

std::string WordText(std::string_view structure, Word word) { return Slice(structure, word.first, word.last); }

bool IsVisibilityWord(std::string_view word) {
  for (std::string_view section : {"private", "protected", "public", "published"})
    if (SameText(word, section)) return true;
  return false;
}

// The words that follow a routine or property heading after its ";" and
// belong to it: " procedure Go ; virtual ; abstract ; ".
bool IsDirectiveWord(std::string_view word) {
  for (std::string_view directive :
       {"abstract", "assembler", "cdecl", "default", "deprecated", "dispid", "dynamic", "experimental", "export",
        "external", "far", "final", "inline", "library", "message", "near", "nodefault", "overload", "override",
        "pascal", "platform", "register", "reintroduce", "safecall", "static", "stdcall", "varargs", "virtual"})
    if (SameText(word, directive)) return true;
  return false;
}

// The end of a heading that opens a table: " TFoo = packed record ",
// " TFoo = class ( TBar , IBaz ) "; 0 when the line opens none (a class
// reference, a forward declaration, anything else).
Pos TableHeadingEnd(std::string_view structure) {
  Pos equals = FindChar(structure, '=', 1);
  if (equals == 0) return 0;
  Word word = WordAt(structure, equals + 1);
  if (word.first != 0 && SameText(WordText(structure, word), "packed")) word = WordAt(structure, word.last + 1);
  if (word.first == 0) return 0;
  const std::string opener = LowerAscii(WordText(structure, word));
  if (opener == "record" || opener == "object") return word.last;
  if (opener != "class") return 0;
  Word next = WordAt(structure, word.last + 1);
  if (next.first == 0) return word.last;
  const std::string after = WordText(structure, next);
  if (SameText(after, "of") || after == ";") return 0;
  if (after != "(") return word.last;
  Pos close = FindChar(structure, ')', next.last + 1);
  return close == 0 ? 0 : close;
}

// A table written on one line (" TFoo = class private a : Integer ;
// procedure Go ; end ; ") holds what a longer declaration spreads over many
// lines: its heading, section words, fields and routines, each routine with
// its directives. Judged as one line, it would vanish whole for its first
// section word, or keep its routines as if they were fields. It is taken
// apart into the lines of the longer form, each is judged as such a line
// would be, and what is kept is joined again. Returns false, leaving `kept`
// alone, for a line that is no such table or loses nothing.
bool KeepWhatOneLineTableHolds(const std::string& line, std::string& kept) {
  const std::string structure = MaskQuotedStrings(line);
  // Variant records stay as they were: their branches would go and leave a
  // record too short that nothing reports.
  if (ContainsText(structure, " case ")) return false;
  const Pos heading_end = TableHeadingEnd(structure);
  if (heading_end == 0) return false;
  // The lines the longer form has: section words on their own, and each
  // statement together with the directives after it (" virtual ; ").
  std::vector<std::string> lines;
  bool after_statement = false;
  for (const FieldSpan& span : FieldSpans(Tail(line, heading_end + 1))) {
    ThrowIfStopRequested();
    const Pos last = span.last + heading_end;
    Pos from = span.first + heading_end;
    // Every round takes one section word off the front of the statement.
    for (Word word = WordAt(structure, from); word.first != 0 && word.last <= last; word = WordAt(structure, from)) {
      if (SameText(WordText(structure, word), "strict")) {
        Word next = WordAt(structure, word.last + 1);
        if (next.first == 0 || next.last > last || !IsVisibilityWord(WordText(structure, next))) break;
        word.last = next.last;
      } else if (!IsVisibilityWord(WordText(structure, word))) {
        break;
      }
      lines.push_back(" " + Slice(line, word.first, word.last) + " ");
      after_statement = false;
      from = word.last + 1;
    }
    const std::string statement = Trim(Slice(line, from, last));
    if (statement.empty()) continue;
    const std::string first_word = GetValidToken(statement, " ").token;
    if (after_statement && IsDirectiveWord(first_word))
      lines.back() += statement + " ";
    else
      lines.push_back(" " + statement + " ");
    after_statement = !SameText(first_word, "end");
  }
  std::string rest = Slice(line, 1, heading_end) + " ";
  bool lost = false;
  for (const std::string& part : lines) {
    if (IsCaseLabel(part) || HoldsJunkKeyword(part))
      lost = true;
    else
      rest += part.substr(1);
  }
  if (!lost) return false;
  kept = std::move(rest);
  return true;
}

// A dropped property or routine heading that does not end with ";" goes on
// on the next lines (" property OnChange : TNotifyEvent " then " read
// FOnChange write FOnChange ; "), which go with it.
bool GoesOnBelow(const std::string& line) {
  const std::string structure = Trim(MaskQuotedStrings(line));
  if (structure.empty() || structure.back() == ';') return false;
  const std::string first = GetValidToken(structure, " ").token;
  for (std::string_view heading : {"property", "procedure", "function", "constructor", "destructor", "class"})
    if (SameText(first, heading)) return true;
  return false;
}

}  // namespace

void DeleteJunkLines(LineList& list) {
  LineList kept;
  bool continuing = false;
  for (size_t i = 0; i < list.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string& raw = list.Get(i);
    if (Trim(raw).empty()) continue;
    if (continuing) {
      const std::string structure = Trim(MaskQuotedStrings(raw));
      // The ";" before "end" may be left out: "end" closes the table, not
      // the statement, and stays.
      continuing = false;
      if (!SameText(GetValidToken(structure, " ").token, "end")) {
        continuing = structure.back() != ';';
        continue;
      }
    }
    std::string line = WithoutInitialiser(raw);
    if (IsCaseLabel(line)) continue;
    std::string rest;
    if (KeepWhatOneLineTableHolds(line, rest)) {
      kept.Add(std::move(rest), list.Origin(i));
      continue;
    }
    if (HoldsJunkKeyword(line)) {
      continuing = GoesOnBelow(line);
      continue;
    }
    kept.Add(std::move(line), list.Origin(i));
  }
  list = std::move(kept);
}

}  // namespace ct
