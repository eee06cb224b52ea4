// The fields of a declaration line, as the junk, size and accessor stages
// see them: a line may hold a whole table, or several fields of a longer one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/scan.h"

namespace ct {

// One field: from the byte after the previous field's ";" up to and including
// its own ";", which stands at bracket depth 0 (outside "( )" and "[ ]"), so
// that a parameter list stays inside its field. The last field runs to the
// end of the line. Text inside double-quoted strings never bounds a field.
// Its names end at its first colon at depth 0: in
// "F1,F2:function:Integer;" the type is "function:Integer".
struct FieldSpan {
  Pos first = 0;
  Pos last = 0;
  Pos colon = 0;                 // 0 when the field has no colon at depth 0
  std::vector<Pos> name_commas;  // the commas at depth 0 before that colon
};

std::vector<FieldSpan> FieldSpans(std::string_view line);

// Splits the field groups of one line in the compact form ("a,b:Integer;"
// becomes "a:Integer;b:Integer;"). A field's names end at its first colon
// outside brackets and its type runs to its semicolon outside brackets, so
// "OnA,OnB:procedure(Sender:TObject)of object;" is two fields of that
// procedural type; string constants are never split. Returns true when a
// comma was replaced. Serves the field-group stage and the member-name
// splitting that precedes the accessor format.
bool SplitGroupsInCompactLine(std::string& compact_line);

}  // namespace ct
