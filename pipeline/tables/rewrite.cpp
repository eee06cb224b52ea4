// Declarations rewritten as Lua table constructors: records and classes open
// a brace, "end ;" closes it, section keywords and hint directives vanish,
// and every class with a parent gets an inheritance line at the list's end.
#include <string>
#include <string_view>

#include "pipeline/tables/tables.h"
#include "pipeline/stop_request.h"

namespace ct {

namespace {

// The first member of a class without a parent: its method table pointer.
// It ends without a space, so an empty body on the same line leaves the
// "end ;" glued to it.
constexpr std::string_view kClassHead = " { Vmt : Pointer ;";
constexpr std::string_view kEmptyClassBody = " { Vmt : Pointer ;end ;";
constexpr std::string_view kClosedEmptyClass = " { Vmt : Pointer ;} ;";

// Lines with " stdcall " are gone before the rewrite.
constexpr std::string_view kCallingConventions[] = {" ; cdecl ;", " ; pascal ;", " ; register ;", " ; safecall ;"};

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
// the first ancestor only.
void RewriteDerivedClass(std::string& s, LineList& working, LineOrigin origin) {
  Pos p = FindTrigger(s, " class (");
  if (p == 0) return;
  const std::string name = GetValidToken(s, "=").token;
  Pos open = FindStructuralChar(s, '(', p + 1);
  Pos space = FindStructuralChar(s, ' ', open + 2);
  const std::string parent = space != 0 ? Slice(s, open + 1, space) : Tail(s, open + 1);
  working.Add(" setmetatable (" + name + "," + parent + ") ; ", origin);
  ReplaceThroughBracket(s, p, open, " {");
}

void RewriteInterfaceWithParent(std::string& s) {
  Pos p = FindTrigger(s, " interface (");
  if (p == 0) return;
  ReplaceThroughBracket(s, p, FindStructuralChar(s, '(', p + 1), " 8");
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
  ReplaceEvery(s, " deprecated ", " ", ThroughMessage);
  ReplaceEvery(s, " platform ", " ", ThroughMessage);
  // A calling convention after a routine type is part of the type; left as
  // a statement of its own, the member walks would take it for a member.
  for (std::string_view convention : kCallingConventions) ReplaceEvery(s, convention, " ;");
  ReplaceEvery(s, kEmptyClassBody, kClosedEmptyClass);
  ReplaceEvery(s, " end ;", "} ;");
  ReplaceEvery(s, "= type", "=");
  ReplaceEvery(s, " [ \"\" ] ", "");
  RewriteInterfaceWithParent(s);
  ReplaceEvery(s, " interface ", " 8 ");
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
