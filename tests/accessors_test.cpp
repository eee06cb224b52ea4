#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/accessors.h"
#include "pipeline/normalise.h"
#include "pipeline/sizes.h"
#include "tests/support/recording_front_end.h"
#include "text/gbk.h"

namespace ct::testing {
namespace {

LineList Lines(std::vector<std::string> lines) { return LineList(std::move(lines)); }

// ---- Restoration ------------------------------------------------------------

TEST(RestoreDeclarations, DefinitionsWithoutColonGetTheirDeclaredTextBack) {
  LineList working = Lines({" PInteger = 4 ; ", " TItem = { X : 0 ; } ; ", " x : 4 ; ",
                            " TProc = 4 ; ", " setmetatable ( TItem , TObject ) ; "});
  const LineList reference = Lines({" PInteger = ^Integer ; ", " TItem = { X : Word ; } ; ", " x : Integer ; ",
                                    " TProc = procedure ( A : Integer ) ; ", " setmetatable ( TItem , TObject ) ; "});
  RecordingFrontEnd ui;
  EXPECT_TRUE(RestoreDeclarations(working, reference, ui));
  EXPECT_EQ(working, Lines({" PInteger = ^Integer ; ", " TItem = { X : 0 ; } ; ", " x : 4 ; ", " TProc = 4 ; ",
                            " setmetatable ( TItem , TObject ) ; "}));
  EXPECT_TRUE(ui.log.empty());
}

TEST(RestoreDeclarations, EveryLineBeyondAShortReferenceIsReported) {
  LineList working = Lines({" A = 4 ; ", " B = 4 ; ", " C = 4 ; "});
  const LineList reference = Lines({" A = Integer ; "});
  RecordingFrontEnd ui;
  EXPECT_FALSE(RestoreDeclarations(working, reference, ui));
  EXPECT_EQ(working, Lines({" A = Integer ; ", " B = 4 ; ", " C = 4 ; "}));
  ASSERT_EQ(ui.log.size(), 2u);
  ASSERT_EQ(ui.messages.size(), 2u);
  for (size_t k = 0; k < 2; ++k) {
    EXPECT_EQ(GbkToUtf8(ui.log[k]), "--------------------List长度(3) 与TmpList长度(1)不符！！！！！！！！！！！！！！");
    EXPECT_EQ(GbkToUtf8(ui.messages[k].caption), "确认信息");
    EXPECT_EQ(GbkToUtf8(ui.messages[k].text), "List长度(3) 与TmpList长度(1)不符！");
    EXPECT_EQ(ui.messages[k].icon, MessageIcon::kError);
  }
}

// ---- Removal of variable declarations ---------------------------------------

TEST(RemoveVariableDeclarations, VariablesAndProceduralTypesLeaveBothLists) {
  LineList working = Lines({" Count : { 0 , vt_Integer } ; ", " TItem = { X : { 0 , vt_Word } ; } ; ",
                            " TProc = 4 ; ", " Maxint = 32767 ; ", " Last : { 0 , vt_Byte } ; "});
  LineList reference = Lines({" Count : Integer ; ", " TItem = { X : Word ; } ; ",
                              " TProc = procedure ( A : Integer ) ; ", " Maxint = 32767 ; ", " Last : Byte ; "});
  RecordingFrontEnd ui;
  EXPECT_TRUE(RemoveVariableDeclarations(working, reference, ui));
  EXPECT_EQ(working, Lines({" TItem = { X : { 0 , vt_Word } ; } ; ", " Maxint = 32767 ; "}));
  EXPECT_EQ(reference, Lines({" TItem = { X : Word ; } ; ", " Maxint = 32767 ; "}));
  EXPECT_TRUE(ui.log.empty());
}

TEST(RemoveVariableDeclarations, EveryReferenceLineBeyondAShortWorkingListIsReported) {
  LineList working = Lines({" A = 1 ; "});
  LineList reference = Lines({" A = 1 ; ", " B = 2 ; ", " v : Integer ; ", " C = 3 ; "});
  RecordingFrontEnd ui;
  EXPECT_FALSE(RemoveVariableDeclarations(working, reference, ui));
  // The variable beyond the working list leaves the reference list alone.
  EXPECT_EQ(reference, Lines({" A = 1 ; ", " B = 2 ; ", " C = 3 ; "}));
  EXPECT_EQ(working, Lines({" A = 1 ; "}));
  ASSERT_EQ(ui.log.size(), 2u);
  EXPECT_EQ(GbkToUtf8(ui.log[0]), "--------------------中间文本TempList与当前进度list行数不符！ 4/1  ！！！！！！！！！！！");
  EXPECT_EQ(GbkToUtf8(ui.log[1]), "--------------------中间文本TempList与当前进度list行数不符！ 3/1  ！！！！！！！！！！！");
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(GbkToUtf8(ui.messages[1].caption), "确认信息");
  EXPECT_EQ(GbkToUtf8(ui.messages[1].text), "中间文本TempList与当前进度list行数不符！");
  EXPECT_EQ(ui.messages[1].icon, MessageIcon::kError);
}

}  // namespace
}  // namespace ct::testing
