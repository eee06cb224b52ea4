// The layout report read back from a run's files: rows, sizes and holes of
// structures whose layout a person can check by hand.
#include "pipeline/layout_report/layout_report.h"

#include <gtest/gtest.h>

#include "tests/support/memory_run.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"

namespace ct {
namespace {

using Kind = LayoutRow::Kind;

LayoutReport ReportOf(const testing::MemoryRun& run) {
  return BuildLayoutReport(LineList(run.Lines("ClassTable_D.lua")), LineList(run.Lines("ClassTable_E.lua")),
                           LineList(run.Lines("ClassType.lua")));
}

struct Row {
  Kind kind;
  std::int64_t offset;
  std::optional<std::int64_t> size;
  std::string name;  // UTF-8; members only
};

bool operator==(const Row& a, const LayoutRow& b) {
  return a.kind == b.kind && a.offset == b.offset && a.size == b.size && Gbk(a.name) == b.name;
}

std::string Shown(const LayoutRow& row) {
  return std::to_string(static_cast<int>(row.kind)) + " " + std::to_string(row.offset) + " " +
         std::to_string(row.size.value_or(-1)) + " " + GbkToUtf8(row.name);
}

struct Case {
  const char* title;
  const char* declarations;
  const char* structure;
  std::optional<std::int64_t> size;
  std::vector<Row> rows;
};

class LayoutReportTest : public ::testing::TestWithParam<Case> {};

TEST_P(LayoutReportTest, GivesEveryMemberAndHole) {
  const Case& c = GetParam();
  testing::MemoryRun run = testing::ConvertInMemory(Gbk(c.declarations));
  ASSERT_EQ(run.outcome, RunOutcome::kSucceeded);
  LayoutReport report = ReportOf(run);
  const StructureLayout* s = report.Find(c.structure);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->size, c.size);
  ASSERT_EQ(s->rows.size(), c.rows.size());
  for (size_t i = 0; i < c.rows.size(); ++i) EXPECT_TRUE(c.rows[i] == s->rows[i]) << "row " << i << ": " << Shown(s->rows[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, LayoutReportTest,
    ::testing::Values(
        Case{"holes between members and padding after them",
             "type TPad = record b: Byte; i: Integer; w: Word; end;", "TPad", 12,
             {{Kind::kMember, 0, 1, "b"}, {Kind::kHole, 1, 3, ""}, {Kind::kMember, 4, 4, "i"},
              {Kind::kMember, 8, 2, "w"}, {Kind::kPadding, 10, 2, ""}}},
        Case{"a packed record has none",
             "type TTight = packed record b: Byte; i: Integer; w: Word; end;", "TTight", 7,
             {{Kind::kMember, 0, 1, "b"}, {Kind::kMember, 1, 4, "i"}, {Kind::kMember, 5, 2, "w"}}},
        Case{"arrays, strings and embedded records take their whole size",
             "const N = 3;\ntype TIn = record a: Integer; c: Byte; end;\n"
             "TOut = record s: string[5]; arr: array[0..N - 1] of Word; r: TIn; end;",
             "TOut", 20,
             {{Kind::kMember, 0, 6, "s"}, {Kind::kMember, 6, 6, "arr"}, {Kind::kMember, 12, 8, "r"}}},
        Case{"a class holds its parent's members first and its own after them",
             "type TBase = class b: Byte; end;\nTChild = class(TBase) i: Integer; end;", "TChild", 12,
             {{Kind::kMember, 0, 4, "Vmt"}, {Kind::kMember, 4, 1, "b"}, {Kind::kHole, 5, 3, ""},
              {Kind::kMember, 8, 4, "i"}}},
        Case{"a member Lua cannot name plainly keeps its declared name",
             "type TKeys = record local: Integer; 名字: Byte; end;", "TKeys", 8,
             {{Kind::kMember, 0, 4, "local"}, {Kind::kMember, 4, 1, "名字"}, {Kind::kPadding, 5, 3, ""}}}),
    [](const ::testing::TestParamInfo<Case>& info) {
      std::string name;
      for (const char* p = info.param.title; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

TEST(LayoutReport, InheritedMembersNameTheStructureThatDeclaresThem) {
  testing::MemoryRun run =
      testing::ConvertInMemory("type TA = class a: Integer; end;\nTB = class(TA) end;\nTC = class(TB) c: Byte; end;");
  LayoutReport report = ReportOf(run);
  const StructureLayout* c = report.Find("tc");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->parent, "TB");
  std::vector<std::string> declared;
  for (const LayoutRow& row : c->rows)
    if (row.kind == Kind::kMember) declared.push_back(row.declared_in);
  EXPECT_EQ(declared, (std::vector<std::string>{"TA", "TA", "TC"}));
  // A class without members of its own is as large as its parent.
  ASSERT_NE(report.Find("TB"), nullptr);
  EXPECT_EQ(report.Find("TB")->size, report.Find("TA")->size);
}

TEST(LayoutReport, AMemberOfUnknownSizeClaimsNoHoleAfterIt) {
  // The sized file is missing: no size is known, so no hole is claimed.
  testing::MemoryRun run = testing::ConvertInMemory("type TPad = record b: Byte; i: Integer; end;");
  LayoutReport report = BuildLayoutReport(LineList(), LineList(run.Lines("ClassTable_E.lua")),
                                          LineList(run.Lines("ClassType.lua")));
  const StructureLayout* s = report.Find("TPad");
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->rows.size(), 2u);
  EXPECT_FALSE(s->rows[0].size);
  EXPECT_EQ(s->rows[1].kind, Kind::kMember);
  EXPECT_EQ(s->size, 8);
}

TEST(LayoutReport, ReadsTheFilesOfAFolderAndSaysWhichIsMissing) {
  testing::WholeRun run;
  testing::RunOn(run, testing::WithPrelude("type TX = record a: Byte; end;"));
  LayoutReport report;
  std::string error;
  ASSERT_TRUE(ReadLayoutReport(run.folder.path(), report, error)) << error;
  EXPECT_NE(report.Find("TX"), nullptr);
  EXPECT_NE(report.Find("TPoint"), nullptr);  // the prelude's structures too

  testing::TempFolder empty;
  EXPECT_FALSE(ReadLayoutReport(empty.path(), report, error));
  EXPECT_NE(error.find("ClassTable_D.lua"), std::string::npos);
}

}  // namespace
}  // namespace ct
