// Layouts as a 32-bit compiler reports them (the harness's text, as in
// tests/compiler_layouts/expected), and the same facts read back from a run:
// every field's offset from ClassType.lua, every structure's size from
// ClassTable_E.lua.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/memory_run.h"

namespace ct::testing {

struct CompilerLayout {
  std::string name;
  std::optional<std::int64_t> size;  // SizeOf, or InstanceSize for a class
  // The fields the structure declares itself, in order, with their offsets.
  std::vector<std::pair<std::string, std::int64_t>> fields;
};

// The harness's lines: "TRec size 16" and "TRec.d 8", structures in order.
// Returns nothing when a line is of neither shape (its number in `problem`).
std::optional<std::vector<CompilerLayout>> ReadCompilerLayouts(std::string_view text, std::string& problem);

// One way in which a run's layout differs from the compiler's.
struct LayoutDifference {
  std::string structure;
  std::string field;  // empty for the size
  std::string found;  // what the run wrote, or why nothing was read
  std::int64_t expected = 0;
};
std::string Describe(const LayoutDifference& difference);

// Compares every expected structure with the run: each field's offset is
// the first number of its entry in its structure's table of ClassType.lua
// (by its exact spelling: Lua keys are case-sensitive), the size the
// structure's nWholeSize in ClassTable_E.lua.
std::vector<LayoutDifference> CompareWithRun(const std::vector<CompilerLayout>& expected, const MemoryRun& run);

}  // namespace ct::testing
