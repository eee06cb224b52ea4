// The memory layout of every structure of a finished run, read back from the
// run's files as a compiler's layout report shows it: one row per member with
// its offset, size and type, and the holes between members shown as such.
//
// ClassType.lua gives each structure's members, inherited ones included,
// with their offsets and descriptors; ClassTable_E.lua each structure's
// sizes, its own members and its parent; ClassTable_D.lua the size each own
// member was laid out with. Nothing here runs the conversion again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "text/line_list.h"

namespace ct {

struct LayoutRow {
  enum class Kind {
    kMember,
    kHole,     // bytes between two members that no member covers
    kPadding,  // bytes after the last member, up to the structure's size
  };
  Kind kind = Kind::kMember;
  std::int64_t offset = 0;
  std::optional<std::int64_t> size;  // unknown when the files cannot tell it
  // Members only (GBK):
  std::string name;
  std::string type;         // the descriptor after the offset: "vt_Integer", "-1, TBaseObject"
  std::string declared_in;  // the structure that declares it: a parent for an inherited member
};

struct StructureLayout {
  std::string name;  // GBK
  std::string parent;  // empty without one
  std::optional<std::int64_t> size;       // what an instance occupies
  std::optional<std::int64_t> alignment;  // the largest member alignment
  std::vector<LayoutRow> rows;            // in offset order, holes between members

  std::int64_t HoleBytes() const;
};

struct LayoutReport {
  std::vector<StructureLayout> structures;  // in the order of ClassType.lua

  // The structure of that name (ASCII case ignored), or nullptr.
  const StructureLayout* Find(std::string_view name) const;
};

// The report from the three files' lines.
LayoutReport BuildLayoutReport(const LineList& sized, const LineList& laid_out, const LineList& script);

// The report of the run whose files lie in `folder`; false, with the reason
// in `error`, when one of them cannot be read.
bool ReadLayoutReport(const std::filesystem::path& folder, LayoutReport& report, std::string& error);

}  // namespace ct
