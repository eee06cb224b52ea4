// The report of a bracket that breaks the nesting. The driver then saves the
// working list and ends the run.
#include <string>

#include "pipeline/tables.h"
#include "pipeline/texts.h"
#include "text/gbk.h"

namespace ct {

void ReportNestingError(const NestingState& state, Reporter& reporter) {
  if (state.mismatch) {
    reporter.Log(Gbk(texts::kMismatchLog));
    reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kMismatchBox), MessageIcon::kError);
  } else {
    reporter.Log(Gbk(texts::kUnclosedLog));
    reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kUnclosedBox), MessageIcon::kError);
  }
  reporter.Log(Gbk(texts::kNestingLineHead) + std::to_string(state.error_line) + Gbk(texts::kNestingLineTail));
  reporter.Log(Gbk(texts::kNestingPositionHead) + std::to_string(state.error_position) +
               Gbk(texts::kNestingPositionTail));
  // Cut just after the offending bracket, so that it is the last character
  // before the closing quote.
  reporter.Log(Gbk(texts::kNestingStatementHead) + "\"" + Copy(state.statement, 1, state.error_position) + "\"");
  reporter.Log(Gbk(texts::kNestingFileHead) + std::string(texts::kInputFileName));
}

}  // namespace ct
