// Lookups of declarations in a line list. Each walks the definition lines
// whose name equals the given one (ignoring ASCII case) in list order and
// stops at the first line that qualifies.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/line_list.h"

namespace ct {

// A line that contains "=": its name is the trimmed token before the first
// "=", its body the rest, its value the trimmed token of the body before ";".
struct Definition {
  std::string name;
  std::string body;
  std::string value;
};
bool ParseDefinition(std::string_view line, Definition& out);
// The key under which an indexed list files a definition line: its name as
// ParseDefinition gives it, ASCII letters lower-cased.
bool DefinitionNameKey(std::string_view line, std::string& key);

bool FindIntegerConstant(const LineList& list, std::string_view name, std::int32_t& value);
// The type code of a type: the integer constant "vt_" + the type's name,
// spelt as its definition spells it ("vt_Char" for "char"), since the
// script names the constant and Lua names are case-sensitive.
bool FindTypeCode(const LineList& list, std::string_view type_name, std::string& code);
bool FindNumericValue(const LineList& list, std::string& name, int& prefix);
bool FindTypeAlias(const LineList& list, std::string& name);
bool FindFieldValue(const LineList& list, std::string& name, std::string_view key);
bool GetWholeAndMaxSize(const LineList& list, std::string& name, int& max_size);
// GetWholeAndMaxSize of the structure `name` stands for: itself or, through
// aliases in `list` (" ACE_HEADER = _ACE_HEADER ; ", chains of them), the
// structure an alias names; each name is followed once, so a cycle ends.
bool GetStructureSizes(const LineList& list, std::string& name, int& max_size);
// True, and the name replaced by the routine keyword ("procedure" or
// "function", in lower case), when a definition line of that name declares
// a procedural type with parameters or a result, which FindTypeAlias passes
// over because its value holds a colon.
bool FindRoutineType(const LineList& list, std::string& name);

}  // namespace ct
