// Type notations whose size the text alone tells are replaced by that size:
// dynamic arrays, procedural types, interfaces, sets, enumerations, pointers,
// "$" constants and short strings.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pipeline/fields.h"
#include "pipeline/ordinals.h"
#include "pipeline/sizes/numbers.h"
#include "pipeline/sizes/ordinal_notations.h"
#include "pipeline/sizes/sizes.h"
#include "pipeline/stop_request.h"
#include "text/scan.h"

namespace ct {

namespace {

// The bytes from `from` up to the next space, or to the end of the text.
Pos WordEnd(std::string_view text, Pos from) {
  Pos space = FindChar(text, ' ', from);
  return space == 0 ? Len(text) : space - 1;
}

// The ")" that closes the bracketed list following position p, or 0.
Pos ClosingBracket(std::string_view text, Pos p) {
  Pos open = FindChar(text, '(', p + 1);
  return open == 0 ? 0 : FindChar(text, ')', open + 1);
}

void ReplaceArrayNotations(std::string& text) {
  text = ReplaceAllText(text, " array of ", " ^");
  text = ReplaceAllText(text, " array ", " ");
}

// Only the address of a routine is stored: a procedural type is 4 bytes wide
// and a procedural field is a pointer, whatever its parameters. A method
// pointer ("of object") holds the routine's address and its object's: 8
// bytes, aligned as a pointer. A line of its own becomes its name and the
// replacement; a field among others loses only its type, so the fields after
// it and the table's closing brace stay.
void ReplaceProcedural(std::string& text, bool whole_line, std::string_view trigger, std::string_view divider,
                       std::string_view replacement) {
  constexpr std::string_view kMethodPointer = "4_8 ;";
  const std::string structure = MaskQuotedStrings(text);
  Pos p = FindText(structure, trigger, 1);
  if (p == 0) return;
  const bool method = FindText(structure, " of object ", p) != 0;
  std::string name = whole_line ? GetValidToken(text, divider).token : Copy(text, 1, p - 1);
  text = name + std::string(divider) + " " + std::string(method ? kMethodPointer : replacement);
}

void ReplaceProceduralTypesAndFields(std::string& text, bool whole_line) {
  ReplaceProcedural(text, whole_line, "= procedure", "=", "4 ;");
  ReplaceProcedural(text, whole_line, "= function", "=", "4 ;");
  ReplaceProcedural(text, whole_line, ": procedure", ":", "pointer ;");
  ReplaceProcedural(text, whole_line, ": function", ":", "pointer ;");
}

// A field of an interface type holds a reference to the object behind it:
// 4 bytes, like a pointer. The interface itself is written as its name and
// the word (" IFoo = interface ; ").
void SizeInterfaceReference(std::string& text, bool whole_line) {
  if (whole_line) ReplaceProcedural(text, true, "= interface ;", "=", "4 ;");
}

// A set holds one bit per value of its base type's range, in whole bytes,
// aligned to single bytes: the sized form "1_" and the byte count when it
// takes more than one. A base whose range cannot be told (a type declared
// elsewhere) keeps one byte.
void SizeSet(std::string& text, const LineList& working, const LineList& declarations) {
  constexpr std::string_view kSetOf = " set of ";
  const std::string structure = MaskQuotedStrings(text);
  Pos p = FindText(structure, kSetOf, 1);
  if (p == 0) return;
  Pos semicolon = FindChar(structure, ';', p + 1);
  Pos end = semicolon == 0 ? Len(text) : semicolon - 1;
  auto number_of = [&](std::string_view bound) { return NumberOrConstant(working, std::string(bound)); };
  auto base = OrdinalRangeOf(declarations, Slice(text, p + Len(kSetOf), end), number_of);
  const std::int64_t bytes = base ? SetBytes(*base) : 1;
  Replace(text, p, end - p + 1, bytes == 1 ? std::string(" 1 ") : " 1_" + std::to_string(bytes) + " ");
}

bool StartsIdentifier(char c) {
  return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
}

// "= ( a , b = 2 )" ends its declaration and lists names, each with an
// optional value; "= ( 2 + 3 ) * 4" is an expression whose value the layout
// evaluates, and sizing it as an enumeration of one would change it.
bool ListsEnumerationMembers(std::string_view structure, Pos p, Pos closing) {
  const std::string after = Trim(Tail(structure, closing + 1));
  if (!after.empty() && after[0] != ';') return false;
  std::string members = Slice(structure, FindChar(structure, '(', p + 1) + 1, closing - 1);
  while (!members.empty()) {  // every cut shortens the members
    std::string member = Trim(CutAtChar(members, ',', false));
    std::string name = Trim(GetTokenOutsideQuotes(member, '=').token);
    if (name.empty() || !StartsIdentifier(name[0]) || Contains(name, " ")) return false;
  }
  return true;
}

// An enumeration, declared as a type or written in a field, takes the
// smallest of 1, 2 or 4 bytes that holds its values.
void SizeEnumeration(std::string& text, const LineList& working) {
  const std::string structure = MaskQuotedStrings(text);
  Pos p = FindExact(structure, "= (", 1);
  if (p == 0) p = FindExact(structure, ": (", 1);
  if (p == 0) return;
  Pos closing = ClosingBracket(structure, p);
  if (closing == 0 || !ListsEnumerationMembers(structure, p, closing)) return;
  auto number_of = [&](std::string_view value) { return NumberOrConstant(working, std::string(value)); };
  auto range = EnumerationRange(Slice(text, FindChar(structure, '(', p + 1) + 1, closing - 1), number_of);
  if (!range) return;
  Replace(text, p + 1, closing - p, " " + std::to_string(StorageOf(*range).bytes));
}

// A pointer is 4 bytes whatever it points to. Its target may carry a bracket,
// as a dynamic array of short strings does ("^String [ 20 ]"); the bracket
// goes with the pointer, or the layout would meet "4 [ 20 ]".
void SizePointer(std::string& text) {
  const std::string structure = MaskQuotedStrings(text);
  Pos p = FindChar(structure, '^', 1);
  if (p == 0) return;
  Pos end = WordEnd(structure, p + 1);
  if (Copy(structure, end + 1, 3) == " [ ") {
    Pos close = FindExact(structure, " ] ", end + 1);
    if (close != 0) end = close + 1;
  }
  Replace(text, p, end - p + 1, "4");
}

void ConvertHexConstant(std::string& text) {
  const std::string structure = MaskQuotedStrings(text);
  Pos p = FindChar(structure, '$', 1);
  if (p == 0) return;
  Pos end = WordEnd(structure, p + 1);
  std::string token = Slice(text, p, end);
  if (!IsHexConstant(token)) return;
  Replace(text, p, end - p + 1, std::to_string(HexToInt64(token)));
}

// A short string of n characters is n + 1 bytes (with its length byte),
// aligned to single bytes: the sized form "1_" and the byte count.
void SizeShortString(std::string& text, const LineList& working) {
  constexpr std::string_view kOpen = " String [ ";
  const std::string structure = MaskQuotedStrings(text);
  Pos p = FindText(structure, kOpen, 1);
  if (p == 0) return;
  Pos close = FindText(structure, " ] ", p + 1);
  if (close == 0) return;
  std::string count_text = Trim(Slice(text, p + Len(kOpen), close - 1));
  if (Contains(count_text, " ")) return;
  auto count = NumberOrConstant(working, count_text);
  std::int64_t bytes = 0;
  if (!count || __builtin_add_overflow(*count, 1, &bytes)) return;
  Replace(text, p, close + 2 - p + 1, " 1_" + std::to_string(bytes) + " ");
}

void SizeField(std::string& field, bool whole_line, const LineList& working, const LineList& declarations) {
  ReplaceProceduralTypesAndFields(field, whole_line);
  SizeInterfaceReference(field, whole_line);
  SizeSet(field, working, declarations);
  SizeEnumeration(field, working);
  SizePointer(field);
  ConvertHexConstant(field);
  SizeShortString(field, working);
}

// The texts the first-occurrence rules act on: each field of a line that
// holds several (a one-line table, or several fields of a longer one), else
// the whole line.
std::vector<std::string> FieldTexts(const std::string& line) {
  std::vector<std::string> fields;
  for (const FieldSpan& span : FieldSpans(line)) fields.push_back(Slice(line, span.first, span.last));
  auto blank = [](const std::string& field) { return Trim(field).empty(); };
  if (fields.size() - static_cast<size_t>(std::count_if(fields.begin(), fields.end(), blank)) <= 1) return {line};
  return fields;
}

// Every rule finds its trigger and its bounds outside double-quoted strings,
// so a rule either leaves a string alone or removes it whole; only the
// every-occurrence replacements reach into strings, and those are undone
// before the fields are sized.
std::string SubstituteInLine(const std::string& line, const LineList& working, const LineList& declarations) {
  std::string text = line;
  ReadOrdinalsAsNumbers(text, working, declarations);
  const std::string read = text;
  ReplaceArrayNotations(text);
  RestoreQuotedStrings(read, text);
  std::vector<std::string> fields = FieldTexts(text);
  std::string sized;
  for (std::string& field : fields) {
    ThrowIfStopRequested();
    SizeField(field, fields.size() == 1, working, declarations);
    sized += field;
  }
  return sized;
}

}  // namespace

void SubstituteTypeSizes(LineList& working, const LineList& declarations) {
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    working.Put(i, SubstituteInLine(working.Get(i), working, declarations));
  }
}

}  // namespace ct
