#include "tests/support/compiler_layouts.h"

#include <map>

#include "tests/support/script_tables.h"
#include "text/line_list.h"
#include "text/scan.h"

namespace ct::testing {

namespace {

// "TRec size 16" or "TRec.d 8": the name (with the field after a dot), the
// word, the number.
std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::string rest = Trim(line);
  while (!rest.empty()) {
    words.push_back(Trim(CutAtChar(rest, ' ', false)));
    rest = Trim(rest);
  }
  return words;
}

// The entry name of a table line: a plain name, or the name inside
// [ "..." ] for a key Lua would not take bare.
std::string EntryName(const std::string& entry) {
  std::string name = Trim(GetTokenOutsideQuotes(entry, '=').token);
  if (name.size() >= 6 && name.rfind("[ \"", 0) == 0) name = name.substr(3, name.size() - 6);
  return name;
}

// The first number of an entry "{ 12 , vt_Byte }", as written.
std::string FirstValue(const std::string& entry) {
  std::string value = GetTokenOutsideQuotes(entry, '=').rest;
  Pos open = FindChar(value, '{', 1);
  Pos comma = FindChar(value, ',', open + 1);
  return open == 0 || comma == 0 ? value : Trim(Slice(value, open + 1, comma - 1));
}

// The number after " nWholeSize : " in the first line that declares
// `name` with one.
std::optional<std::int64_t> WholeSize(const std::vector<std::string>& laid_out, const std::string& name) {
  const std::string head = " " + name + " = { nWholeSize : ";
  for (const std::string& line : laid_out)
    if (line.rfind(head, 0) == 0) return ParseInt64(Trim(GetValidToken(Tail(line, Len(head) + 1), ";").token));
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<CompilerLayout>> ReadCompilerLayouts(std::string_view text, std::string& problem) {
  std::vector<CompilerLayout> layouts;
  std::map<std::string, size_t> index;
  const std::vector<std::string> lines = SplitLines(ReplaceAll(text, "\r", ""));
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::vector<std::string> words = Words(lines[n]);
    if (words.empty()) continue;
    auto number = words.size() >= 2 ? ParseInt64(words.back()) : std::nullopt;
    if (words.size() == 3 && words[1] == "size" && number) {
      if (!index.count(words[0])) {
        index[words[0]] = layouts.size();
        layouts.push_back({words[0], std::nullopt, {}});
      }
      layouts[index[words[0]]].size = *number;
      continue;
    }
    Pos dot = FindChar(words[0], '.', 1);
    if (words.size() != 2 || !number || dot == 0 || !index.count(Copy(words[0], 1, dot - 1))) {
      problem = "line " + std::to_string(n + 1) + ": " + lines[n];
      return std::nullopt;
    }
    layouts[index[Copy(words[0], 1, dot - 1)]].fields.emplace_back(Tail(words[0], dot + 1), *number);
  }
  return layouts;
}

std::string Describe(const LayoutDifference& d) {
  const std::string what = d.field.empty() ? d.structure + " size" : d.structure + "." + d.field;
  return what + ": " + d.found + ", expected " + std::to_string(d.expected);
}

std::vector<LayoutDifference> CompareWithRun(const std::vector<CompilerLayout>& expected, const MemoryRun& run) {
  const std::map<std::string, std::vector<std::string>> tables = ScriptTables(run.File("ClassType.lua"));
  const std::vector<std::string> laid_out = run.Lines("ClassTable_E.lua");
  std::vector<LayoutDifference> differences;
  for (const CompilerLayout& layout : expected) {
    if (layout.size) {
      auto size = WholeSize(laid_out, layout.name);
      if (size != layout.size)
        differences.push_back({layout.name, "", size ? std::to_string(*size) : "not laid out", *layout.size});
    }
    auto table = tables.find(layout.name);
    for (const auto& [field, offset] : layout.fields) {
      std::string found = "missing";
      if (table != tables.end())
        for (const std::string& entry : table->second)
          if (EntryName(entry) == field) found = FirstValue(entry);
      if (found != std::to_string(offset)) differences.push_back({layout.name, field, found, offset});
    }
  }
  return differences;
}

}  // namespace ct::testing
