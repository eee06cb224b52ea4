#include "pipeline/driver.h"

#include <string>

#include "pipeline/accessors/accessors.h"
#include "pipeline/layout/layout.h"
#include "pipeline/line_forms.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/number_text.h"
#include "pipeline/output/output.h"
#include "pipeline/sizes/sizes.h"
#include "pipeline/stage_versions.h"
#include "pipeline/tables/tables.h"
#include "pipeline/texts.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct {

namespace {

// Malformed numbers met anywhere in the run are reported to the run's log.
class NumberFaultReport : public NumberFaultListener {
 public:
  explicit NumberFaultReport(Reporter& reporter) : reporter_(reporter) {}
  void OnMalformedNumber(std::string_view value) override {
    reporter_.Log(Gbk(texts::kBadNumberLogHead) + std::string(value) + Gbk(texts::kBadNumberLogTail));
    reporter_.Message(Gbk(texts::kCaptionError), Gbk(texts::kBadNumberBox), MessageIcon::kError);
  }

 private:
  Reporter& reporter_;
};

class Run {
 public:
  Run(FrontEnd& ui, FileStore& files, const StageVersions& versions)
      : ui_(ui), files_(files), versions_(versions), faults_(ui) {}

  RunOutcome Execute() {
    for (LineList* list : {&working_, &reference_, &scratch_}) list->SetIndexed(versions_.indexed_lists);
    ScopedNumberFaultListener listener(&faults_);
    RunOutcome outcome = Stages();
    ui_.RunEnded();
    return outcome;
  }

 private:
  bool Report(int stage, const LineList& shown) {
    return ui_.StageReport(shown, Gbk(texts::kStageMessages[static_cast<size_t>(stage - 1)]));
  }

  bool Save(const LineList& list, const char* name) {
    std::string error;
    if (files_.Save(name, list, error)) return true;
    FileProblem(texts::kCannotWriteFile, name, error);
    return false;
  }

  void FileProblem(std::string_view what, std::string_view name, const std::string& reason) {
    std::string text = Gbk(what) + std::string(name) + " (" + reason + ")";
    ui_.Log(Gbk(texts::kMarker) + text);
    ui_.Message(Gbk(texts::kCaptionConfirm), text, MessageIcon::kError);
  }

  bool Load() {
    std::string bytes, error;
    if (!files_.Read(texts::kInputFileName, bytes, error)) {
      FileProblem(texts::kCannotReadInput, texts::kInputFileName, error);
      return false;
    }
    reference_.SetText(bytes);
    return DecodeUtf8Input();
  }

  // Editors save UTF-8 with a byte-order mark; everything downstream works on
  // GBK, so such an input is converted line by line, and a character GBK
  // cannot hold stops the run before any file is written.
  bool DecodeUtf8Input() {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (reference_.Count() == 0 || reference_.Get(0).rfind(kBom, 0) != 0) return true;
    reference_.Put(0, reference_.Get(0).substr(kBom.size()));
    for (size_t i = 0; i < reference_.Count(); ++i) {
      auto gbk = Utf8ToGbk(reference_.Get(i));
      if (!gbk) {
        std::string text = Gbk(texts::kUtf8LineNotGbkHead) + std::to_string(i + 1) + Gbk(texts::kUtf8LineNotGbkTail);
        ui_.Log(Gbk(texts::kMarker) + text);
        ui_.Message(Gbk(texts::kCaptionConfirm), text, MessageIcon::kError);
        return false;
      }
      reference_.Put(i, std::move(*gbk));
    }
    ui_.Log(Gbk(texts::kUtf8InputConverted));
    return true;
  }

