// A class that inherits from itself, or from a class that inherits from it,
// has no layout: every later stage that follows the parents would take the
// same members again (or walk for ever). Delphi refuses such a chain; so
// does the run, by name, and the later stages see the classes without it.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "pipeline/inheritance.h"
#include "pipeline/input_file.h"
#include "pipeline/tables/tables.h"
#include "pipeline/texts.h"
#include "text/gbk.h"

namespace ct {

bool BreakInheritanceCycles(LineList& working, Reporter& reporter) {
  // Class names in lower case, as Delphi compares them, with their line.
  std::map<std::string, size_t> line_of;
  std::map<std::string, std::string> parent_of;
  for (size_t i = 0; i < working.Count(); ++i) {
    const auto inheritance = ReadInheritanceLine(working.Get(i));
    if (!inheritance) continue;
    const std::string child = LowerAscii(Trim(inheritance->child));
    line_of[child] = i;
    parent_of[child] = LowerAscii(Trim(inheritance->parent));
  }
  // Each class is walked once: a walk stops at a class already walked, and
  // a class met again on its own walk closes a cycle.
  enum class Walk { kNone, kOnPath, kDone };
  std::map<std::string, Walk> walked;
  std::vector<size_t> in_cycles;
  for (const auto& [start, parent] : parent_of) {
    std::vector<std::string> path;
    std::string at = start;
    bool cycle = false;
    // Every round walks to a class not yet on the path, or ends.
    while (true) {
      Walk& walk = walked[at];
      cycle = walk == Walk::kOnPath;
      if (walk != Walk::kNone) break;
      walk = Walk::kOnPath;
      path.push_back(at);
      auto next = parent_of.find(at);
      if (next == parent_of.end()) break;
      at = next->second;
    }
    if (cycle)
      for (auto member = std::find(path.begin(), path.end(), at); member != path.end(); ++member)
        in_cycles.push_back(line_of.at(*member));
    for (const std::string& name : path) walked[name] = Walk::kDone;
  }
  if (in_cycles.empty()) return true;
  std::sort(in_cycles.begin(), in_cycles.end());
  LineList kept;
  size_t next_cycle = 0;
  for (size_t i = 0; i < working.Count(); ++i) {
    if (next_cycle < in_cycles.size() && in_cycles[next_cycle] == i) {
      const auto inheritance = ReadInheritanceLine(working.Get(i));
      const std::string text =
          Gbk(texts::kInheritanceCycleHead) + Trim(inheritance->child) + Gbk(texts::kInheritanceCycleTail);
      reporter.Log(Gbk(texts::kMarker) + text + WhereInInput(working.Origin(i)));
      reporter.Problem(ProblemKind::kFailure, text, working.Origin(i));
      ++next_cycle;
      continue;
    }
    kept.Add(working.Get(i), working.Origin(i));
  }
  working = std::move(kept);
  reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kInheritanceCycleBox), MessageIcon::kError);
  return false;
}

}  // namespace ct
