// Whole runs over generated declarations of every accepted form (variant
// parts, anonymous records, aliases of records, type-indexed arrays and
// subranges among them): a run that succeeds writes a script a host can
// load, with every declared structure and member in it; a run that cannot
// lay out some structures still writes a script that loads, with every
// structure that was laid out; and a declaration converts the same whether
// its members stand one per line or all on one line, grouped or not.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/declaration_generator.h"
#include "tests/support/lua_check.h"
#include "tests/support/memory_run.h"
#include "tests/support/script_tables.h"
#include "text/line_list.h"
#include "text/scan.h"

namespace ct::testing {
namespace {

using Lines = std::vector<std::string>;

// What a structure's table must list: a class without a declared parent
// starts with its method table pointer, a derived class with its parent's
// members; then its own members.
Lines ExpectedMembers(const FormSample& sample, const FormStructure& s) {
  Lines expected;
  if (s.head.rfind("class", 0) == 0) {
    expected.push_back("Vmt");
    std::string parent = Trim(GetValidToken(Tail(s.head, 7), ",)").token);
    for (const FormStructure& other : sample.Structures())
      if (other.name == parent) expected = ExpectedMembers(sample, other);
  }
  for (const FormMember& m : DeclaredMembers(s)) expected.push_back(m.name);
  return expected;
}

// Whether ClassTable_E.lua shows the structure laid out: a line declaring
// it carries all three size fields then. A forward declaration is an empty
// structure, given a whole size of 0 whether its body lays out or not.
bool LaidOut(const Lines& laid_out, const std::string& name) {
  const std::string head = " " + name + " = ";
  for (const std::string& line : laid_out)
    if (line.rfind(head, 0) == 0 && line.find(" nAddSize :") != std::string::npos) return true;
  return false;
}

// Everything a host relies on from a run that reported success; empty when
// the run gives all of it.
Lines ScriptProblems(const FormSample& sample, const MemoryRun& run) {
  if (run.outcome != RunOutcome::kSucceeded) {
    Lines reports = {"the run failed"};
    for (const std::string& line : run.log)
      if (line.rfind("--------------------", 0) == 0) reports.push_back(line);
    return reports;
  }
  const std::string script = run.File("ClassType.lua");
  Lines problems = CheckClassTypeLua(script);
  for (const std::string& name : TablesMissingFromScript(run.File("ClassTable_E.lua"), script))
    problems.push_back("no table for the laid-out structure " + name);
  std::map<std::string, Lines> tables = ScriptTables(script);
  for (const FormStructure& s : sample.Structures()) {
    Lines listed = MemberNames(tables[s.name]);
    Lines expected = ExpectedMembers(sample, s);
    if (listed != expected)
      problems.push_back(s.name + " lists " + std::to_string(listed.size()) + " members, not " +
                         std::to_string(expected.size()));
  }
  return problems;
}

// Seeds per property: a handful keeps the suite quick; set
// CLASSTABLE_PROPERTY_SEEDS to search further.
std::uint32_t Seeds(std::uint32_t quick) {
  const char* wanted = std::getenv("CLASSTABLE_PROPERTY_SEEDS");
  auto count = wanted == nullptr ? std::nullopt : ParseInt32(wanted);
  return count && *count > 0 ? static_cast<std::uint32_t>(*count) : quick;
}

TEST(GeneratedDeclarations, EverySuccessfulRunWritesALoadableCompleteScript) {
  for (std::uint32_t seed = 1; seed <= Seeds(40); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    FormSample sample = GenerateFormSample(seed);
    const MemberLayout layout = seed % 2 ? MemberLayout::kOneLine : MemberLayout::kOnePerLine;
    const MemberGroups groups = seed % 3 ? MemberGroups::kGrouped : MemberGroups::kSeparate;
    const std::string input = sample.Text(layout, groups);
    EXPECT_EQ(ScriptProblems(sample, ConvertInMemory(input)), Lines{}) << input;
  }
}

TEST(GeneratedDeclarations, EveryRunWritesALoadableScriptOfWhatWasLaidOut) {
  for (std::uint32_t seed = 501; seed < 501 + Seeds(20); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    FormSample sample = GenerateFormSample(seed, true);
    const MemberLayout layout = seed % 2 ? MemberLayout::kOneLine : MemberLayout::kOnePerLine;
    const std::string input = sample.Text(layout, MemberGroups::kGrouped);
    const MemoryRun run = ConvertInMemory(input);
    const std::string script = run.File("ClassType.lua");
    EXPECT_EQ(CheckClassTypeLua(script), Lines{}) << input;
    const Lines laid_out = run.Lines("ClassTable_E.lua");
    std::map<std::string, Lines> tables = ScriptTables(script);
    for (const FormStructure& s : sample.Structures()) {
      if (!LaidOut(laid_out, s.name)) {
        EXPECT_EQ(tables.count(s.name), 0u) << s.name << " is not laid out\n" << input;
        continue;
      }
      EXPECT_EQ(MemberNames(tables[s.name]), ExpectedMembers(sample, s)) << s.name << "\n" << input;
    }
  }
}

TEST(GeneratedDeclarations, OneLineAndManyLinesConvertAlike) {
  const std::pair<MemberLayout, MemberGroups> ways[] = {{MemberLayout::kOnePerLine, MemberGroups::kSeparate},
                                                        {MemberLayout::kOneLine, MemberGroups::kSeparate},
                                                        {MemberLayout::kOnePerLine, MemberGroups::kGrouped},
                                                        {MemberLayout::kOneLine, MemberGroups::kGrouped}};
  for (std::uint32_t seed = 1001; seed < 1001 + Seeds(10); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    FormSample sample = GenerateFormSample(seed);
    const std::string reference_input = sample.Text(ways[0].first, ways[0].second);
    const MemoryRun reference = ConvertInMemory(reference_input);
    EXPECT_EQ(ScriptProblems(sample, reference), Lines{}) << reference_input;
    for (size_t w = 1; w < std::size(ways); ++w) {
      const std::string input = sample.Text(ways[w].first, ways[w].second);
      const MemoryRun run = ConvertInMemory(input);
      EXPECT_EQ(run.outcome, reference.outcome) << input;
      EXPECT_EQ(SplitLines(run.File("ClassTable_E.lua")), SplitLines(reference.File("ClassTable_E.lua"))) << input;
      EXPECT_EQ(SplitLines(run.File("ClassType.lua")), SplitLines(reference.File("ClassType.lua"))) << input;
    }
  }
}

// Generated declarations with pieces of hostile input dropped in anywhere:
// a run may fail, but one that succeeds wrote a script of data that loads,
// touches nothing but its own tables, the type codes and the accessors, and
// holds a table for every structure it laid out.
TEST(MutatedDeclarations, EverySuccessfulRunWritesASoundScript) {
  const char* const pieces[] = {"os.execute\"touch x\";", "{", "}", "end;", "record", "class(TA)", "(*", "*)",
                                "\x82}", "\x81[", "'", "\"", "//", ";", ":", "=", "print", "_ENV", "\n", " ",
                                "--", "[[", "T\xD6\xD0", "0x10", "..", "^", "( f )"};
  int succeeded = 0;
  for (std::uint32_t seed = 1; seed <= Seeds(40); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::string input = GenerateFormSample(seed).Text(MemberLayout::kOnePerLine, MemberGroups::kGrouped);
    std::uint32_t state = seed;
    auto next = [&] { return state = state * 1103515245u + 12345u, state >> 8; };
    for (int edits = 1 + static_cast<int>(next() % 3); edits > 0; --edits)
      input.insert(next() % (input.size() + 1), pieces[next() % std::size(pieces)]);
    const MemoryRun run = ConvertInMemory(input);
    if (run.outcome != RunOutcome::kSucceeded) continue;
    ++succeeded;
    const std::string script = run.File("ClassType.lua");
    Lines problems = HostLoadProblems(script);
    for (const std::string& name : TablesMissingFromScript(run.File("ClassTable_E.lua"), script))
      problems.push_back("no table for the laid-out structure " + name);
    EXPECT_EQ(problems, Lines{}) << input;
  }
  EXPECT_GT(succeeded, 0) << "no mutated input converted: the property was never checked";
}

TEST(GeneratedDeclarations, ASeedAlwaysGivesTheSameSample) {
  for (std::uint32_t seed : {1u, 7u, 4242u}) {
    EXPECT_EQ(GenerateFormSample(seed).Text(MemberLayout::kOneLine, MemberGroups::kGrouped),
              GenerateFormSample(seed).Text(MemberLayout::kOneLine, MemberGroups::kGrouped));
  }
  EXPECT_NE(GenerateFormSample(1).Text(MemberLayout::kOneLine, MemberGroups::kSeparate),
            GenerateFormSample(2).Text(MemberLayout::kOneLine, MemberGroups::kSeparate));
}

}  // namespace
}  // namespace ct::testing
