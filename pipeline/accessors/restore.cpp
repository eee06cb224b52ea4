// The two steps that walk the working and reference lists by index and
// therefore report when the lists are out of step.
#include <string>

#include "pipeline/accessors/accessors.h"
#include "pipeline/texts.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct {

namespace {

void ReportShortReference(Reporter& reporter, size_t working_count, size_t reference_count) {
  const std::string counts =
      std::to_string(working_count) + Gbk(texts::kListLengthMiddle) + std::to_string(reference_count);
  reporter.Log(Gbk(texts::kListLengthLogHead) + counts + Gbk(texts::kListLengthLogTail));
  reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kListLengthBoxHead) + counts + Gbk(texts::kListLengthBoxTail),
                   MessageIcon::kError);
}

void ReportShortWorking(Reporter& reporter, size_t reference_count, size_t working_count) {
  reporter.Log(Gbk(texts::kLineCountLogHead) + std::to_string(reference_count) + "/" + std::to_string(working_count) +
               Gbk(texts::kLineCountLogTail));
  reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kLineCountBox), MessageIcon::kError);
}

}  // namespace

bool RestoreDeclarations(LineList& working, const LineList& reference, Reporter& reporter) {
  bool aligned = true;
  for (size_t i = 0; i < working.Count(); ++i) {
    if (!reference.Has(i)) {
      aligned = false;
      ReportShortReference(reporter, working.Count(), reference.Count());
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
    const std::string mask = MaskQuotedStrings(reference.Get(i));
    if (!Contains(mask, "{") && Contains(mask, ":")) {
      if (working.Has(i)) working.Delete(i);
      reference.Delete(i);
      continue;
    }
    if (!working.Has(i)) {
      aligned = false;
      ReportShortWorking(reporter, reference.Count(), working.Count());
    }
    ++i;
  }
  return aligned;
}

}  // namespace ct
