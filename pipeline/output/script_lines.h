// The lines ClassType.lua may hold, read token by token as Lua reads them.
// A line of any other shape could make the script do something besides
// defining data (call a function, index a global, end a constructor early),
// so the last check of the output keeps only these (docs/line-formats.md):
//
//   constant         " vt_Integer = 1 "   (a number, "- 1", a string, a name)
//   table opening    " TUserItem = { "     (or " T = { } ")
//   entry            "\tMakeIndex = { 0 , vt_Integer } , "  "\t[ \"local\" ] = { 4 , - 1 , T } , "
//   closing brace    "}"
//   binding          " TUserItem.__index = BindGet "  " TUserItem.__newindex = BindSet "
//   late reference   " TBaseObject.m_Target [ 3 ] = TBaseObject "
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ct {

enum class ScriptLineKind {
  kBlank,
  kConstant,
  kTableOpening,
  kEmptyTable,
  kEntry,
  kClosing,
  kBinding,
  kLateReference,
  kNotData,
};

struct ScriptLine {
  ScriptLineKind kind = ScriptLineKind::kNotData;
  // The global the line assigns or indexes: the constant, the table, or the
  // table a binding or a late reference fills in.
  std::string name;
  // The member an entry defines or a late reference fills in, as Lua reads
  // it ("local" for [ "local" ]).
  std::string key;
  // The globals the line reads: the names among an entry's values, a
  // constant's name value, a late reference's table.
  std::vector<std::string> reads;
};

// A line that opens a table under a name Lua cannot take (" T中文 = { ")
// reads as a table opening whose name is no plain Lua name, so that the
// table can be left out as a whole.
ScriptLine ReadScriptLine(std::string_view line);

// Names a script of data must not assign: Lua's own globals and libraries
// and the host's accessor functions. A table called "print" or "BindGet"
// would replace what the host and the script itself rely on.
bool IsReservedGlobal(std::string_view name);

}  // namespace ct
