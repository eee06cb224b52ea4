#include "pipeline/driver.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "pipeline/accessors/accessors.h"
#include "pipeline/input_file.h"
#include "pipeline/layout/layout.h"
#include "pipeline/line_forms.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/number_text.h"
#include "pipeline/output/output.h"
#include "pipeline/sizes/sizes.h"
#include "pipeline/stage_versions.h"
#include "pipeline/stop_request.h"
#include "pipeline/tables/tables.h"
#include "pipeline/texts.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct {

namespace {

constexpr const char* kNestingReportFile = "ClassTable_A.lua";
constexpr const char* kScriptFile = "ClassType.lua";
constexpr const char* kScriptBackupFile = "ClassType.lua.bak";
// Every file a run saves, whose temporaries a killed run may leave.
constexpr const char* kRunFiles[] = {kNestingReportFile, "ClassTable_B.lua", "ClassTable_C.lua", "ClassTable_D.lua",
                                     "ClassTable_E.lua",  "ClassTable_F.lua", kScriptFile,        kScriptBackupFile,
                                     texts::kInputFileName.data()};

// The file system's messages name paths in UTF-8; the front ends show GBK.
std::string ForDisplay(std::string_view reason) { return Utf8ToGbkLossy(reason); }

// Malformed numbers met anywhere in the run are reported to the run's log.
// The number arrives without its line, deep inside a lookup; the first line
// of the working list that holds it as a word is the declaration to look
// at. The layout cycles meet the same numbers again in every cycle, so each
// is looked up once.
class NumberFaultReport : public NumberFaultListener {
 public:
  NumberFaultReport(Reporter& reporter, const LineList& working) : reporter_(reporter), working_(working) {}
  void OnMalformedNumber(std::string_view value) override {
    LineOrigin origin = OriginOf(value);
    reporter_.Log(Gbk(texts::kBadNumberLogHead) + std::string(value) + Gbk(texts::kBadNumberLogTail) +
                  WhereInInput(origin));
    reporter_.Message(Gbk(texts::kCaptionError), Gbk(texts::kBadNumberBox), MessageIcon::kError);
    reporter_.Problem(ProblemKind::kFailure, Gbk(texts::kBadNumberBox) + " '" + std::string(value) + "'", origin);
  }

 private:
  LineOrigin OriginOf(std::string_view value) {
    auto known = origins_.find(value);
    if (known != origins_.end()) return known->second;
    const std::string word = " " + std::string(value) + " ";
    LineOrigin origin = kNoOrigin;
    for (size_t i = 0; i < working_.Count() && origin == kNoOrigin; ++i)
      if (Contains(working_.Get(i), word)) origin = working_.Origin(i);
    origins_.emplace(value, origin);
    return origin;
  }

  Reporter& reporter_;
  const LineList& working_;
  std::map<std::string, LineOrigin, std::less<>> origins_;
};

class Run {
 public:
  Run(FrontEnd& ui, FileStore& files, const StageVersions& versions, const RunOptions& options)
      : ui_(ui), files_(files), versions_(versions), options_(options), faults_(ui, working_) {}

  RunOutcome Execute() {
    for (LineList* list : {&working_, &reference_, &scratch_}) list->SetIndexed(versions_.indexed_lists);
    ScopedNumberFaultListener listener(&faults_);
    RunOutcome outcome;
    try {
      outcome = Stages();
    } catch (const RunStopped&) {
      // Every save replaces its file whole, so the files saved so far are
      // complete; the lists are this run's alone and simply go.
      ui_.Log(Gbk(texts::kRunStoppedLog));
      outcome = RunOutcome::kStopped;
    }
    ui_.RunEnded();
    return outcome;
  }

 private:
  bool Save(const LineList& list, const char* name) {
    std::string error;
    if (files_.Save(name, list, error)) return true;
    FileProblem(texts::kCannotWriteFile, name, error);
    return false;
  }

  void FileProblem(std::string_view what, std::string_view name, const std::string& reason) {
    std::string text = Gbk(what) + std::string(name) + " (" + ForDisplay(reason) + ")";
    ui_.Log(Gbk(texts::kMarker) + text);
    ui_.Message(Gbk(texts::kCaptionConfirm), text, MessageIcon::kError);
    ui_.Problem(ProblemKind::kFailure, text, kNoOrigin);
  }

