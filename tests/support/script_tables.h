// The tables of a ClassType.lua as text: each structure's member entries in
// the order the script lists them.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ct::testing {

// Table name -> its member lines without the tab and the trailing " , ",
// as "a = { 0 , vt_Byte }". Constants and binding lines are not tables.
std::map<std::string, std::vector<std::string>> ScriptTables(std::string_view script);

// The names of a table's members, in order.
std::vector<std::string> MemberNames(const std::vector<std::string>& entries);

// The structures that ClassTable_E.lua shows laid out with members of their
// own (" T = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; a : 0 ; } ; "),
// which the script must hold a table for; the names the script lacks.
std::vector<std::string> TablesMissingFromScript(std::string_view e_file, std::string_view script);

// The first line of an intermediate file that declares `name`
// (" name = ..."), or a note that none does.
std::string DeclarationOf(const std::vector<std::string>& lines, std::string_view name);

}  // namespace ct::testing
