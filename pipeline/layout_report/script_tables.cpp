#include "pipeline/layout_report/script_tables.h"

#include <optional>
#include <string_view>

#include "text/scan.h"

namespace ct {

namespace {

// A key written as [ "name" ] holds the name with its quotes and control
// bytes as three-digit decimal escapes; its backslashes stand doubled, as
// they do in every list of the run. Everything else stands as declared.
std::string NameOfKey(std::string_view key) {
  if (key.size() < 6 || key.substr(0, 3) != "[ \"" || key.substr(key.size() - 3) != "\" ]") return std::string(key);
  std::string_view content = key.substr(3, key.size() - 6);
  auto digits_at = [&](size_t at) {
    for (size_t k = at; k < at + 3; ++k)
      if (content[k] < '0' || content[k] > '9') return false;
    return true;
  };
  std::string name;
  for (size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\\' && i + 1 < content.size() && content[i + 1] == '\\') {
      name += "\\\\";
      ++i;
    } else if (content[i] == '\\' && i + 3 < content.size() && digits_at(i + 1)) {
      name.push_back(static_cast<char>(std::stoi(std::string(content.substr(i + 1, 3)))));
      i += 3;
    } else {
      name.push_back(content[i]);
    }
  }
  return name;
}

// " TUserItem = { ": the table's name.
std::optional<std::string> TableOpening(std::string_view line) {
  std::string trimmed = Trim(line);
  if (trimmed.size() < 5 || trimmed.substr(trimmed.size() - 4) != " = {") return std::nullopt;
  return Trim(trimmed.substr(0, trimmed.size() - 4));
}

// "\tMakeIndex = { 0 , vt_Integer } , ".
std::optional<ScriptEntry> Entry(std::string_view line) {
  const std::string mask = MaskQuotedStrings(line);
  Pos open = FindText(mask, "= {", 1);
  Pos close = FindChar(mask, '}', open + 1);
  if (open == 0 || close == 0) return std::nullopt;
  ScriptEntry entry;
  entry.name = NameOfKey(Trim(Copy(line, 1, open - 1)));
  std::string rest = Slice(line, open + 3, close - 1);
  while (!Trim(rest).empty()) entry.items.push_back(Trim(CutAtChar(rest, ',', false)));  // every cut shortens it
  return entry;
}

}  // namespace

std::vector<ScriptTable> ScriptTablesOf(const LineList& script) {
  std::vector<ScriptTable> tables;
  std::optional<ScriptTable> open;
  for (const std::string& line : script.Lines()) {
    if (open) {
      if (Trim(line) == "}") {
        if (!open->entries.empty()) tables.push_back(std::move(*open));
        open.reset();
      } else if (std::optional<ScriptEntry> entry = Entry(line)) {
        open->entries.push_back(std::move(*entry));
      }
      continue;
    }
    if (std::optional<std::string> name = TableOpening(line)) open = ScriptTable{std::move(*name), {}};
  }
  return tables;
}

}  // namespace ct
