// A record's variant part in a structure line. The reading stages write
// each variant part as members of the line: a mark where the part begins
// (with its first branch), a mark where each further branch begins and a
// mark where the part ends, around the fields of the branches, which stand
// between them as ordinary members. The marks are named by reserved words,
// which no field can be called, and carry a number, as every member does:
// 0 until the layout puts in the offset where the branch starts (or, for
// the end, where the longest branch ends).
//
//   " TLargeInteger = { case : 0 ; LowPart : LongWord ; HighPart : Longint ;
//     else : 0 ; QuadPart : Int64 ; end : 0 ; } ; "
//
// A part inside a branch nests between its marks. The marks have served
// once the offsets are final: the accessor format leaves them out, so that
// every field of every branch is an ordinary entry at its own offset.
#pragma once

#include <string>
#include <string_view>

namespace ct {

enum class VariantMark { kNone, kPartBegins, kBranchBegins, kPartEnds };

// The mark a member's name makes (its name trimmed), or kNone for a field.
VariantMark VariantMarkOf(std::string_view member_name);

// The member the reading writes for a mark, in the compact form ("case:0;").
std::string VariantMarkMember(VariantMark mark);

// The line with every mark member left out, the other members as they
// stand; a line without marks is returned unchanged.
std::string WithoutVariantMarks(std::string_view line);

}  // namespace ct
