// The two steps that walk the working and reference lists by index and
// therefore report when the lists are out of step.
#include <string>

#include "pipeline/accessors/accessors.h"
#include "pipeline/input_file.h"
#include "pipeline/texts.h"
#include "pipeline/stop_request.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct {

namespace {

// Both reports name the line of the input behind the line that has no
// partner in the other list.
void ReportShortReference(Reporter& reporter, size_t working_count, size_t reference_count, LineOrigin origin) {
  const std::string counts =
      std::to_string(working_count) + Gbk(texts::kListLengthMiddle) + std::to_string(reference_count);
  const std::string box = Gbk(texts::kListLengthBoxHead) + counts + Gbk(texts::kListLengthBoxTail);
  reporter.Log(Gbk(texts::kListLengthLogHead) + counts + Gbk(texts::kListLengthLogTail) + WhereInInput(origin));
  reporter.Message(Gbk(texts::kCaptionConfirm), box, MessageIcon::kError);
  reporter.Problem(ProblemKind::kFailure, box, origin);
}

void ReportShortWorking(Reporter& reporter, size_t reference_count, size_t working_count, LineOrigin origin) {
  reporter.Log(Gbk(texts::kLineCountLogHead) + std::to_string(reference_count) + "/" + std::to_string(working_count) +
               Gbk(texts::kLineCountLogTail) + WhereInInput(origin));
  reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kLineCountBox), MessageIcon::kError);
  reporter.Problem(ProblemKind::kFailure, Gbk(texts::kLineCountBox), origin);
}

}  // namespace

bool RestoreDeclarations(LineList& working, const LineList& reference, Reporter& reporter) {
  bool aligned = true;
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    if (!reference.Has(i)) {
      aligned = false;
      ReportShortReference(reporter, working.Count(), reference.Count(), working.Origin(i));
      continue;
    }
    const std::string& declared = reference.Get(i);
    // Structures, variables and procedural types with parameters hold a
    // colon and keep their laid-out form; every other definition gets back
    // the text it had before its sizes were substituted. A colon inside a
    // string literal is text and makes no structure.
    const std::string mask = MaskQuotedStrings(declared);
    if (!Contains(mask, ":") && Contains(mask, "=")) working.Put(i, declared);
  }
  return aligned;
}

bool RemoveVariableDeclarations(LineList& working, LineList& reference, Reporter& reporter) {
  bool aligned = true;
  // Each round either deletes a reference line or moves i on.
  size_t i = 0;
  while (i < reference.Count()) {
    ThrowIfStopRequested();
    const std::string mask = MaskQuotedStrings(reference.Get(i));
    if (!Contains(mask, "{") && Contains(mask, ":")) {
      if (working.Has(i)) working.Delete(i);
      reference.Delete(i);
      continue;
    }
    if (!working.Has(i)) {
      aligned = false;
      ReportShortWorking(reporter, reference.Count(), working.Count(), reference.Origin(i));
    }
    ++i;
  }
  return aligned;
}

}  // namespace ct
