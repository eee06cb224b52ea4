// The report of a bracket that breaks the nesting, or of a comment that the
// input never closes. The driver then saves the working list and ends the
// run.
#include <string>

#include "pipeline/input_file.h"
#include "pipeline/tables/tables.h"
#include "pipeline/texts.h"
#include "text/gbk.h"

namespace ct {

namespace {

// Where the fault stands: its line, its position and the text up to it.
void ReportPlace(size_t line, LineOrigin origin, Pos position, std::string_view text, Reporter& reporter) {
  reporter.Log(Gbk(texts::kNestingLineHead) + std::to_string(line) + Gbk(texts::kNestingLineTail) +
               WhereInInput(origin));
  reporter.Log(Gbk(texts::kNestingPositionHead) + std::to_string(position) + Gbk(texts::kNestingPositionTail));
  // Cut just after the offending bracket or opener, so that it is the last
  // character before the closing quote.
  reporter.Log(Gbk(texts::kNestingStatementHead) + "\"" + Copy(text, 1, position) + "\"");
  reporter.Log(Gbk(texts::kNestingFileHead) + std::string(texts::kInputFileName));
}

void ReportKind(bool mismatch, LineOrigin origin, Reporter& reporter) {
  const std::string box = Gbk(mismatch ? texts::kMismatchBox : texts::kUnclosedBox);
  reporter.Log(Gbk(mismatch ? texts::kMismatchLog : texts::kUnclosedLog));
  reporter.Message(Gbk(texts::kCaptionConfirm), box, MessageIcon::kError);
  reporter.Problem(ProblemKind::kFailure, box, origin);
}

}  // namespace

void ReportNestingError(const NestingState& state, Reporter& reporter) {
  // A comment fault is reported like a bracket, at its line of the input.
  if (state.error_position == 0) {
    // The comment stage reads the input as loaded: its line is the input's.
    const auto origin = static_cast<LineOrigin>(state.comment.line);
    ReportKind(state.comment.stray_closer, origin, reporter);
    ReportPlace(state.comment.line, origin, state.comment.position, state.comment.text, reporter);
    return;
  }
  ReportKind(state.mismatch, state.error_origin, reporter);
  ReportPlace(state.error_line, state.error_origin, state.error_position, state.statement, reporter);
}

}  // namespace ct
