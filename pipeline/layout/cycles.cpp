// Structures refer to constants and to each other in any order, and one
// evaluation pass does not always finish an expression, so evaluation and
// layout alternate until the layout settles.
#include <string>

#include "pipeline/fields.h"
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

// The type a member was declared with in its structure's line of the
// reference list (" a , b : Integer ; " gives b the type "Integer"); empty
// when the line declares no such member.
std::string DeclaredType(const std::string& declaration, const std::string& member) {
  for (const FieldSpan& field : FieldSpans(declaration)) {
    if (field.colon == 0) continue;
    std::string names = Slice(declaration, field.first, field.colon - 1);
    names = Tail(names, FindCharInRange(names, '{', Len(names), 1) + 1);
    // Ends: every cut takes a name and its comma off the front.
    while (!names.empty())
      if (Trim(CutAtChar(names, ',', false)) == member) {
        const Pos end = At(declaration, field.last) == ';' ? field.last - 1 : field.last;
        return Trim(Slice(declaration, field.colon + 1, end));
      }
  }
  return {};
}

// What stopped a structure: its first member whose type no size was found
// for, or its parent that never laid out.
std::string StoppedAt(const UnresolvedLine& line, const LineList& declarations) {
  if (line.member.empty()) return Gbk(texts::kLeftOutParent) + Gbk(texts::kLayoutUnknownType) + "\"" + line.value + "\"";
  std::string type = declarations.Has(line.index) ? DeclaredType(declarations.Get(line.index), line.member) : "";
  if (type.empty()) type = line.value;
  return Gbk(texts::kLeftOutMember) + line.member + Gbk(texts::kLayoutUnknownType) + "\"" + type + "\"";
}

// Names the line that stayed unresolved by its number as the editor shows
// it and by its index, with the value that could not be read, and then the
// line of the input where that declaration starts; every structure left
// unresolved is logged as left out of the script and becomes a problem of
// its own, and so does every other line left unresolved. Returns the names
// of the structures left out.
std::vector<std::string> ReportIncompleteLayout(Reporter& reporter, const LineList& working,
                                                const LineList& declarations, const LayoutPass& pass) {
  const size_t index = *pass.last_unresolved;
  const std::string incomplete = Gbk(texts::kLayoutIncompleteLog);
  reporter.Log(incomplete);
  reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kLayoutIncompleteBox), MessageIcon::kError);
  reporter.Log(Gbk(texts::kLayoutFailedLineHead) + std::to_string(index + 1) + Gbk(texts::kLayoutUnknownType) + "\"" +
               pass.unresolved_value + "\"" + Gbk(texts::kLayoutIndexHead) + std::to_string(index) + " " + incomplete +
               WhereInInput(working.Origin(index)));
  reporter.Problem(ProblemKind::kFailure, Gbk(texts::kLayoutIncompleteBox), working.Origin(index));
  std::vector<std::string> left_out;
  for (const UnresolvedLine& line : pass.unresolved) {
    const std::string& text = working.Get(line.index);
    const std::string mask = MaskQuotedStrings(text);
    const Pos equals = FindChar(mask, '=', 1);
    std::string name = Trim(Copy(text, 1, equals - 1));
    const LineOrigin origin = working.Origin(line.index);
    if (equals == 0 || FindChar(mask, '{', equals) == 0) {
      reporter.Problem(ProblemKind::kUnresolved, name + Gbk(texts::kLayoutUnknownType) + "\"" + line.value + "\"",
                       origin);
      continue;
    }
    const std::string stopped = StoppedAt(line, declarations);
    reporter.Log(Gbk(texts::kMarker) + Gbk(texts::kLeftOutLogHead) + name + Gbk(texts::kLeftOutLogMiddle) + stopped +
                 WhereInInput(origin));
    reporter.Problem(ProblemKind::kLeftOut, Gbk(texts::kLeftOutLogHead) + name + Gbk(texts::kLeftOutProblemMiddle) + stopped,
                     origin);
    left_out.push_back(std::move(name));
  }
  return left_out;
}

}  // namespace

LayoutOutcome RunLayoutCycles(LineList& working, Reporter& reporter, RecordPadding padding,
                              const LineList& declarations, const std::function<void(size_t)>& on_cycle) {
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
  LayoutOutcome outcome;
  if (!pass.last_unresolved) {
    working.Add(Gbk(texts::kLayoutSucceededLine));
    outcome.complete = true;
    return outcome;
  }
  outcome.left_out = ReportIncompleteLayout(reporter, working, declarations, pass);
  return outcome;
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
