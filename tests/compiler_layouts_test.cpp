// The reference set of tests/compiler_layouts: every declaration file there
// is converted as a user would append it, and every structure's size and
// every field's offset must be what the 32-bit compiler gives
// (expected/NAME.txt), except where delphi_rules.txt says the project keeps
// Delphi's documented rule or the padding of the host's era; with
// --record-padding=largest the padding cases take the compiler's value.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/compiler_layouts.h"
#include "tests/support/memory_run.h"
#include "tests/support/run_folder.h"
#include "text/scan.h"

namespace ct::testing {
namespace {

const std::filesystem::path kFolder = std::filesystem::path(CLASSTABLE_SOURCE_DIR) / "tests" / "compiler_layouts";

// Files whose shapes the layout does not take yet; their structures are
// converted and counted, and a difference there fails nothing.
const std::map<std::string, std::string> kShapesStillToCome = {
    {"objects_vmt", "old-style objects with a VMT pointer"},
};

// One line of delphi_rules.txt: "TYPE.field N" or "TYPE size N", then
// "# TAGS: reason".
struct Rule {
  std::string structure;
  std::string field;  // empty for the size
  std::int64_t value = 0;
  std::vector<std::string> tags;
  std::string reason;
};

std::vector<Rule> ReadRules() {
  std::vector<Rule> rules;
  for (const std::string& raw : SplitLines(ReadFile(kFolder / "delphi_rules.txt"))) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    Token head = GetTokenOutsideQuotes(line, '#');
    Token tags = GetTokenOutsideQuotes(head.rest, ':');
    std::string what = Trim(head.token);
    Rule rule;
    rule.reason = Trim(tags.rest);
    for (std::string rest = Trim(tags.token); !rest.empty();) rule.tags.push_back(Trim(CutAtChar(rest, ',', false)));
    const size_t space = what.rfind(' ');
    rule.value = space == std::string::npos ? -1 : ParseInt64(what.substr(space + 1)).value_or(-1);
    what = Trim(what.substr(0, space == std::string::npos ? 0 : space));
    if (what.size() > 5 && what.substr(what.size() - 5) == " size") {
      rule.structure = what.substr(0, what.size() - 5);
    } else {
      const size_t dot = what.find('.');
      rule.structure = what.substr(0, dot);
      rule.field = dot == std::string::npos ? "?" : what.substr(dot + 1);
    }
    rules.push_back(std::move(rule));
  }
  return rules;
}

bool HasTag(const Rule& rule, std::string_view tag) {
  return std::find(rule.tags.begin(), rule.tags.end(), tag) != rule.tags.end();
}

// A rule tagged padding4 or largest holds only under that padding; one
// tagged delphi alone under both.
bool Holds(const Rule& rule, RecordPadding padding) {
  const bool padded = HasTag(rule, "padding4"), largest = HasTag(rule, "largest");
  if (!padded && !largest) return true;
  return padding == RecordPadding::kFour ? padded : largest;
}

std::string Padding(RecordPadding padding) { return padding == RecordPadding::kFour ? "4" : "largest"; }

// The compiler's layouts of one file with the rules that hold under
// `padding` in their place; each replaced value notes its rule in `why`.
std::vector<CompilerLayout> Expected(const std::string& name, const std::vector<Rule>& rules, RecordPadding padding,
                                     std::map<std::string, std::string>& why) {
  std::string problem;
  auto layouts = ReadCompilerLayouts(ReadFile(kFolder / "expected" / (name + ".txt")), problem);
  EXPECT_TRUE(layouts) << name << ": " << problem;
  if (!layouts) return {};
  for (const Rule& rule : rules) {
    if (!Holds(rule, padding)) continue;
    for (CompilerLayout& layout : *layouts) {
      if (layout.name != rule.structure) continue;
      const std::string key = rule.field.empty() ? rule.structure + " size" : rule.structure + "." + rule.field;
      std::string tags;
      for (const std::string& tag : rule.tags) tags += (tags.empty() ? "" : ",") + tag;
      why[key] = "kept rule (" + tags + "): " + rule.reason;
      if (rule.field.empty()) layout.size = rule.value;
      for (auto& [field, offset] : layout.fields)
        if (field == rule.field) offset = rule.value;
    }
  }
  return *layouts;
}

std::vector<std::string> DeclarationFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kFolder))
    if (entry.path().extension() == ".pas") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CompilerLayouts, EveryRuleNamesACaseOfTheReferenceSet) {
  std::map<std::string, std::vector<std::string>> known;  // structure -> fields, "" for the size
  for (const std::string& name : DeclarationFiles()) {
    std::string problem;
    auto layouts = ReadCompilerLayouts(ReadFile(kFolder / "expected" / (name + ".txt")), problem);
    ASSERT_TRUE(layouts) << name << ": " << problem;
    for (const CompilerLayout& layout : *layouts) {
      known[layout.name].push_back("");
      for (const auto& field : layout.fields) known[layout.name].push_back(field.first);
    }
  }
  const std::vector<Rule> rules = ReadRules();
  ASSERT_FALSE(rules.empty());
  for (const Rule& rule : rules) {
    const auto& fields = known[rule.structure];
    EXPECT_NE(std::find(fields.begin(), fields.end(), rule.field), fields.end())
        << rule.structure << " " << (rule.field.empty() ? "size" : rule.field);
    EXPECT_GE(rule.value, 0) << rule.structure << "." << rule.field;
    for (const std::string& tag : rule.tags)
      EXPECT_TRUE(tag == "delphi" || tag == "padding4" || tag == "largest") << rule.structure << ": " << tag;
  }
}

TEST(CompilerLayouts, TheReferenceSetLaysOutAsTheCompilerOrTheKeptRuleSays) {
  const std::vector<Rule> rules = ReadRules();
  const std::vector<std::string> files = DeclarationFiles();
  ASSERT_FALSE(files.empty()) << kFolder;
  for (RecordPadding padding : {RecordPadding::kFour, RecordPadding::kLargest}) {
    for (const std::string& name : files) {
      SCOPED_TRACE(name + ".pas, --record-padding=" + Padding(padding));
      std::map<std::string, std::string> why;
      const std::vector<CompilerLayout> expected = Expected(name, rules, padding, why);
      const MemoryRun run = ConvertInMemory(ReplaceAll(ReadFile(kFolder / (name + ".pas")), "\r", ""),
                                            RunOptions{padding});
      const std::vector<LayoutDifference> differences = CompareWithRun(expected, run);
      auto pending = kShapesStillToCome.find(name);
      if (pending != kShapesStillToCome.end()) {
        std::cout << name << ".pas: " << differences.size() << " differences left (" << pending->second
                  << ", not laid out yet)\n";
        continue;
      }
      EXPECT_EQ(run.outcome, RunOutcome::kSucceeded);
      for (const LayoutDifference& d : differences) {
        const std::string key = d.field.empty() ? d.structure + " size" : d.structure + "." + d.field;
        ADD_FAILURE() << Describe(d) << (why.count(key) ? " by the " + why[key] : " by the compiler");
      }
    }
  }
}

}  // namespace
}  // namespace ct::testing
