// The last word on ClassType.lua before it is saved: every line must be one
// of the shapes of the format, name only what the script defines, and the
// script must hold every structure the layout gave offsets to. Whatever the
// input smuggled through the stages (a statement in a record, a comment that
// ended early, a name Lua cannot take) is left out and reported here, and the
// run ends with the failure message.
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pipeline/input_file.h"
#include "pipeline/output/entries.h"
#include "pipeline/output/output.h"
#include "pipeline/output/scans.h"
#include "pipeline/output/script_lines.h"
#include "pipeline/stop_request.h"
#include "pipeline/texts.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct {

namespace {

// A refused line as the log shows it: control bytes as Lua escapes, so that
// a NUL or a line break in a name is seen rather than acted on.
std::string Printable(std::string_view line) {
  std::string out;
  for (char c : Trim(line)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      out += "\\" + std::to_string(byte / 100) + std::to_string(byte / 10 % 10) + std::to_string(byte % 10);
    else
      out.push_back(c);
  }
  return out;
}

// The name of the table a line opens (" T = { " or " T = { } "), whatever
// the name; nothing for any other line.
std::optional<std::string> OpenedTable(std::string_view line) {
  const std::string text = TrimRight(line);
  for (std::string_view opening : {"= {", "= { }"})
    if (text.size() > opening.size() && text.compare(text.size() - opening.size(), opening.size(), opening) == 0)
      return Trim(std::string_view(text).substr(0, text.size() - opening.size()));
  return std::nullopt;
}

class DataOnlyCheck {
 public:
  DataOnlyCheck(const LineList& working, Reporter& reporter) : working_(working), reporter_(reporter) {}

  LineList Kept() {
    // A name may stand before the table it names, but only a table that is
    // kept defines it. The walk takes every table the script opens for kept;
    // when one was not, it walks again knowing which were.
    for (size_t i = 0; i < working_.Count(); ++i)
      if (auto name = OpenedTable(working_.Get(i))) tables_.insert(std::move(*name));
    Walk();
    if (!std::equal(tables_.begin(), tables_.end(), closed_.begin(), closed_.end(),
                    [](const std::string& a, const auto& b) { return a == b.first; })) {
      tables_.clear();
      for (const auto& table : closed_) tables_.insert(table.first);
      constants_.clear();
      closed_.clear();
      refused_tables_.clear();
      refusals_.clear();
      kept_.Clear();
      Walk();
    }
    for (const auto& [i, text] : refusals_) {
      reporter_.Log(Gbk(texts::kMarker) + text + WhereInInput(working_.Origin(i)));
      reporter_.Problem(ProblemKind::kFailure, text, working_.Origin(i));
    }
    left_out_ = !refusals_.empty();
    return std::move(kept_);
  }

  // Structures laid out with members of their own that have no table in the
  // script; the reports of refused tables already name theirs.
  void ReportMissingTables(const LineList& snapshot) {
    for (size_t i = 0; i < snapshot.Count(); ++i) {
      const std::string& line = snapshot.Get(i);
      const std::string mask = MaskQuotedStrings(line);
      Pos opening = FindTableOpening(line);
      if (opening == 0 || !Contains(mask, " nWholeSize ") || CountText(mask, " : ") < 4) continue;
      const std::string name = Trim(Copy(line, 1, opening - 1));
      if (closed_.count(name) || refused_tables_.count(name)) continue;
      const std::string text = Gbk(texts::kTableMissingHead) + Printable(name) + Gbk(texts::kTableMissingTail);
      reporter_.Log(Gbk(texts::kMarker) + text + WhereInInput(snapshot.Origin(i)));
      reporter_.Problem(ProblemKind::kFailure, text, snapshot.Origin(i));
      missing_ = true;
    }
  }

  bool Sound() const { return !left_out_ && !missing_; }