  bool Load() {
    std::string bytes, error;
    if (!files_.Read(texts::kInputFileName, bytes, error)) {
      FileProblem(texts::kCannotReadInput, texts::kInputFileName, error);
      return false;
    }
    // Read as GBK, UTF-16 and UTF-32 are bytes between zeros: a nesting
    // report about them would only puzzle.
    if (std::string_view wide = WideUnicodeEncoding(bytes); !wide.empty()) {
      std::string text = Gbk(texts::kWideInputHead) + std::string(wide) + Gbk(texts::kWideInputTail);
      ui_.Log(Gbk(texts::kMarker) + text);
      ui_.Message(Gbk(texts::kCaptionConfirm), text, MessageIcon::kError);
      ui_.Problem(ProblemKind::kFailure, text, kNoOrigin);
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
        ui_.Problem(ProblemKind::kFailure, text, reference_.Origin(i));
        return false;
      }
      reference_.Put(i, std::move(*gbk));
    }
    ui_.Log(Gbk(texts::kUtf8InputConverted));
    return true;
  }

  // What a stage's work says about the run: nullopt to go on, or the
  // outcome that ends it here.
  using StageEnd = std::optional<RunOutcome>;
  static constexpr StageEnd kGoOn = std::nullopt;
  // The row of the layout cycles, which report their own progress.
  static constexpr size_t kLayoutStage = 17;

  // One row per stage report. The report logs the stage's message (the
  // same row of texts::kStageMessages) and shows `shown` as it stands
  // before the work, which then runs unless the front end abandons the run.
  struct Stage {
    const LineList& shown;
    std::function<StageEnd()> work;
  };

  StageEnd SaveOrStop(const LineList& list, const char* name) {
    return Save(list, name) ? kGoOn : StageEnd(RunOutcome::kFileError);
  }

