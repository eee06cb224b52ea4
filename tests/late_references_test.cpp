// Entries that name a table the script has not built yet when it reads them.
#include <gtest/gtest.h>

#include "pipeline/output/output.h"

namespace ct {
namespace {

using Lines = std::vector<std::string>;

Lines Added(Lines lines) {
  LineList list(lines);
  AddLateReferenceLines(list);
  return Lines(list.Lines().begin() + static_cast<std::ptrdiff_t>(lines.size()), list.Lines().end());
}

TEST(LateReferencesTest, FillsInOwnAndLaterTablesOnly) {
  Lines added = Added({
      " vt_Byte = 7 ; ",
      " TEarly = { b : { 0 , vt_Byte } ; } ; ",
      " TNode = { Next : { 0 , - 1 , TNode } ; Early : { 4 , TEarly } ; Late : { 8 , - 1 , TLate } ; "
      "Many : { 12 , - 1 , 16 , TLate } ; Code : { 16 , vt_Byte } ; Unknown : { 20 , - 1 , TNowhere } ; } ; ",
      " TLate = { x : { 0 , vt_Byte } ; } ; ",
  });
  EXPECT_EQ(added, (Lines{" TNode.Next[3] = TNode ", " TNode.Late[3] = TLate ", " TNode.Many[4] = TLate "}));
}

TEST(LateReferencesTest, TheLastDefinitionOfANameIsTheOneTheScriptKeeps) {
  Lines added = Added({
      " TA = { x : { 0 , vt_Byte } ; } ; ",
      " TB = { a : { 0 , TA } ; } ; ",
      " TA = { y : { 0 , vt_Byte } ; } ; ",
  });
  EXPECT_EQ(added, (Lines{" TB.a[2] = TA "}));
}

TEST(LateReferencesTest, StringsAndMalformedLinesAddNothing) {
  EXPECT_EQ(Added({" S = \"= { p : { 0 , S } ; }\" ; ", " T = { p : { 0 , T ", " = { p : { 0 , - 1 , X } ; } ; "}),
            Lines{});
}

}  // namespace
}  // namespace ct
