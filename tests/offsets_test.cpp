#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pipeline/layout/layout.h"
#include "pipeline/layout/offsets.h"
#include "tests/support/recording_front_end.h"
#include "text/gbk.h"

namespace ct::testing {
namespace {

const std::string kBase = " TBase = { nWholeSize : 8 ; nAddSize : 5 ; nMaxSize : 4 ; Vmt : 0 ; a : 4 ; } ; ";
const std::string kChild = " TChild = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; b : 0 ; } ; ";
const std::string kGrand = " TGrand = { nWholeSize : 4 ; nAddSize : 1 ; nMaxSize : 1 ; z : 0 ; } ; ";
const std::string kChildOfBase = " setmetatable ( TChild , TBase ) ; ";
const std::string kGrandOfChild = " setmetatable ( TGrand , TChild ) ; ";

LineList Lines(std::vector<std::string> lines) { return LineList(std::move(lines)); }

TEST(ParentOffsets, ShiftsEveryNumberOfTheChildIncludingItsSizeFields) {
  LineList working = Lines({kBase, kChild, kChildOfBase});
  RecordingFrontEnd ui;
  ShiftParentOffsets(working, ui);
  EXPECT_EQ(working.Get(0), kBase);
  EXPECT_EQ(working.Get(1), " TChild = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 12 ; b : 8 ; } ; ");
  EXPECT_EQ(working.Get(2), kChildOfBase);
  EXPECT_TRUE(ui.log.empty());
  EXPECT_TRUE(ui.messages.empty());

  RemoveSizeFields(working);
  EXPECT_EQ(working.Get(0), " TBase = { Vmt : 0 ; a : 4 ; } ; ");
  EXPECT_EQ(working.Get(1), " TChild = { b : 8 ; } ; ");
}

TEST(ParentOffsets, ChainsAccumulateInTheOrderOfTheInheritanceLines) {
  struct Case {
    const char* name;
    std::vector<std::string> inheritance;
    const char* grand_member;
  };
  const Case cases[] = {
      // TChild already moved behind TBase: 12 rounds up to 16.
      {"parent first", {kChildOfBase, kGrandOfChild}, " z : 16 ; "},
      // TChild still unshifted: its 4 rounds up to 8.
      {"grandchild first", {kGrandOfChild, kChildOfBase}, " z : 8 ; "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines = {kBase, kChild, kGrand};
    lines.insert(lines.end(), c.inheritance.begin(), c.inheritance.end());
    LineList working = Lines(lines);
    RecordingFrontEnd ui;
    ShiftParentOffsets(working, ui);
    EXPECT_NE(working.Get(2).find(c.grand_member), std::string::npos) << working.Get(2);
  }
}

TEST(ParentOffsets, ParentSizeIsRoundedUpToEight) {
  const struct {
    int whole_size;
    int member_offset;
  } cases[] = {{0, 0}, {1, 8}, {4, 8}, {8, 8}, {12, 16}, {20, 24}, {24, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.whole_size);
    LineList working = Lines({" TP = { nWholeSize : " + std::to_string(c.whole_size) + " ; } ; ",
                              " TC = { x : 0 ; } ; ", " setmetatable ( TC , TP ) ; "});
    RecordingFrontEnd ui;
    ShiftParentOffsets(working, ui);
    EXPECT_EQ(working.Get(1), " TC = { x : " + std::to_string(c.member_offset) + " ; } ; ");
    EXPECT_TRUE(ui.messages.empty());
  }
}

TEST(ParentOffsets, ParentWithoutUsableSizeIsReportedAndTheChildKeepsItsOffsets) {
  const struct {
    const char* name;
    std::vector<std::string> parent_lines;
    const char* reported;
  } cases[] = {
      {"undeclared", {}, "TMissing"},
      {"declared as a plain size", {" TMissing = 4 ; "}, "TMissing"},
      {"layout failed", {" TMissing = { a : TOther ; } ; "}, "TMissing"},
      // A 32-bit host has no instance that large.
      {"size beyond 32 bits", {" TMissing = { nWholeSize : 4294967296 ; } ; "}, "4294967296"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines = c.parent_lines;
    lines.push_back(kChild);
    lines.push_back(" setmetatable ( TChild , TMissing ) ; ");
    LineList working = Lines(lines);
    RecordingFrontEnd ui;
    ShiftParentOffsets(working, ui);
    EXPECT_EQ(working.Get(c.parent_lines.size()), kChild);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(GbkToUtf8(ui.log[0]),
              std::string("-------------------- ") + c.reported + " 不是一个整型数字字符串！！！！！！！！！！！！！！！！");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(GbkToUtf8(ui.messages[0].caption), "确认信息");
    EXPECT_EQ(GbkToUtf8(ui.messages[0].text), std::string(c.reported) + " 不是一个整型数字字符串！");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::kError);
  }
}

TEST(ParentOffsets, ChildWithoutDeclarationShiftsNothingAndReportsNothing) {
  LineList working = Lines({kBase, " setmetatable ( TGhost , TBase ) ; "});
  const LineList before = working;
  RecordingFrontEnd ui;
  ShiftParentOffsets(working, ui);
  EXPECT_EQ(working, before);
  EXPECT_TRUE(ui.log.empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ParentOffsets, ForwardDeclarationMovesWithTheFullDeclaration) {
  LineList working = Lines({" TFwd = { nWholeSize : 4 ; nAddSize : 1 ; nMaxSize : 1 ;} ; ", kBase,
                            " TFwd = { nWholeSize : 4 ; nAddSize : 1 ; nMaxSize : 1 ; c : 0 ; } ; ",
                            " setmetatable ( TFwd , TBase ) ; "});
  RecordingFrontEnd ui;
  ShiftParentOffsets(working, ui);
  EXPECT_EQ(working.Get(0), " TFwd = { nWholeSize : 12 ; nAddSize : 9 ; nMaxSize : 9 ;} ; ");
  EXPECT_EQ(working.Get(2), " TFwd = { nWholeSize : 12 ; nAddSize : 9 ; nMaxSize : 9 ; c : 8 ; } ; ");
  RemoveSizeFields(working);
  EXPECT_EQ(working.Get(0), " TFwd = {} ; ");
  EXPECT_EQ(working.Get(2), " TFwd = { c : 8 ; } ; ");
}

TEST(MemberOffsets, NonIntegerValueIsReportedAndTheOthersStillMove) {
  LineList working = Lines({" TC = { a : 0 ; b : TOther ; c : 4 ; } ; ", " TD = { a : 0 ; } ; "});
  RecordingFrontEnd ui;
  EXPECT_TRUE(ShiftMemberOffsets(working, "tc", 8, ui));
  EXPECT_EQ(working.Get(0), " TC = { a : 8 ; b : TOther ; c : 12 ; } ; ");
  EXPECT_EQ(working.Get(1), " TD = { a : 0 ; } ; ");
  ASSERT_EQ(ui.log.size(), 1u);
  EXPECT_EQ(GbkToUtf8(ui.log[0]), "-------------------- TOther 不是一个整型数字字符串！！！！！！！！！！！！");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(GbkToUtf8(ui.messages[0].caption), "错误提示");
  EXPECT_EQ(GbkToUtf8(ui.messages[0].text), "TOther 不是一个整型数字字符串。");
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kError);
}

TEST(MemberOffsets, ReportsWhetherAnyLineOfThatNameExists) {
  LineList working = Lines({" TC = { a : 0 ; } ; ", " a : 4 ; "});
  RecordingFrontEnd ui;
  EXPECT_FALSE(ShiftMemberOffsets(working, "TMissing", 8, ui));
  // A line without "=" has no name, even when it starts with the wanted word.
  EXPECT_FALSE(ShiftMemberOffsets(working, "a", 8, ui));
  EXPECT_EQ(working.Get(1), " a : 4 ; ");
}

TEST(SizeFields, OnlyLinesWithAWholeSizeLoseTheirFields) {
  LineList working = Lines({
      " TEmpty = { nWholeSize : 0 ; } ; ",
      " TOdd = { nAddSize : 3 ; nMaxSize : 1 ; x : 0 ; } ; ",
      " Maxint = 32767 ; ",
  });
  RemoveSizeFields(working);
  EXPECT_EQ(working.Get(0), " TEmpty = { } ; ");
  EXPECT_EQ(working.Get(1), " TOdd = { nAddSize : 3 ; nMaxSize : 1 ; x : 0 ; } ; ");
  EXPECT_EQ(working.Get(2), " Maxint = 32767 ; ");
}

// String literals are text: what they hold never reads as an inheritance
// line, a member or a size field.
TEST(ParentOffsets, StringLiteralsAreNeverStructure) {
  const std::string lua_snippet = " SInit = \" return setmetatable ( TChild , TBase ) \" ; ";
  const std::string tag = " TChild = \"Tag: 1;\" ; ";
  const std::string size_note = " SNote = \"the nWholeSize ; of a record\" ; ";
  LineList working = Lines({kBase, kChild, tag, size_note, lua_snippet});
  RecordingFrontEnd ui;
  ShiftParentOffsets(working, ui);
  EXPECT_EQ(working.Get(1), kChild);
  EXPECT_TRUE(ui.messages.empty());

  EXPECT_TRUE(ShiftMemberOffsets(working, "TChild", 8, ui));
  EXPECT_EQ(working.Get(1), " TChild = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 12 ; b : 8 ; } ; ");
  EXPECT_EQ(working.Get(2), tag);
  EXPECT_TRUE(ui.messages.empty());

  RemoveSizeFields(working);
  EXPECT_EQ(working.Get(3), size_note);
}

// Whatever the lines hold, the walks end and stay inside their strings (the
// sanitizer build checks the latter).
TEST(ParentOffsets, AnyInputEnds) {
  static const char* const kPieces[] = {" ", ":", ";", "=", "{", "}", "(", ")", ",", "\"", "-", "8",
                                        "4294967296", " TA ", " TB ", " setmetatable ", " nWholeSize ",
                                        " nAddSize ", " nMaxSize "};
  std::mt19937 random(7);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> lines;
    for (int k = static_cast<int>(random() % 8); k > 0; --k) {
      std::string line;
      for (int n = static_cast<int>(random() % 20); n > 0; --n) line += kPieces[piece(random)];
      lines.push_back(line);
    }
    lines.push_back(" setmetatable ( TA , TB ) ; ");
    LineList working(lines);
    RecordingFrontEnd ui;
    ShiftParentOffsets(working, ui);
    RemoveSizeFields(working);
  }
  SUCCEED();
}

}  // namespace
}  // namespace ct::testing