  std::array<Stage, texts::kStageMessages.size()> StageTable() {
    return {{
        // ---- normalise: the raw input to the loosened form, one statement a line
        {reference_, [&] { RemoveComments(reference_, nesting_); return kGoOn; }},  // 1 remove comments
        {reference_, [&] { StripSymbolSpaces(reference_); return kGoOn; }},  // 2 spaces only between words
        {working_, [&] { JoinStatements(reference_, working_, nesting_); return kGoOn; }},  // 3 one statement a line
        {working_, [&] { LoosenText(working_); return kGoOn; }},  // 4 every symbol between spaces
        {working_, [&] { DeleteJunkLines(working_); return kGoOn; }},  // 5 drop what holds no data
        {working_, [&] { versions_.unify_case(working_); return kGoOn; }},  // 6 spell names as declared
        {working_, [&] { versions_.mark_class_pointers(working_); return kGoOn; }},  // 7 classes become pointers
        // ---- tables: the nesting check, Lua tables and the reference list
        {working_, [&] { return CheckNesting(); }},  // 8 a nesting error saves ClassTable_A.lua and stops
        {working_,
         [&] {  // 9 declarations as tables; structures left open and inheritance cycles reported
           RewriteDeclarationsAsTables(working_);
           if (!ReportOpenStructures(working_, ui_)) success_ = false;
           if (!BreakInheritanceCycles(working_, ui_)) success_ = false;
           return kGoOn;
         }},
        {working_,
         [&] {  // 10 save ClassTable_B.lua
           if (StageEnd failed = SaveOrStop(working_, "ClassTable_B.lua")) return failed;
           reference_.Clear();
           return kGoOn;
         }},
        {working_,
         [&] {  // 11 the reference list: one declaration a line
           BuildReferenceList(working_, reference_);
           LoosenText(reference_);
           return kGoOn;
         }},
        {reference_, [&] { return SaveOrStop(reference_, "ClassTable_C.lua"); }},  // 12 save the reference list
        // ---- sizes: sizes in place of types and values in place of names
        {working_, [&] { SubstituteTypeSizes(working_, reference_); return kGoOn; }},  // 13 types become sizes
        {working_,
         [&] {  // 14 one line a table, one field a name
           MergeTableLines(working_, scratch_);
           SplitFieldGroups(working_);
           return kGoOn;
         }},
        {working_, [&] { versions_.replace_field_references(working_); return kGoOn; }},  // 15 names become values
        {working_, [&] { return SaveOrStop(working_, "ClassTable_D.lua"); }},  // 16 save ClassTable_D.lua
        // ---- layout: offsets and sizes of every structure
        {working_,
         [&] {  // 17 evaluate and lay out until nothing changes
           LayoutOutcome layout =
               RunLayoutCycles(working_, ui_, options_.record_padding, reference_, [&](size_t cycle) {
                 ui_.Progress({kLayoutStage, texts::kStageMessages.size(), cycle});
               });
           laid_out_ = layout.complete;
           left_out_ = std::move(layout.left_out);
           if (!laid_out_) success_ = false;
           return kGoOn;
         }},
        {working_, [&] { return kGoOn; }},  // 18 the user reads the layout's last line
        {working_, [&] { GiveEmptyStructuresZeroSize(working_); return kGoOn; }},  // 19 empty structures get size 0
        {working_, [&] { return SaveLayout(); }},  // 20 save ClassTable_E.lua; keep a snapshot
        // 21 members after the parent's: the layout placed every derived class
        // after its parent's instance already
        {working_, [&] { return kGoOn; }},
        {working_, [&] { RemoveSizeFields(working_); return kGoOn; }},  // 22 drop the size fields
        // ---- accessors: declarations restored, members as offset and type descriptor
        {working_,
         [&] {  // 23 declarations restored from the reference list
           if (!RestoreDeclarations(working_, reference_, ui_)) success_ = false;
           return kGoOn;
         }},
        {working_, [&] { EvaluateOperators(working_); return kGoOn; }},  // 24 evaluate operators
        {reference_, [&] { EvaluateOperators(reference_); return kGoOn; }},  // 25 the same in the reference list
        {working_,
         [&] {  // 26 structures into accessor format
           ConvertToAccessorFormat(working_, reference_, scratch_);
           LoosenText(working_);
           return kGoOn;
         }},
        {working_,
         [&] {  // 27 variables into accessor format, declarations dropped
           if (!RemoveVariableDeclarations(working_, reference_, ui_)) success_ = false;
           return kGoOn;
         }},
        {reference_,
         [&] {  // 28 save ClassTable_F.lua
           if (StageEnd failed = SaveOrStop(reference_, "ClassTable_F.lua")) return failed;
           LoosenText(working_);
           return kGoOn;
         }},
        // ---- output: the lines of ClassType.lua
        {working_, [&] { versions_.sort_by_nesting(working_, reference_); return kGoOn; }},  // 29 embedded first
        {working_,
         [&] {  // 30 classes take their parents' members
           MergeInheritedMembers(working_);
           LoosenText(working_);
           return kGoOn;
         }},
        {working_,
         [&] {  // 31 drop what the script does not need; what it keeps must be data
           LeaveOutStructures(working_, left_out_, ui_);
           TidyLines(working_);
           // A run that failed already has named what it could not lay out.
           if (success_ && !EveryEntryIsData(working_, ui_)) success_ = false;
           return kGoOn;
         }},
        {working_,
         [&] {  // 32 binding lines and late references
           AddBindingLines(working_);
           AddLateReferenceLines(working_);
           return kGoOn;
         }},
        {working_,
         [&] {  // 33 one member a line, for reading
           LayOutForReading(working_, reference_);
           LoosenText(working_);
           return kGoOn;
         }},
        {working_, [&] { TidyTables(working_); return kGoOn; }},  // 34 tidy the tables
        {working_,
         [&] {  // 35 values in decimal; save ClassType.lua
           NormaliseValues(working_);
           if (!KeepDataOnly(working_, scratch_, ui_)) success_ = false;
           // One mistaken run must not cost the last script.
           std::string error;
           if (!files_.KeepCopy(kScriptFile, kScriptBackupFile, error)) {
             FileProblem(texts::kCannotWriteFile, kScriptBackupFile, error);
             return StageEnd(RunOutcome::kFileError);
           }
           return SaveOrStop(working_, kScriptFile);
         }},
    }};
  }

