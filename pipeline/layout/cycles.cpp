// Structures refer to constants and to each other in any order, and one
// evaluation pass does not always finish an expression, so evaluation and
// layout alternate until the layout settles.
#include <string>

#include "pipeline/input_file.h"
#include "pipeline/layout/expressions.h"
#include "pipeline/layout/layout.h"
#include "pipeline/layout/structures.h"
#include "pipeline/stop_request.h"
#include "pipeline/texts.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct {

namespace {

// Names the line that stayed unresolved by its number as the editor shows
// it and by its index, with the value that could not be read, and then the
// line of the input where that declaration starts; every structure left
// unresolved becomes a problem of its own.
void ReportIncompleteLayout(Reporter& reporter, const LineList& working, const LayoutPass& pass) {
  const size_t index = *pass.last_unresolved;
  const std::string incomplete = Gbk(texts::kLayoutIncompleteLog);
  reporter.Log(incomplete);
  reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kLayoutIncompleteBox), MessageIcon::kError);
  reporter.Log(Gbk(texts::kLayoutFailedLineHead) + std::to_string(index + 1) + Gbk(texts::kLayoutUnknownType) + "\"" +
               pass.unresolved_value + "\"" + Gbk(texts::kLayoutIndexHead) + std::to_string(index) + " " + incomplete +
               WhereInInput(working.Origin(index)));
  reporter.Problem(ProblemKind::kFailure, Gbk(texts::kLayoutIncompleteBox), working.Origin(index));
  for (const UnresolvedLine& line : pass.unresolved) {
    const std::string& text = working.Get(line.index);
    std::string name = Trim(Copy(text, 1, FindChar(MaskQuotedStrings(text), '=', 1) - 1));
    reporter.Problem(ProblemKind::kUnresolved, name + Gbk(texts::kLayoutUnknownType) + "\"" + line.value + "\"",
                     working.Origin(line.index));
  }
}

}  // namespace

bool RunLayoutCycles(LineList& working, Reporter& reporter, RecordPadding padding, const LineList& declarations,
                     const std::function<void(size_t)>& on_cycle) {
  LayoutPass pass;
  // Ends: a cycle that changed nothing ends the loop, and lines change only
  // finitely often: evaluation removes operators and brackets, a structure is
  // laid out once, and one of whole size 0 that is rewritten with its
  // offsets reaches offsets that are all 0 within one cycle per member.
  for (size_t cycle = 1;; ++cycle) {
    ThrowIfStopRequested();
    if (on_cycle) on_cycle(cycle);
    bool evaluated = EvaluateExpressions(working);
    pass = LayOutStructures(working, padding, declarations);
    if (!pass.last_unresolved || !(evaluated || pass.changed)) break;
  }
  if (!pass.last_unresolved) {
    working.Add(Gbk(texts::kLayoutSucceededLine));
    return true;
  }
  ReportIncompleteLayout(reporter, working, pass);
  return false;
}

void GiveEmptyStructuresZeroSize(LineList& working) {
  constexpr std::string_view kEmpty = " { } ";
  for (size_t i = 0; i < working.Count(); ++i) {
    std::string line = working.Get(i);
    // An empty pair of braces inside a string is text, not a structure.
    Pos empty = FindText(MaskQuotedStrings(line), kEmpty, 1);
    if (empty == 0) continue;
    Replace(line, empty, Len(kEmpty), " { nWholeSize : 0 ; } ");
    working.Put(i, std::move(line));
  }
}

}  // namespace ct
