// A derived class's table lists its parent's members too: the host reads a
// field of the parent through the child's table.
#include <string>

#include "pipeline/inheritance.h"
#include "pipeline/output/output.h"
#include "pipeline/output/scans.h"
#include "pipeline/stop_request.h"
#include "text/scan.h"

namespace ct {

namespace {

// The members of the first table of that head that has any, from just after
// its "{ " to the blank before its closing "}"; empty when none has members.
std::string ParentMembers(const LineList& working, std::string_view parent) {
  // k grows with every candidate.
  for (size_t k = FindFirstTableHeaded(working, parent, 0); k != kNoLine;
       k = FindFirstTableHeaded(working, parent, k + 1)) {
    const std::string& line = working.Get(k);
    std::string members = TrimLeft(Slice(line, FindTableOpening(line) + 4, Len(line) - 4));
    if (!members.empty()) return members;
  }
  return {};
}

void InheritMembers(LineList& working, std::string_view child, std::string_view parent) {
  std::string members = ParentMembers(working, parent);
  if (members.empty()) return;
  size_t c = FindLastTableHeaded(working, child);
  if (c == kNoLine) return;
  std::string line = working.Get(c);
  InsertAt(line, members, FindTableOpening(line) + 4);
  working.Put(c, std::move(line));
}

}  // namespace

void MergeInheritedMembers(LineList& working) {
  // Line order is declaration order, so a parent has received its own
  // parent's members before it passes them on: chains flatten in one walk.
  const size_t count = working.Count();
  for (size_t i = 0; i < count; ++i) {
    ThrowIfStopRequested();
    auto inheritance = ReadInheritanceLine(working.Get(i));
    if (inheritance) InheritMembers(working, inheritance->child, inheritance->parent);
  }
}

}  // namespace ct
