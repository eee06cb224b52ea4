// The size each structure's own members were laid out with.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "text/line_list.h"

namespace ct {

// Structure name -> member name -> size in bytes; a member whose size the
// files cannot tell is missing.
using MemberSizes = std::map<std::string, std::map<std::string, std::int64_t>>;

// The members' values of the sized file evaluated and resolved against the
// laid-out file, the way the layout cycles read them: its constants, and its
// laid-out structures, which stand for their whole size.
MemberSizes OwnMemberSizes(const LineList& sized, const LineList& laid_out);

}  // namespace ct
