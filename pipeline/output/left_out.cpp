// The structures the layout could not finish leave the script, and so does
// what of the other tables names them: a failed run still writes every
// structure that was laid out, in a script that loads.
#include <optional>
#include <set>
#include <string>
#include <vector>

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

// "- 1": an indirection in front of what is pointed to.
bool IsIndirection(std::string_view item) {
  return item.size() > 2 && item[0] == '-' && item[1] == ' ' && IsIntegerText(item.substr(2));
}

// An entry that names a left-out structure through a pointer keeps its
// offset and what comes before the last indirection, which now points to a
// plain pointer's worth of bytes: " p : { 4 , - 1 , TFoo } ; " becomes
// " p : { 4 , vt_Pointer } ; ", " q : { 8 , - 2 , TFoo } ; " becomes
// " q : { 8 , - 1 , vt_Pointer } ; ". Nothing when the entry holds the
// structure itself.
std::optional<std::string> AsPlainPointer(const MemberEntry& entry) {
  const size_t n = entry.items.size();
  if (n < 3 || !IsIndirection(entry.items[n - 2])) return std::nullopt;
  std::string text = " " + entry.name + " : {";
  for (size_t k = 0; k + 2 < n; ++k) text += (k == 0 ? " " : " , ") + entry.items[k];
  const auto levels = ParseInt64(entry.items[n - 2].substr(2));
  if (levels && *levels > 1) text += " , - " + std::to_string(*levels - 1);
  return text + " , vt_Pointer } ;";
}

// The structures without a member anywhere (" TOpaque = { } ; "), in lower
// case: the script keeps no table for them. A class declared ahead has such
// a line too, and its members in another.
std::set<std::string> EmptyStructures(const LineList& working) {
  std::set<std::string> empty, with_members;
  for (size_t i = 0; i < working.Count(); ++i) {
    const std::string& line = working.Get(i);
    std::string name;
    if (StructureNameKey(line, name)) {
      with_members.insert(std::move(name));
    } else if (ContainsText(MaskQuotedStrings(line), "= { }")) {
      empty.insert(LowerAscii(Trim(GetTokenOutsideQuotes(line, '=').token)));
    }
  }
  for (const std::string& name : with_members) empty.erase(name);
  return empty;
}

}  // namespace

void LeaveOutStructures(LineList& working, const std::vector<std::string>& names, Reporter& reporter) {
  std::set<std::string> left_out = EmptyStructures(working);
  for (const std::string& name : names) left_out.insert(LowerAscii(name));
  if (left_out.empty()) return;
  auto is_left_out = [&left_out](std::string_view name) { return left_out.count(LowerAscii(name)) != 0; };
  LineList kept;
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    std::string line = working.Get(i);
    const LineOrigin origin = working.Origin(i);
    // A structure left out keeps the head it was read with, "packed" too.
    std::string defined;
    if (StructureNameKey(line, defined) && is_left_out(defined)) continue;
    const Pos opening = FindTableOpening(line);
    const std::string table = Trim(Copy(line, 1, opening - 1));
    struct Edit {
      const MemberEntry* entry;
      std::string text;
    };
    std::vector<Edit> edits;
    const std::vector<MemberEntry> entries = opening == 0 ? std::vector<MemberEntry>() : MemberEntries(line);
    for (const MemberEntry& entry : entries) {
      if (entry.items.size() < 2 || !is_left_out(entry.items.back())) continue;
      const std::string member = table + "." + entry.name;
      std::optional<std::string> pointer = AsPlainPointer(entry);
      if (pointer) {
        reporter.Log(Gbk(texts::kMarker) + member + Gbk(texts::kPointerToLeftOut) + entry.items.back() +
                     Gbk(texts::kPointerToLeftOutTail) + WhereInInput(origin));
      } else {
        reporter.Log(Gbk(texts::kMarker) + member + Gbk(texts::kOffsetHead) + entry.items.front() +
                     Gbk(texts::kOffsetTail) + Gbk(texts::kHoldsLeftOut) + entry.items.back() +
                     Gbk(texts::kHoldsLeftOutTail) + WhereInInput(origin));
      }
      edits.push_back({&entry, pointer.value_or("")});
    }
    // From the last edit back, so that each leaves the positions of the
    // entries before it.
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
      Replace(line, edit->entry->first, edit->entry->last - edit->entry->first + 1, edit->text);
    kept.Add(std::move(line), origin);
  }
  working = std::move(kept);
}

}  // namespace ct
