#include "tests/support/script_tables.h"

#include "text/line_list.h"
#include "text/scan.h"

namespace ct::testing {

namespace {

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string NameBeforeEquals(std::string_view line) { return Trim(GetValidToken(line, "=").token); }

}  // namespace

std::map<std::string, std::vector<std::string>> ScriptTables(std::string_view script) {
  std::map<std::string, std::vector<std::string>> tables;
  std::vector<std::string>* open = nullptr;
  for (const std::string& line : SplitLines(script)) {
    if (open != nullptr && line == "}") {
      open = nullptr;
    } else if (open != nullptr) {
      std::string entry = Trim(line);
      if (EndsWith(entry, " ,")) entry.resize(entry.size() - 2);
      open->push_back(entry);
    } else if (EndsWith(line, " = { ")) {
      open = &tables[NameBeforeEquals(line)];
    }
  }
  return tables;
}

std::vector<std::string> MemberNames(const std::vector<std::string>& entries) {
  std::vector<std::string> names;
  for (const std::string& entry : entries) names.push_back(NameBeforeEquals(entry));
  return names;
}

std::vector<std::string> TablesMissingFromScript(std::string_view e_file, std::string_view script) {
  const auto tables = ScriptTables(script);
  std::vector<std::string> missing;
  for (const std::string& line : SplitLines(e_file)) {
    const Pos sizes = FindExact(line, " = { nWholeSize : ");
    const Pos last_size = FindExact(line, " nMaxSize : ");
    if (sizes == 0 || last_size == 0) continue;
    // Members of its own: a colon after the last size field's value.
    const Pos value_end = FindExact(line, " ;", last_size + 12);
    if (value_end == 0 || FindExact(line, " : ", value_end) == 0) continue;
    const std::string name = Trim(Copy(line, 1, sizes - 1));
    if (tables.count(name) == 0) missing.push_back(name);
  }
  return missing;
}

std::string DeclarationOf(const std::vector<std::string>& lines, std::string_view name) {
  const std::string head = " " + std::string(name) + " = ";
  for (const std::string& line : lines)
    if (line.rfind(head, 0) == 0) return line;
  return "(no line declares " + std::string(name) + ")";
}

}  // namespace ct::testing