  RunOutcome Stages() {
    ui_.ClearLog();
    ui_.Log(Gbk(texts::kStartCreating));
    if (!Load()) return RunOutcome::kFileError;
    ui_.ShowList(reference_);
    EscapeInputText(reference_);

#define CT_REPORT(stage, list) \
  if (!Report(stage, list)) return RunOutcome::kAbandoned
#define CT_SAVE(list, name) \
  if (!Save(list, name)) return RunOutcome::kFileError

    CT_REPORT(1, reference_);
    RemoveComments(reference_, nesting_);
    CT_REPORT(2, reference_);
    StripSymbolSpaces(reference_);
    CT_REPORT(3, working_);
    JoinStatements(reference_, working_, nesting_);
    CT_REPORT(4, working_);
    LoosenText(working_);
    CT_REPORT(5, working_);
    DeleteJunkLines(working_);
    CT_REPORT(6, working_);
    versions_.unify_case(working_);
    CT_REPORT(7, working_);
    versions_.mark_class_pointers(working_);

    CT_REPORT(8, working_);
    if (nesting_.HasError()) {
      ReportNestingError(nesting_, ui_);
      CT_SAVE(working_, "ClassTable_A.lua");
      return RunOutcome::kStoppedAtNesting;
    }
    CT_REPORT(9, working_);
    RewriteDeclarationsAsTables(working_);
    CT_REPORT(10, working_);
    CT_SAVE(working_, "ClassTable_B.lua");
    reference_.Clear();
    CT_REPORT(11, working_);
    BuildReferenceList(working_, reference_);
    LoosenText(reference_);
    CT_REPORT(12, reference_);
    CT_SAVE(reference_, "ClassTable_C.lua");

    CT_REPORT(13, working_);
    SubstituteTypeSizes(working_);
    CT_REPORT(14, working_);
    MergeTableLines(working_, scratch_);
    SplitFieldGroups(working_);
    CT_REPORT(15, working_);
    versions_.replace_field_references(working_);
    CT_REPORT(16, working_);
    CT_SAVE(working_, "ClassTable_D.lua");

    CT_REPORT(17, working_);
    bool laid_out = RunLayoutCycles(working_, ui_);
    if (!laid_out) success_ = false;
    CT_REPORT(18, working_);
    CT_REPORT(19, working_);
    GiveEmptyStructuresZeroSize(working_);
    CT_REPORT(20, working_);
    CT_SAVE(working_, "ClassTable_E.lua");
    if (laid_out && working_.Count() > 0 && working_.Get(working_.Count() - 1) == Gbk(texts::kLayoutSucceededLine))
      working_.Delete(working_.Count() - 1);
    scratch_ = working_;

    CT_REPORT(21, working_);
    ShiftParentOffsets(working_, ui_);
    CT_REPORT(22, working_);
    RemoveSizeFields(working_);

    CT_REPORT(23, working_);
    if (!RestoreDeclarations(working_, reference_, ui_)) success_ = false;
    CT_REPORT(24, working_);
    EvaluateOperators(working_);
    CT_REPORT(25, reference_);
    EvaluateOperators(reference_);
    CT_REPORT(26, working_);
    ConvertToAccessorFormat(working_, reference_, scratch_);
    LoosenText(working_);
    CT_REPORT(27, working_);
    if (!RemoveVariableDeclarations(working_, reference_, ui_)) success_ = false;
    CT_REPORT(28, reference_);
    CT_SAVE(reference_, "ClassTable_F.lua");
    LoosenText(working_);

    CT_REPORT(29, working_);
    versions_.sort_by_nesting(working_, reference_);
    CT_REPORT(30, working_);
    MergeInheritedMembers(working_);
    LoosenText(working_);
    CT_REPORT(31, working_);
    TidyLines(working_);
    CT_REPORT(32, working_);
    AddBindingLines(working_);
    AddLateReferenceLines(working_);
    CT_REPORT(33, working_);
    LayOutForReading(working_, reference_);
    LoosenText(working_);
    CT_REPORT(34, working_);
    TidyTables(working_);
    CT_REPORT(35, working_);
    NormaliseValues(working_);
    CT_SAVE(working_, "ClassType.lua");
#undef CT_REPORT
#undef CT_SAVE

    working_.Clear();
    reference_.Clear();
    scratch_.Clear();
    if (success_) {
      ui_.Log(Gbk(texts::kSucceededLog));
      ui_.SetResultLabel(Gbk(texts::kSucceededLabel));
      ui_.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kSucceededLabel), MessageIcon::kInformation);
      return RunOutcome::kSucceeded;
    }
    ui_.Log(Gbk(texts::kFailedLog));
    ui_.SetResultLabel(Gbk(texts::kFailedLabel));
    ui_.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kFailedBox), MessageIcon::kError);
    return RunOutcome::kFailed;
  }

  FrontEnd& ui_;
  FileStore& files_;
  const StageVersions& versions_;
  NumberFaultReport faults_;
  LineList working_;
  LineList reference_;
  LineList scratch_;
  NestingState nesting_;
  bool success_ = true;
};

}  // namespace

const StageVersions kFastStageVersions = {UnifyCase, MarkClassPointers, ReplaceFieldReferences, SortByNesting, true};

RunOutcome RunConversionWith(FrontEnd& ui, FileStore& files, const StageVersions& versions) {
  Run run(ui, files, versions);
  return run.Execute();
}

RunOutcome RunConversion(FrontEnd& ui, FileStore& files) { return RunConversionWith(ui, files, kFastStageVersions); }

RunOutcome RunConversion(FrontEnd& ui, const std::filesystem::path& folder) {
  FolderStore files(folder);
  return RunConversion(ui, files);
}

}  // namespace ct
