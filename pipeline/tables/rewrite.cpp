// Declarations rewritten as Lua table constructors: records and classes open
// a brace, "end ;" closes it, section keywords and hint directives vanish,
// and every class with a parent gets an inheritance line at the list's end.
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/pascal_words.h"
#include "pipeline/stop_request.h"
#include "pipeline/tables/tables.h"
#include "text/spaced_words.h"

namespace ct {

namespace {

// The first member of a class without a parent: its method table pointer.
// It ends without a space, so an empty body on the same line leaves the
// "end ;" glued to it.
constexpr std::string_view kClassHead = " { Vmt : Pointer ;";
constexpr std::string_view kEmptyClassBody = " { Vmt : Pointer ;end ;";
constexpr std::string_view kClosedEmptyClass = " { Vmt : Pointer ;} ;";

// Every search runs on the line with its literals masked: a keyword or
// bracket inside a string is text, not structure. The mask keeps every
// position, so what is found there is edited in the line itself.
Pos FindTrigger(const std::string& s, std::string_view key, Pos start = 1) {
  return FindText(MaskQuotedStrings(s), key, start);
}

Pos FindStructuralChar(const std::string& s, char c, Pos start) {
  return FindChar(MaskQuotedStrings(s), c, start);
}

// Where a match that ends just before `after` really ends.
using MatchEnd = Pos (*)(const std::string& s, Pos after);

Pos KeyOnly(const std::string&, Pos after) { return after; }

// A hint directive's message is the literal directly after it (a doubled
// apostrophe arrives as adjacent literals) and goes with it, together with
// the space that follows.
Pos ThroughMessage(const std::string& s, Pos after) {
  Pos end = after;
  // Each pass moves past one closing quote, or stops.
  while (At(s, end) == '"') {
    Pos close = FindChar(s, '"', end + 1);
    if (close == 0) break;
    end = close + 1;
  }
  if (end != after && At(s, end) == ' ') ++end;
  return end;
}

// Replaces every trigger, left to right, without rescanning replaced text.
void ReplaceEvery(std::string& s, std::string_view key, std::string_view by, MatchEnd match_end = KeyOnly) {
  const std::string masked = MaskQuotedStrings(s);
  std::string out;
  Pos start = 1;
  // Each match lies at or after `start` and moves it past the match.
  for (Pos p = FindText(masked, key, start); p != 0; p = FindText(masked, key, start)) {
    out += Slice(s, start, p - 1);
    out += by;
    start = match_end(s, p + Len(key));
  }
  s = out + Tail(s, start);
}

// Removes the first section keyword and the space after it; the space before
// it stays.
void DeleteFirstKeyword(std::string& s, std::string_view spaced_keyword) {
  Pos p = FindTrigger(s, spaced_keyword);
  if (p != 0) Erase(s, p + 1, Len(spaced_keyword) - 1);
}

// The bracket that starts at `open`, up to its ")" (or the line's end), is
// replaced, together with the keyword before it that starts at `from`.
void ReplaceThroughBracket(std::string& s, Pos from, Pos open, std::string_view by) {
  Pos close = FindStructuralChar(s, ')', open + 1);
  Pos last = close != 0 ? close : Len(s);
  Replace(s, from, last - from + 1, by);
}

// " X = class ( TA , IB ) " becomes " X = { " and the inheritance line names
// the first ancestor only. `p` is where the keyword's space stands.
void RewriteDerived(std::string& s, Pos p, LineList& working, LineOrigin origin) {
  const std::string name = GetValidToken(s, "=").token;
  Pos open = FindStructuralChar(s, '(', p + 1);
  Pos space = FindStructuralChar(s, ' ', open + 2);
  const std::string parent = space != 0 ? Slice(s, open + 1, space) : Tail(s, open + 1);
  working.Add(" setmetatable (" + name + "," + parent + ") ; ", origin);
  ReplaceThroughBracket(s, p, open, " {");
}

void RewriteDerivedClass(std::string& s, LineList& working, LineOrigin origin) {
  if (Pos p = FindTrigger(s, " class (")) RewriteDerived(s, p, working, origin);
}

// An old-style object lays out like a record, and one derived from another
// follows its ancestor's fields as a derived class does; its VMT pointer,
// when it has one, is a field already. Only a type's head counts: after
// "of" the word makes a method pointer.
void RewriteObject(std::string& s, LineList& working, LineOrigin origin) {
  const std::string masked = MaskQuotedStrings(s);
  for (std::string_view head : {" = object ", " packed object ", " bitpacked object "}) {
    Pos p = FindText(masked, head, 1);
    if (p == 0) continue;
    p += Len(head) - Len(" object ");
    if (FindText(masked, " object ( ", p) == p)
      RewriteDerived(s, p, working, origin);
    else
      Replace(s, p, Len(" object"), " {");
    return;
  }
}

// A calling convention after a procedural type or field (" TCb = procedure
// ( P : Pointer ) cdecl ; ", " f : function : Integer ; stdcall ; ") is part
// of the type, not a statement of its own: the member walks would take it
// for a member. The word goes, with the ";" before it.
void RemoveCallingConventions(std::string& s) {
  const std::string masked = MaskQuotedStrings(s);
  struct Piece {
    size_t start;
    size_t length;
  };
  std::vector<Piece> words;
  ForEachSpacedWord(masked, [&](size_t start, size_t length) { words.push_back({start, length}); });
  auto text = [&](size_t k) { return std::string_view(masked).substr(words[k].start, words[k].length); };
  std::vector<bool> dropped(words.size(), false);
  bool any = false;
  for (size_t k = 1; k + 1 < words.size(); ++k) {
    if (!IsCallingConvention(text(k)) || text(k + 1) != ";") continue;
    size_t before = k - 1;
    while (before > 0 && dropped[before]) --before;
    if (text(before) == ":" || text(before) == "," || text(before) == "=") continue;
    dropped[k] = any = true;
    if (text(before) == ";" && !dropped[before]) dropped[before] = true;
  }
  if (!any) return;
  std::string out;
  size_t copied = 0;
  for (size_t k = 0; k < words.size(); ++k) {
    if (!dropped[k]) continue;
    // The word goes with the space in front of it.
    out.append(s, copied, words[k].start - 1 - copied);
    copied = words[k].start + words[k].length;
  }
  s = out + s.substr(copied);
}

// Takes the line by value: appending an inheritance line may move the
// list's lines.
std::string RewriteLine(std::string s, LineList& working, LineOrigin origin) {
  // A class modifier changes nothing of the layout; left in place it would
  // read as a member.
  ReplaceEvery(s, " class sealed ", " class ");
  ReplaceEvery(s, " class abstract ", " class ");
  DeleteFirstKeyword(s, " const ");
  DeleteFirstKeyword(s, " type ");
  DeleteFirstKeyword(s, " var ");
  RewriteDerivedClass(s, working, origin);
  ReplaceEvery(s, " class of ", " ^");
  ReplaceEvery(s, " class ;", " {} ;");
  ReplaceEvery(s, " class ", kClassHead);
  ReplaceEvery(s, " record ", " { ");
  RewriteObject(s, working, origin);
  ReplaceEvery(s, " deprecated ", " ", ThroughMessage);
  ReplaceEvery(s, " platform ", " ", ThroughMessage);
  RemoveCallingConventions(s);
  ReplaceEvery(s, kEmptyClassBody, kClosedEmptyClass);
  ReplaceEvery(s, " end ;", "} ;");
  ReplaceEvery(s, "= type", "=");
  ReplaceEvery(s, " [ \"\" ] ", "");
  ReplaceEvery(s, "{ ;", "{} ;");
  // No step edits inside a literal, so the contents need no restoring; a
  // restore would even shift them onto the wrong literals wherever a step
  // removed one (an empty bracketed literal, or a literal in a parent list).
  return s;
}

}  // namespace

void RewriteDeclarationsAsTables(LineList& working) {
  // Inheritance lines appended on the way are not rewritten themselves.
  const size_t declared = working.Count();
  for (size_t i = 0; i < declared; ++i) {
    ThrowIfStopRequested();
    working.Put(i, RewriteLine(working.Get(i), working, working.Origin(i)));
  }
}

}  // namespace ct
