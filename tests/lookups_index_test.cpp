// The name indexes must give exactly the first (or last) match that a walk
// over every line gives, after any sequence of rewrites.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pipeline/candidate_lines.h"
#include "pipeline/lookups.h"
#include "pipeline/output/scans.h"

namespace ct {
namespace {

TEST(DefinitionNameKeyTest, IsTheParsedNameInLowerCase) {
  const std::string long_prefix(kTokenLimit - 7, 'x');
  const std::vector<std::string> lines = {
      " Integer = 4 ; ",
      " MixedCase = { a : 1 ; } ; ",
      "==a=b",
      "===",
      "=",
      "no equals sign",
      "\t X\x01 = 1 ;",
      " \"a=b\" = 5 ; ",
      " = 5 ; ",
      long_prefix + " A = 1",   // one byte below the token limit
      long_prefix + " AB = 1",  // at the limit: no name
      " \xB5\xC4Name = 1 ; ",   // bytes above ASCII stay as they are
  };
  for (const std::string& line : lines) {
    Definition def;
    std::string key = "stale";
    const bool parsed = ParseDefinition(line, def);
    ASSERT_EQ(DefinitionNameKey(line, key), parsed) << line.substr(0, 40);
    if (parsed) {
      EXPECT_EQ(key, LowerAscii(def.name)) << line.substr(0, 40);
    }
  }
}

// Names looked up after every edit, with lines that qualify for some
// lookups and not others, namesakes, case variants and nameless lines.
const std::vector<std::string> kNames = {"N", "n", "TRec", "trec", "PInt", "Alias", "", "x_12", "TChild"};

std::vector<std::string> LinePool() {
  return {
      " N = 7 ; ",
      " n = M ; ",
      " N = 1_256 ; ",
      " TRec = { nWholeSize : 8 ; nAddSize : 6 ; nMaxSize : 4 ; a : 0 ; b : 4 ; } ; ",
      " trec = { a : 1 ; } ; ",
      " TREC = { } ; ",
      " PInt = Integer ; ",
      " Alias = PInt ; ",
      " Alias = { a : 1 ; } ; ",
      " x_12 = $10 ; ",
      " TChild = { nWholeSize : 12 ; nMaxSize : 4 ; } ; ",
      " TChild = { nWholeSize : x ; } ; ",
      " setmetatable ( TChild , TRec ) ; ",
      " \"N = 5\" = 3 ; ",
      " = 9 ; ",
      "no definition here",
      std::string(kTokenLimit, 'z') + " = 1 ; ",
  };
}

// Everything the lookups and the output scans answer for every name.
std::vector<std::string> Answers(const LineList& list) {
  std::vector<std::string> out;
  auto add = [&](bool ok, const std::string& text) { out.push_back(ok ? text : "-"); };
  for (const std::string& name : kNames) {
    std::int32_t value = 0;
    add(FindIntegerConstant(list, name, value), std::to_string(value));
    std::string s = name;
    int prefix = 0;
    add(FindNumericValue(list, s, prefix), s + "/" + std::to_string(prefix));
    s = name;
    add(FindTypeAlias(list, s), s);
    s = name;
    add(FindFieldValue(list, s, " nWholeSize "), s);
    s = name;
    int max_size = 0;
    bool whole = GetWholeAndMaxSize(list, s, max_size);
    out.push_back((whole ? "+" : "-") + s + "/" + std::to_string(max_size));
    for (size_t lowest : {size_t{0}, size_t{3}})
      out.push_back(std::to_string(FindLastStructureNamed(list, name, lowest)));
    const std::string head = " " + name + " ";
    out.push_back(std::to_string(FindFirstTableHeaded(list, head, 0)));
    out.push_back(std::to_string(FindFirstTableHeaded(list, head, 2)));
    out.push_back(std::to_string(FindLastTableHeaded(list, head)));
  }
  return out;
}

// splitmix64, so that the edit script is the same everywhere.
struct Random {
  std::uint64_t state;
  size_t Below(size_t n) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<size_t>((z ^ (z >> 31)) % n);
  }
};

// Applies the same random edit to both lists, which are not empty.
void Edit(LineList& indexed, LineList& plain, Random& random, const std::vector<std::string>& pool) {
  const std::string& line = pool[random.Below(pool.size())];
  const size_t at = random.Below(plain.Count());
  switch (random.Below(6)) {
    case 0:
    case 1:
      for (LineList* list : {&indexed, &plain}) list->Put(at, line);
      break;
    case 2:
      for (LineList* list : {&indexed, &plain}) list->Insert(at, line);
      break;
    case 3:
      for (LineList* list : {&indexed, &plain}) list->Delete(at);
      break;
    case 4:
      for (LineList* list : {&indexed, &plain}) list->Add(line);
      break;
    default:
      indexed = LineList(plain);  // assignment: the indexed list stays indexed
  }
}

TEST(LookupIndexTest, IndexedAndPlainListsAnswerAlikeAfterEveryEdit) {
  const std::vector<std::string> pool = LinePool();
  for (std::uint64_t seed = 1; seed <= 8; ++seed) {
    LineList indexed(pool);
    LineList plain(pool);
    plain.SetIndexed(false);
    Random random{seed};
    for (int step = 0; step < 40; ++step) {
      if (plain.Count() == 0) {
        indexed.Add(pool[0]);
        plain.Add(pool[0]);
      }
      Edit(indexed, plain, random, pool);
      ASSERT_TRUE(indexed.Indexed());
      ASSERT_EQ(indexed.Lines(), plain.Lines());
      // Every few edits go unqueried, so that several changes are refiled
      // together.
      if (step % 3 == 2) continue;
      ASSERT_EQ(Answers(indexed), Answers(plain)) << "seed " << seed << ", step " << step;
    }
  }
}

// The steps of one pass, as a layout pass makes them: each lookup must see
// the lines rewritten before it.
TEST(LookupIndexTest, ALookupSeesEachRewriteAtOnce) {
  LineList list({" A = x ; ", " B = 2 ; ", " A = 3 ; "});
  struct Step {
    const char* what;
    void (*edit)(LineList&);
    const char* expected;  // FindNumericValue of "A", or "-"
  } steps[] = {
      {"as read", [](LineList&) {}, "3"},
      {"first line now numeric", [](LineList& l) { l.Put(0, " a = 1 ; "); }, "1"},
      {"first line renamed", [](LineList& l) { l.Put(0, " C = 1 ; "); }, "3"},
      {"namesake inserted in front", [](LineList& l) { l.Insert(0, " A = 5 ; "); }, "5"},
      {"it is deleted again", [](LineList& l) { l.Delete(0); }, "3"},
      {"last one rewritten", [](LineList& l) { l.Put(2, " A = { } ; "); }, "-"},
      {"one added at the end", [](LineList& l) { l.Add(" A = 8 ; "); }, "8"},
      {"all replaced", [](LineList& l) { l.SetText(" A = 9 ;\r\n"); }, "9"},
      {"cleared", [](LineList& l) { l.Clear(); }, "-"},
  };
  for (const Step& step : steps) {
    step.edit(list);
    std::string name = "A";
    int prefix = 0;
    const bool found = FindNumericValue(list, name, prefix);
    EXPECT_EQ(found ? name : "-", step.expected) << step.what;
  }
}

TEST(LineListIndexingTest, AssignmentKeepsTheListsChoiceAndACopyTakesTheSources) {
  LineList plain;
  plain.SetIndexed(false);
  LineList indexed({" A = 1 ; "});
  plain = indexed;
  EXPECT_FALSE(plain.Indexed());
  plain = LineList({" A = 2 ; "});
  EXPECT_FALSE(plain.Indexed());
  EXPECT_EQ(plain.Lines(), std::vector<std::string>{" A = 2 ; "});
  LineList copy(plain);
  EXPECT_FALSE(copy.Indexed());
  indexed = plain;
  EXPECT_TRUE(indexed.Indexed());
  std::int32_t value = 0;
  ASSERT_TRUE(FindIntegerConstant(indexed, "a", value));
  EXPECT_EQ(value, 2);
}

TEST(LineListIndexingTest, AMovedFromListIsEmptyAndStillAnswers) {
  LineList source({" A = 1 ; "});
  std::int32_t value = 0;
  ASSERT_TRUE(FindIntegerConstant(source, "A", value));
  LineList target(std::move(source));
  EXPECT_TRUE(FindIntegerConstant(target, "A", value));
  EXPECT_EQ(source.Count(), 0u);  // NOLINT: the state after a move is part of the contract
  EXPECT_FALSE(FindIntegerConstant(source, "A", value));
  source.Add(" B = 2 ; ");
  EXPECT_TRUE(FindIntegerConstant(source, "B", value));
}

bool IsDigitLine(const std::string& line) { return !line.empty() && line[0] >= '0' && line[0] <= '9'; }

bool FirstByteKey(std::string_view line, std::string& key) {
  if (line.empty()) return false;
  key.assign(1, LowerAscii(line[0]));
  return true;
}

TEST(CandidateLinesTest, FirstAndLastStayWithinTheRangeAsked) {
  LineList indexed({"1a", "x", "1b", "1c", "y", "1d"});
  LineList plain = indexed;
  plain.SetIndexed(false);
  struct Case {
    size_t from, to, first, last;
  } cases[] = {
      {0, 6, 0, 5},          {1, 6, 2, 5},          {1, 5, 2, 3},
      {4, 5, kNoLine, kNoLine}, {6, 9, kNoLine, kNoLine}, {0, kNoLine, 0, 5},
      {3, 3, kNoLine, kNoLine},
  };
  for (const LineList* list : {&indexed, &plain}) {
    CandidateLines lines(*list, FirstByteKey, "1");
    for (const Case& c : cases) {
      EXPECT_EQ(lines.First(c.from, c.to, IsDigitLine), c.first) << c.from << ".." << c.to;
      EXPECT_EQ(lines.Last(c.from, c.to, IsDigitLine), c.last) << c.from << ".." << c.to;
    }
  }
  EXPECT_EQ(CandidateLines(indexed, FirstByteKey, "1").All(), (std::vector<size_t>{0, 2, 3, 5}));
  EXPECT_EQ(CandidateLines(plain, FirstByteKey, "1").All(), (std::vector<size_t>{0, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace ct
