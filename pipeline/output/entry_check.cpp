// The last word on a run's success: every entry the script will hold is data
// Lua reads. A type that no stage could describe leaves its text in an entry
// ("{ 4 , Smallint Longint }", "{ 1A72 , ... }"), a generic or nameless
// structure leaves a table Lua cannot name; a run that writes one of them
// ends with the failure message, whatever the stages before it found.
#include <string>

#include "pipeline/input_file.h"
#include "pipeline/output/entries.h"
#include "pipeline/output/output.h"
#include "pipeline/output/scans.h"
#include "pipeline/stop_request.h"
#include "pipeline/texts.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct {

namespace {

// "4" or "- 1": an offset, an indirection or an element size.
bool IsNumberItem(std::string_view item) {
  if (item.size() > 2 && item[0] == '-' && item[1] == ' ') item.remove_prefix(2);
  return IsIntegerText(item);
}

// At least an offset and a type; numbers in front, a number or a name last.
bool IsDataEntry(const MemberEntry& entry) {
  if (entry.items.size() < 2) return false;
  for (size_t k = 0; k + 1 < entry.items.size(); ++k)
    if (!IsNumberItem(entry.items[k])) return false;
  return IsNumberItem(entry.items.back()) || IsLuaIdentifier(entry.items.back());
}

std::string EntryText(std::string_view table, const MemberEntry& entry) {
  std::string text = std::string(table) + "." + entry.name + " = {";
  for (size_t k = 0; k < entry.items.size(); ++k) text += (k == 0 ? " " : " , ") + entry.items[k];
  return text + " }";
}

}  // namespace

bool EveryEntryIsData(const LineList& working, Reporter& reporter) {
  bool all = true;
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string& line = working.Get(i);
    const Pos opening = FindTableOpening(line);
    if (opening == 0) continue;
    const std::string table = Trim(Copy(line, 1, opening - 1));
    auto report = [&](const std::string& what) {
      const std::string text = Gbk(texts::kUndescribed) + what;
      reporter.Log(Gbk(texts::kMarker) + text + WhereInInput(working.Origin(i)));
      reporter.Problem(ProblemKind::kFailure, text, working.Origin(i));
      all = false;
    };
    if (!IsLuaIdentifier(table)) {
      report(table);
      continue;
    }
    for (const MemberEntry& entry : MemberEntries(line))
      if (!IsDataEntry(entry)) report(EntryText(table, entry));
  }
  return all;
}

}  // namespace ct
