// Stages 29 to 35: from accessor-format structures to the lines of
// ClassType.lua.
//
//   takes (working):  " TUserItem = { MakeIndex : { 0 , vt_Integer } ; ... } ; "
//   gives (working):  " TUserItem = { "  "\tMakeIndex = { 0 , vt_Integer } , "  ...  "}"
//                     " TUserItem.__index = BindGet "  " TBaseObject.m_Target [ 3 ] = TBaseObject "
//
// The forms and what each list holds after each phase: docs/line-formats.md.
#pragma once

#include <string>
#include <vector>

#include "pipeline/front_end.h"
#include "text/line_list.h"

namespace ct {

// Every structure after the structures it embeds, in time near-linear in
// the number of lines moved.
void SortByNesting(LineList& working, const LineList& reference);
void MergeInheritedMembers(LineList& working);
// The tables of the structures the layout could not finish (`names`) go,
// so that the script holds only what was laid out, and so do the entries
// that name a structure without members, which has no table; an entry of another
// table that points to one of them (a pointer, a class reference, a dynamic
// array) becomes a plain pointer, and one that holds one of them goes. Each
// such entry is logged with its table's line of the input.
void LeaveOutStructures(LineList& working, const std::vector<std::string>& names, Reporter& reporter);
void TidyLines(LineList& working);
// Logs every table Lua cannot name and every entry that is not numbers with
// a number or a name last; false when there is one.
bool EveryEntryIsData(const LineList& working, Reporter& reporter);
void AddBindingLines(LineList& working);
// Entries that name their own or a later structure's table get a line after
// the tables that fills in the table, which the constructor saw as nil.
void AddLateReferenceLines(LineList& working);
void LayOutForReading(LineList& working, LineList& reference);
void TidyTables(LineList& working);
void NormaliseValues(LineList& working);
// Leaves out every line that is not of a shape the format allows or names
// what the script does not define, and reports it; reports every structure
// of the layout snapshot laid out with members that has no table. False
// when anything was left out or is missing.
bool KeepDataOnly(LineList& working, const LineList& snapshot, Reporter& reporter);

}  // namespace ct
