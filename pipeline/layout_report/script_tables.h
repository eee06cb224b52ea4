// The structure tables of ClassType.lua, one member a line
// (docs/line-formats.md): " TUserItem = { ", "\tMakeIndex = { 0 , vt_Integer } , ", "}".
#pragma once

#include <string>
#include <vector>

#include "text/line_list.h"

namespace ct {

struct ScriptEntry {
  std::string name;                // as declared: a bracketed key is read back
  std::vector<std::string> items;  // "0", "- 1", "TBaseObject"
};

struct ScriptTable {
  std::string name;
  std::vector<ScriptEntry> entries;
};

// Every table with at least one entry, in the script's order.
std::vector<ScriptTable> ScriptTablesOf(const LineList& script);

}  // namespace ct
