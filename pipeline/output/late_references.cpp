// A table constructor reads the globals it names when the script runs, so an
// entry that points to its own structure (a linked list's Next) or to one
// defined further down would hold nil. Such entries keep their text, and a
// line after the tables puts the table into the entry once it exists.
#include <map>
#include <string>

#include "pipeline/output/entries.h"
#include "pipeline/output/output.h"
#include "pipeline/output/scans.h"
#include "pipeline/stop_request.h"
#include "text/scan.h"

namespace ct {

void AddLateReferenceLines(LineList& working) {
  // Lua names are case-sensitive: the global a script line assigns last is
  // the one every use of the name sees once the script has run.
  std::map<std::string, size_t, std::less<>> last_definition;
  std::map<size_t, std::string> table_names;
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    Pos p = FindTableOpening(working.Get(i));
    if (p == 0) continue;
    std::string name = Trim(Copy(working.Get(i), 1, p - 1));
    last_definition[name] = i;
    table_names[i] = std::move(name);
  }
  for (const auto& [i, table] : table_names) {
    if (!IsLuaIdentifier(table)) continue;
    for (const MemberEntry& entry : MemberEntries(working.Get(i))) {
      if (entry.items.size() < 2 || entry.name.empty()) continue;
      auto target = last_definition.find(entry.items.back());
      if (target == last_definition.end() || target->second < i) continue;
      std::string member = IsPlainLuaName(entry.name) ? "." + entry.name : LuaMemberKey(entry.name);
      working.Add(" " + table + member + "[" + std::to_string(entry.items.size()) + "] = " + entry.items.back() + " ",
                  working.Origin(i));
    }
  }
}

}  // namespace ct
