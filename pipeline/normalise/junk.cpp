// Lines that cannot describe data are dropped: routines of every form,
// properties, visibility sections, directives left on a line of their own,
// a type declared as its namesake of another unit; a typed constant becomes
// a plain constant when its value is a plain number, and goes otherwise. The
// word "packed" in front of an array goes too: an array's elements follow
// each other without gaps whether it is packed or not, and it aligns as its
// elements do.
#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/fields.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/pascal_words.h"
#include "pipeline/stop_request.h"
#include "text/scan.h"

namespace ct {

namespace {

// Words that drop the line they stand in, wherever they stand. A calling
// convention is none of them: it belongs to a procedural type as much as to
// a routine.
constexpr std::array<std::string_view, 10> JunkKeywords = {
    "constructor", "destructor", "property", "private", "public", "protected",
    "published",   "override",   "virtual",  "dynamic",
};

// The first "=" outside brackets and, when a ":" outside brackets stands
// before it, that ":"; 0 where there is none.
struct Assignment {
  Pos colon = 0;
  Pos equals = 0;
};

Assignment FindAssignment(std::string_view structure) {
  Assignment found;
  int depth = 0;
  for (Pos p = 1; p <= Len(structure) && found.equals == 0; ++p) {
    const char c = At(structure, p);
    if (c == '(' || c == '[') ++depth;
    if ((c == ')' || c == ']') && depth > 0) --depth;
    if (depth != 0) continue;
    if (c == ':' && found.colon == 0) found.colon = p;
    if (c == '=') found.equals = p;
  }
  if (found.equals == 0) found.colon = 0;
  return found;
}

// A typed constant (" C : Integer = 5 ;", " Codes : array [ TError ] of Byte
// = ( 0 , 203 ) ;", a record constant) is no structure and no variable: it
// keeps its value as a plain constant when that value is a number
// (" C = 5 ;"), and goes when it is anything else. Returns the line as it
// stays, or nothing when it goes; a line that is no typed constant stays as
// it is. Signs inside literals are text.
std::optional<std::string> AsPlainConstant(const std::string& line) {
  const std::string structure = MaskQuotedStrings(line);
  const Assignment assignment = FindAssignment(structure);
  if (assignment.colon == 0) return line;
  Pos end = FindCharInRange(structure, ';', Len(structure), assignment.equals);
  if (end == 0) end = Len(structure) + 1;
  const std::string value = Trim(Slice(line, assignment.equals + 1, end - 1));
  const std::string digits = ReplaceAll(value, " ", "");
  if (!IsIntegerText(digits) && !IsHexConstant(digits)) return std::nullopt;
  return Copy(line, 1, assignment.colon - 1) + "= " + value + " ; ";
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

// The first `count` words of a statement (strings masked), or fewer.
std::vector<std::string> FirstWords(std::string_view structure, size_t count) {
  std::vector<std::string> words;
  for (Word word = WordAt(structure, 1); word.first != 0 && words.size() < count;
       word = WordAt(structure, word.last + 1))
    words.push_back(WordText(structure, word));
  return words;
}

// " PBYTE = System . PByte ; ": a type that stands for its namesake of
// another unit. The prelude or that unit's own declaration gives the type;
// read without its unit, this one would name only itself.
bool NamesItsNamesakeOfAUnit(std::string_view structure) {
  const std::vector<std::string> words = FirstWords(structure, 64);
  const size_t n = words.size();
  if (n < 6 || n % 2 != 0 || words[1] != "=" || words[n - 1] != ";" || !SameText(words[0], words[n - 2]))
    return false;
  auto starts_name = [](const std::string& word) {
    const auto c = static_cast<unsigned char>(word[0]);
    return std::isalpha(c) || c == '_' || c >= 0x80;
  };
  for (size_t k = 2; k + 2 < n; k += 2)
    if (!starts_name(words[k]) || words[k + 1] != ".") return false;
  return true;
}

// A routine or property heading of any form: "procedure", "function",
// "constructor", "destructor", "property" or "operator" first, after
// "generic" and "class" where they stand in front ("generic class procedure
// From < T > ( ... ) ;", "class operator + ( ... ) ;"). A field called
// Operator is followed by its colon; the operator ":=" is not.
bool StartsRoutine(std::string_view structure) {
  const std::vector<std::string> words = FirstWords(structure, 5);
  size_t k = 0;
  if (k < words.size() && SameText(words[k], "generic")) ++k;
  if (k < words.size() && SameText(words[k], "class")) ++k;
  if (k >= words.size()) return false;
  for (std::string_view heading : {"procedure", "function", "constructor", "destructor", "property"})
    if (SameText(words[k], heading)) return true;
  if (!SameText(words[k], "operator")) return false;
  if (k + 1 >= words.size()) return true;
  if (words[k + 1] == ",") return false;
  return words[k + 1] != ":" || (k + 2 < words.size() && words[k + 2] == "=");
}

// A directive on a line of its own (" overload ; ", " cdecl ; ") belongs to
// the routine or type above it.
bool IsDirectiveLine(std::string_view structure) {
  const std::vector<std::string> words = FirstWords(structure, 2);
  return !words.empty() && IsDirectiveBefore(words[0], words.size() < 2 ? std::string() : words[1]);
}

// Words inside literals (messages, captions) are text, not keywords. A
// procedural type or field names "function" or "procedure" after its name
// and stays.
bool HoldsJunkKeyword(const std::string& line) {
  const std::string structure = MaskQuotedStrings(line);
  if (StartsRoutine(structure) || IsDirectiveLine(structure)) return true;
  const std::string upper = UpperAscii(structure);
  for (std::string_view keyword : JunkKeywords)
    if (FindExact(upper, " " + UpperAscii(keyword) + " ") != 0) return true;
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
  // A class modifier belongs to the heading.
  while (next.first != 0 && (SameText(WordText(structure, next), "sealed") ||
                             SameText(WordText(structure, next), "abstract"))) {
    word = next;
    next = WordAt(structure, word.last + 1);
  }
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
    if (HoldsJunkKeyword(part))
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
  for (std::string_view heading :
       {"property", "procedure", "function", "constructor", "destructor", "class", "generic", "operator"})
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
    if (NamesItsNamesakeOfAUnit(MaskQuotedStrings(raw))) continue;
    std::optional<std::string> constant = AsPlainConstant(raw);
    if (!constant) continue;
    std::string line = ReplaceAllTextOutsideQuotes(*constant, " packed array ", " array ");
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