  StageEnd CheckNesting() {
    if (!nesting_.HasError()) {
      // The nesting report of an earlier run belongs to an input that is gone.
      std::string error;
      if (files_.Remove(kNestingReportFile, error)) return kGoOn;
      FileProblem(texts::kCannotRemoveFile, kNestingReportFile, error);
      return RunOutcome::kFileError;
    }
    ReportNestingError(nesting_, ui_);
    if (StageEnd failed = SaveOrStop(working_, kNestingReportFile)) return failed;
    return RunOutcome::kStoppedAtNesting;
  }

  // The layout's result is saved with its success line, which the later
  // stages must not read; the snapshot keeps the laid-out structures for
  // the accessor format.
  StageEnd SaveLayout() {
    if (StageEnd failed = SaveOrStop(working_, "ClassTable_E.lua")) return failed;
    if (laid_out_ && working_.Count() > 0 && working_.Get(working_.Count() - 1) == Gbk(texts::kLayoutSucceededLine))
      working_.Delete(working_.Count() - 1);
    scratch_ = working_;
    return kGoOn;
  }

  RunOutcome Stages() {
    ui_.ClearLog();
    ui_.Log(Gbk(texts::kStartCreating));
    if (!Load()) return RunOutcome::kFileError;
    if (!HasDeclarations(reference_)) {
      // Nothing of this run would belong to a conversion of the user's
      // declarations: the earlier files stay as they are.
      ui_.Log(Gbk(texts::kMarker) + Gbk(texts::kNoDeclarations));
      ui_.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kNoDeclarations), MessageIcon::kError);
      ui_.Problem(ProblemKind::kFailure, Gbk(texts::kNoDeclarations), kNoOrigin);
      success_ = false;
      return Finish();
    }
    ui_.ShowList(reference_);
    EscapeInputText(reference_);

    const auto stages = StageTable();
    for (size_t i = 0; i < stages.size(); ++i) {
      ThrowIfStopRequested();
      if (!ui_.StageReport(stages[i].shown, Gbk(texts::kStageMessages[i]))) return RunOutcome::kAbandoned;
      ThrowIfStopRequested();
      ui_.Progress({i + 1, stages.size(), 0});
      if (StageEnd end = stages[i].work()) return *end;
    }

    return Finish();
  }

  RunOutcome Finish() {
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
  const RunOptions options_;
  NumberFaultReport faults_;
  LineList working_;
  LineList reference_;
  LineList scratch_;
  NestingState nesting_;
  bool laid_out_ = false;
  std::vector<std::string> left_out_;  // the structures the layout could not finish
  bool success_ = true;
};

}  // namespace

const StageVersions kFastStageVersions = {UnifyCase, MarkClassPointers, ReplaceFieldReferences, SortByNesting, true};

RunOutcome RunConversionWith(FrontEnd& ui, FileStore& files, const StageVersions& versions,
                             const RunOptions& options) {
  Run run(ui, files, versions, options);
  return run.Execute();
}

RunOutcome RunConversion(FrontEnd& ui, FileStore& files, const RunOptions& options) {
  return RunConversionWith(ui, files, kFastStageVersions, options);
}

RunOutcome RunConversion(FrontEnd& ui, const std::filesystem::path& folder, const RunOptions& options) {
  long holder = 0;
  std::string error;
  const auto lock = FileLock::Take(folder / std::string(texts::kLockFileName), options.lock_wait, holder, error);
  if (!lock) {
    ui.ClearLog();
    ui.Log(Gbk(texts::kStartCreating));
    std::string text = holder != 0 ? Gbk(texts::kFolderBusyHead) + std::to_string(holder) + Gbk(texts::kFolderBusyTail)
                       : error.empty() ? Gbk(texts::kFolderBusy)
                                       : Gbk(texts::kCannotLock) + ForDisplay(error);
    ui.Log(Gbk(texts::kMarker) + text);
    ui.Message(Gbk(texts::kCaptionConfirm), text, MessageIcon::kError);
    ui.Problem(ProblemKind::kFailure, text, kNoOrigin);
    ui.RunEnded();
    return RunOutcome::kFileError;
  }
  // Under the lock no other run writes here: a temporary file of a save is
  // what a killed run left.
  RemoveLeftoverTemporaries(folder, {std::begin(kRunFiles), std::end(kRunFiles)});
  FolderStore files(folder, options.input_limit);
  return RunConversion(ui, files, options);
}

}  // namespace ct
