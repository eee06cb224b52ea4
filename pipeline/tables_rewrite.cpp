// Declarations rewritten as Lua table constructors: records and classes open
// a brace, "end ;" closes it, section keywords and hint directives vanish,
// and every class with a parent gets an inheritance line at the list's end.
#include <string>
#include <string_view>

#include "pipeline/tables.h"

namespace ct {

namespace {

// The first member of a class without a parent: its method table pointer.
// It ends without a space, so an empty body on the same line leaves the
// "end ;" glued to it.
constexpr std::string_view kClassHead = " { Vmt : Pointer ;";
constexpr std::string_view kEmptyClassBody = " { Vmt : Pointer ;end ;";
constexpr std::string_view kClosedEmptyClass = " { Vmt : Pointer ;} ;";

Pos FindTrigger(const std::string& s, std::string_view key, Pos start = 1) { return FindText(s, key, start); }

void ReplaceEvery(std::string& s, std::string_view key, std::string_view by) { s = ReplaceAllText(s, key, by); }

// Removes the first section keyword and the space after it; the space before
// it stays.
void DeleteFirstKeyword(std::string& s, std::string_view spaced_keyword) {
  Pos p = FindTrigger(s, spaced_keyword);
  if (p != 0) Erase(s, p + 1, Len(spaced_keyword) - 1);
}

// The bracket that starts at `open`, up to its ")" (or the line's end), is
// replaced, together with the keyword before it that starts at `from`.
void ReplaceThroughBracket(std::string& s, Pos from, Pos open, std::string_view by) {
  Pos close = FindChar(s, ')', open + 1);
  Pos last = close != 0 ? close : Len(s);
  Replace(s, from, last - from + 1, by);
}

// " X = class ( TA , IB ) " becomes " X = { " and the inheritance line names
// the first ancestor only.
void RewriteDerivedClass(std::string& s, LineList& working) {
  Pos p = FindTrigger(s, " class (");
  if (p == 0) return;
  const std::string name = GetValidToken(s, "=").token;
  Pos open = FindChar(s, '(', p + 1);
  Pos space = FindChar(s, ' ', open + 2);
  const std::string parent = space != 0 ? Slice(s, open + 1, space) : Tail(s, open + 1);
  working.Add(" setmetatable (" + name + "," + parent + ") ; ");
  ReplaceThroughBracket(s, p, open, " {");
}

void RewriteInterfaceWithParent(std::string& s) {
  Pos p = FindTrigger(s, " interface (");
  if (p == 0) return;
  ReplaceThroughBracket(s, p, FindChar(s, '(', p + 1), " 8");
}

std::string RewriteLine(const std::string& line, LineList& working) {
  std::string s = line;
  DeleteFirstKeyword(s, " const ");
  DeleteFirstKeyword(s, " type ");
  DeleteFirstKeyword(s, " var ");
  RewriteDerivedClass(s, working);
  ReplaceEvery(s, " class of ", " ^");
  ReplaceEvery(s, " class ;", " {} ;");
  ReplaceEvery(s, " class ", kClassHead);
  ReplaceEvery(s, " record ", " { ");
  ReplaceEvery(s, " deprecated ", " ");
  ReplaceEvery(s, " platform ", " ");
  ReplaceEvery(s, kEmptyClassBody, kClosedEmptyClass);
  ReplaceEvery(s, " end ;", "} ;");
  ReplaceEvery(s, "= type", "=");
  ReplaceEvery(s, " [ \"\" ] ", "");
  RewriteInterfaceWithParent(s);
  ReplaceEvery(s, " interface ", " 8 ");
  ReplaceEvery(s, "{ ;", "{} ;");
  RestoreQuotedStrings(line, s);
  return s;
}

}  // namespace

void RewriteDeclarationsAsTables(LineList& working) {
  // Inheritance lines appended on the way are not rewritten themselves.
  const size_t declared = working.Count();
  for (size_t i = 0; i < declared; ++i) {
    // A copy: appending an inheritance line may move the list's lines.
    const std::string line = working.Get(i);
    working.Put(i, RewriteLine(line, working));
  }
}

}  // namespace ct