  void ShowMessages() {
    if (left_out_) reporter_.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kLeftOutBox), MessageIcon::kError);
    if (missing_) reporter_.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kTableMissingBox), MessageIcon::kError);
  }

 private:
  // The table being read: its lines are kept together once it closes.
  struct OpenTable {
    std::string name;
    size_t opening;
    bool refused;
    std::vector<size_t> lines;
    std::set<std::string> keys;
  };

  void Walk() {
    for (size_t i = 0; i < working_.Count(); ++i) {
      ThrowIfStopRequested();
      const ScriptLine line = ReadScriptLine(working_.Get(i));
      if (open_) InTable(i, line);
      else AtTopLevel(i, line);
    }
    if (open_ && !open_->refused) Refuse(open_->opening, TableNotClosed());
    open_.reset();
  }

  void Keep(size_t i) { kept_.Add(working_.Get(i), working_.Origin(i)); }

  void InTable(size_t i, const ScriptLine& line) {
    if (line.kind == ScriptLineKind::kClosing) {
      if (!open_->refused) {
        open_->lines.push_back(i);
        for (size_t k : open_->lines) Keep(k);
        closed_[open_->name] = std::move(open_->keys);
      }
      open_.reset();
      return;
    }
    if (open_->refused) return;  // a refused table's lines go with it
    if (line.kind != ScriptLineKind::kEntry) return Refuse(i, Gbk(texts::kNotDataLine));
    if (std::string unknown = Undefined(line.reads); !unknown.empty()) return Refuse(i, UndefinedName(unknown));
    open_->keys.insert(line.key);
    open_->lines.push_back(i);
  }

  void AtTopLevel(size_t i, const ScriptLine& line) {
    switch (line.kind) {
      case ScriptLineKind::kBlank:
        return Keep(i);
      case ScriptLineKind::kConstant:
        if (IsReservedGlobal(line.name)) return Refuse(i, Refusal(line.name));
        for (const std::string& name : line.reads)
          if (!constants_.count(name)) return Refuse(i, UndefinedName(name));
        constants_.insert(line.name);
        return Keep(i);
      case ScriptLineKind::kTableOpening:
      case ScriptLineKind::kEmptyTable: {
        const std::string refusal = Refusal(line.name);
        const bool reserved = !refusal.empty();
        if (reserved) {
          refused_tables_.insert(line.name);
          Refuse(i, refusal);
        }
        if (line.kind == ScriptLineKind::kTableOpening) {
          open_ = OpenTable{line.name, i, reserved, {i}, {}};
        } else if (!reserved) {
          closed_[line.name];
          Keep(i);
        }
        return;
      }
      case ScriptLineKind::kBinding:
        if (refused_tables_.count(line.name)) return;  // goes with its table
        if (!closed_.count(line.name)) return Refuse(i, UndefinedName(line.name));
        return Keep(i);
      case ScriptLineKind::kLateReference: {
        if (refused_tables_.count(line.name)) return;
        auto table = closed_.find(line.name);
        if (table == closed_.end()) return Refuse(i, UndefinedName(line.name));
        if (!table->second.count(line.key)) return Refuse(i, Gbk(texts::kUnknownMemberHead) + Printable(line.key));
        if (!closed_.count(line.reads.back())) return Refuse(i, UndefinedName(line.reads.back()));
        return Keep(i);
      }
      default:
        if (OfRefusedTable(working_.Get(i))) return;
        return Refuse(i, Gbk(texts::kNotDataLine));
    }
  }

  // A binding or late reference of a table that was left out, whatever its
  // name makes of the line's shape.
  bool OfRefusedTable(std::string_view text) const {
    const std::string line = Trim(text);
    const size_t dot = line.find('.');
    return dot != std::string::npos && refused_tables_.count(line.substr(0, dot)) != 0;
  }

  // The first name that is neither a constant defined above nor a table of
  // the script (a table defined further down is filled in by a late
  // reference); empty when there is none.
  std::string Undefined(const std::vector<std::string>& reads) const {
    for (const std::string& name : reads)
      if (!constants_.count(name) && !tables_.count(name)) return name;
    return {};
  }

  std::string UndefinedName(std::string_view name) const { return Gbk(texts::kUndefinedNameHead) + Printable(name); }
  // Why a table or constant may not have this name; empty when it may.
  std::string Refusal(std::string_view name) const {
    if (!IsPlainLuaName(name)) return Gbk(texts::kNotLuaNameHead) + Printable(name) + Gbk(texts::kNotLuaNameTail);
    if (IsReservedGlobal(name)) return Gbk(texts::kReservedNameHead) + Printable(name) + Gbk(texts::kReservedNameTail);
    return {};
  }
  std::string TableNotClosed() const { return Gbk(texts::kTableNotClosed); }

  // Noted, and reported once the last walk is done.
  void Refuse(size_t i, const std::string& reason) {
    std::string where = Gbk(texts::kReasonOpen);
    if (open_ && i != open_->opening)
      where += Gbk(texts::kReasonStructure) + Printable(open_->name) + Gbk(texts::kReasonStructureTail);
    refusals_.emplace_back(
        i, Gbk(texts::kLeftOutHead) + Printable(working_.Get(i)) + where + reason + Gbk(texts::kReasonClose));
  }

  const LineList& working_;
  Reporter& reporter_;
  std::set<std::string, std::less<>> tables_;         // the script keeps (known after the first walk)
  std::set<std::string, std::less<>> constants_;      // defined so far
  std::map<std::string, std::set<std::string>> closed_;  // tables kept so far, with their members
  std::set<std::string> refused_tables_;
  std::optional<OpenTable> open_;
  std::vector<std::pair<size_t, std::string>> refusals_;
  LineList kept_;
  bool left_out_ = false;
  bool missing_ = false;
};

}  // namespace

bool KeepDataOnly(LineList& working, const LineList& snapshot, Reporter& reporter) {
  DataOnlyCheck check(working, reporter);
  working = check.Kept();
  check.ReportMissingTables(snapshot);
  check.ShowMessages();
  return check.Sound();
}

}  // namespace ct
