// Name matches over the working list that the output stages repeat for every
// member and every inheritance line. Each scan has one home so that it can be
// answered from an index later, with the same first-match results.
#pragma once

#include <cstddef>
#include <string_view>

#include "pipeline/candidate_lines.h"
#include "text/line_list.h"
#include "text/scan.h"

namespace ct {

// Every structural test here looks only outside double-quoted strings: a
// string constant is never a table, whatever braces it holds.

// Position of the "= {" that opens a structure's table in the line, or 0.
Pos FindTableOpening(std::string_view line);

// Whether `line` defines the members of a structure named `name` (it holds
// ":" and no "{ }", and its definition name is `name` ignoring case), and
// the key under which an indexed list files such lines: that name in lower
// case. Both depend on the name's letters only, not on their case.
bool DefinesStructureNamed(std::string_view line, std::string_view name);
bool StructureNameKey(std::string_view line, std::string& key);

// The line nearest the end, at index `lowest` or later and below `end`,
// that defines the members of a structure named `name` (it holds ":" and no
// "{ }", and its definition name is `name` ignoring case); kNoLine when there
// is none.
size_t FindLastStructureNamed(const LineList& list, std::string_view name, size_t lowest, size_t end = kNoLine);

// Table lines whose text before the "= {" equals `head` ignoring case, the
// head untrimmed: the first one at index `from` or later, and the last one.
size_t FindFirstTableHeaded(const LineList& list, std::string_view head, size_t from);
size_t FindLastTableHeaded(const LineList& list, std::string_view head);

}  // namespace ct
