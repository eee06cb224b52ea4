// The fast stage versions (name indexes, the fast case, class-pointer,
// field-reference and nesting stages) must write exactly what the plain
// ones (tests/plain) write: every file, every log line and message, and the
// list shown at every stage report.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "pipeline/driver.h"
#include "pipeline/file_store.h"
#include "pipeline/layout/layout.h"
#include "pipeline/layout/structures.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/output/output.h"
#include "pipeline/sizes/sizes.h"
#include "pipeline/stage_versions.h"
#include "resources/prelude.h"
#include "tests/plain/plain.h"
#include "tests/support/generated_input.h"
#include "tests/support/recording_front_end.h"

namespace ct {
namespace {

using testing::GenerateClassTable;
using testing::InputShape;
using testing::RecordingFrontEnd;

struct Outcome {
  RunOutcome outcome = RunOutcome::kFailed;
  MemoryStore files;
  RecordingFrontEnd ui;
};

void Convert(const std::string& input, const StageVersions& versions, Outcome& out) {
  out.files.files["ClassTable.txt"] = input;
  out.outcome = RunConversionWith(out.ui, out.files, versions);
}

// Reports the first stage whose shown list differs, rather than two
// lists of thousands of lines.
void ExpectSameStages(const RecordingFrontEnd& fast, const RecordingFrontEnd& plain) {
  ASSERT_EQ(fast.stages.size(), plain.stages.size());
  for (size_t s = 0; s < fast.stages.size(); ++s) {
    const auto& a = fast.stages[s].list;
    const auto& b = plain.stages[s].list;
    ASSERT_EQ(a.size(), b.size()) << "list shown at stage " << s + 1;
    for (size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i], b[i]) << "stage " << s + 1 << ", line " << i;
  }
}

void ExpectSameRuns(const std::string& input) {
  Outcome fast, plain;
  Convert(input, kFastStageVersions, fast);
  Convert(input, kPlainStageVersions, plain);
  EXPECT_EQ(fast.outcome, plain.outcome);
  ExpectSameStages(fast.ui, plain.ui);
  EXPECT_EQ(fast.ui.log, plain.ui.log);
  ASSERT_EQ(fast.ui.messages.size(), plain.ui.messages.size());
  for (size_t m = 0; m < fast.ui.messages.size(); ++m) {
    EXPECT_EQ(fast.ui.messages[m].caption, plain.ui.messages[m].caption);
    EXPECT_EQ(fast.ui.messages[m].text, plain.ui.messages[m].text);
    EXPECT_EQ(fast.ui.messages[m].icon, plain.ui.messages[m].icon);
  }
  EXPECT_EQ(fast.ui.result_label, plain.ui.result_label);
  EXPECT_EQ(fast.files.files, plain.files.files);
}

struct ShapeCase {
  const char* name;
  InputShape shape;
};

// Test listings name the shape rather than dump its bytes.
void PrintTo(const ShapeCase& c, std::ostream* out) { *out << c.name; }

InputShape Shape(std::uint64_t seed, size_t lines) {
  InputShape shape;
  shape.seed = seed;
  shape.lines = lines;
  return shape;
}

InputShape Hostile(std::uint64_t seed, size_t lines, int percent) {
  InputShape shape = Shape(seed, lines);
  shape.namesakes = percent;
  shape.case_variants = percent;
  shape.quoted_names = percent;
  return shape;
}

std::vector<ShapeCase> Shapes() {
  std::vector<ShapeCase> cases = {
      {"realistic", Shape(1, 200)},
      {"realistic_other_seed", Shape(7, 200)},
      {"many_namesakes_and_case_variants", Hostile(2, 200, 60)},
      {"every_name_hostile", Hostile(3, 200, 100)},
  };
  InputShape long_lines = Hostile(4, 150, 30);
  long_lines.long_lines = true;
  cases.push_back({"lines_past_the_token_limit", long_lines});
  InputShape unresolved = Hostile(5, 200, 20);
  unresolved.unknown_types = 10;
  cases.push_back({"layout_that_cannot_finish", unresolved});
  InputShape variables = Shape(6, 200);
  variables.variables = 50;
  cases.push_back({"variables_outside_structures", variables});
  InputShape broken = Hostile(8, 200, 40);
  broken.unclosed_bracket = true;
  cases.push_back({"nesting_error", broken});
  return cases;
}

class DifferentialTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(DifferentialTest, FastAndPlainRunsWriteTheSameFilesAndReports) {
  ExpectSameRuns(GenerateClassTable(GetParam().shape));
}

INSTANTIATE_TEST_SUITE_P(GeneratedInputs, DifferentialTest, ::testing::ValuesIn(Shapes()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DifferentialExampleTest, TheBundledExampleConvertsAlikeBothWays) {
  std::ifstream in(std::string(CLASSTABLE_SOURCE_DIR) + "/examples/GameHost.pas", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  ASSERT_FALSE(text.str().empty());
  // The example has CR LF line ends already.
  ExpectSameRuns(ReadPrelude(kPreludeResource) + "\r\n" + text.str());
}

// The shapes must reach the paths they are named for, or the comparison
// proves less than it claims.
TEST(DifferentialShapesTest, HostileShapesReachTheFailureAndStopPaths) {
  Outcome unresolved, broken, realistic;
  for (const ShapeCase& c : Shapes()) {
    if (std::string(c.name) == "layout_that_cannot_finish") Convert(GenerateClassTable(c.shape), kFastStageVersions, unresolved);
    if (std::string(c.name) == "nesting_error") Convert(GenerateClassTable(c.shape), kFastStageVersions, broken);
    if (std::string(c.name) == "realistic") Convert(GenerateClassTable(c.shape), kFastStageVersions, realistic);
  }
  EXPECT_EQ(realistic.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(unresolved.outcome, RunOutcome::kFailed);
  EXPECT_EQ(broken.outcome, RunOutcome::kStoppedAtNesting);
}

// ---- Single stages on lines made to meet their corners ----------------------

const std::string kPastTheLimit = " TA = " + std::string(kTokenLimit, 'v') + " ta tA : TA ; ";

using Lines = std::vector<std::string>;

struct StageCase {
  const char* what;
  Lines lines;
};

// Runs the plain stage on a plain list and the fast one on an indexed list.
template <class Plain, class Fast>
void ExpectSameStage(const std::vector<StageCase>& cases, Plain plain_stage, Fast fast_stage) {
  for (const StageCase& c : cases) {
    LineList plain(c.lines);
    plain.SetIndexed(false);
    LineList fast(c.lines);
    plain_stage(plain);
    fast_stage(fast);
    EXPECT_EQ(fast.Lines(), plain.Lines()) << c.what;
  }
}

TEST(FastStageTest, UnifyCaseRespellsAsThePlainStage) {
  ExpectSameStage(
      {
          {"later first words win", {" TA = class ", " x : ta ; ", " ta = 5 ; ", " y : TA Ta ; "}},
          {"array keyword", {" Array = 1 ; ", " a : ARRAY ARRAY of X ; ", " b : array ; ", " ARRAY ARRAY "}},
          {"strings", {" \"Q\" = 1 ; ", " s = \"ta TA\" ta ; ", " ab\"cd ef\"gh = 2 ; ", " x ab\"\"gh y ",
                       " unpaired \" TA x "}},
          {"no spaces at the ends", {"TA = 1 ;", " ta = 2 ;", "ta", "tA ta"}},
          {"line past the token limit", {" tA = 1 ; ", kPastTheLimit, " x : ta ; "}},
          {"blank lines", {"", " ", "  X  ", " x "}},
          {"bytes above ASCII", {" \xB5\xC4" "Ab = 1 ", " \xB5\xC4" "aB ", " \xB5\xE4" "AB "}},
          {"tabs are no spaces", {" \tTA = 1 ", " x \tta ", " \tTa "}},
      },
      PlainUnifyCase, UnifyCase);
}

TEST(FastStageTest, MarkClassPointersRewritesAsThePlainStage) {
  ExpectSameStage(
      {
          {"uses after : = of", {" TA = class ; ", " x : TA ; ", " y = ta ; ", " z : array of TA ; ",
                                 " TA = class ( TObject ) a : TA ; end ; "}},
          {"a name with a tab", {" \tTB = class ", " x : \tTB ; ", " y : TB ; "}},
          {"a name without its space", {"TC = class", " x :TC ; ", " y : TC ; "}},
          {"pointer of a pointer", {" X = class ", " ^X = class ", " a : X ; ", " b : ^X ; "}},
          {"names in strings", {" TD = class ", " s = \" : TD \" ; ", " t : TD ; "}},
          {"a class named class", {" class = class ", " x = class ; ", " y : class ; "}},
          {"line past the token limit", {" TA = class ; ", kPastTheLimit}},
      },
      PlainMarkClassPointers, MarkClassPointers);
}

TEST(FastStageTest, ReplaceFieldReferencesReplacesAsThePlainStage) {
  ExpectSameStage(
      {
          {"uses, casts and strings", {" N = 10 ; ", " A = N * 2 ; ", " B = n ; ", " C = N( 3 ) + N ( 4 ) ; ",
                                       " D = \" N \" N ; "}},
          {"a chain either way round", {" A = B ; ", " B = 5 ; ", " C = A + B ; ", " D = C ; "}},
          {"lines that begin with =", {"==5", " N = 1 ; ", " M = N ; ", "=", "= x ;"}},
          {"a name that begins with =", {"=N= 2", " M = N ; ", " N = 1 ; "}},
          {"= only inside strings", {" N = 1 ; ", " s : \"a=b\" ; ", " M = N ; ", " t : \"=\" N ; "}},
          {"a name holding the mask byte", {" \"\x01\" = 4 ; ", " x = \"y\" ; ", " z = \"\x01\" ; "}},
          {"a name of two words", {" a b = 5 ; ", " x = a b ; ", " y = b ; "}},
          {"a name holding a quote", {" \"n = 3 ; ", " x = \"n ; ", " y = \"n\" ; "}},
          {"integer values stay", {" N = 4 ; ", " M = 7 ; ", " K = N ; "}},
          {"a number as a name", {" 5 = 6 ; ", " x = 5 ; ", " y = 5 + 5 ; "}},
          {"sized values", {" ShortString = 1_256 ; ", " R = { s : ShortString ; } ; "}},
          {"line past the token limit", {" N = 3 ; ", " TA = N ; " + kPastTheLimit}},
      },
      PlainReplaceFieldReferences, ReplaceFieldReferences);
}

TEST(FastStageTest, SortByNestingOrdersAsThePlainStage) {
  const std::vector<StageCase> cases = {
      {"used before declared", {" TU = { h : TE ; n : TE ; } ; ", " TE = { a : Integer ; } ; ",
                                " TV = { x : TU ; y : TE ; } ; "}},
      {"namesakes", {" TU = { h : TE ; } ; ", " TE = { a : Byte ; } ; ", " TE = { b : Byte ; } ; ",
                     " te = { } ; "}},
      {"a chain declared user first", {" TA = { b : TB ; } ; ", " TB = { c : TC ; } ; ", " TC = { d : TD ; } ; ",
                                       " TD = { e : Byte ; } ; "}},
      {"a circle", {" TA = { b : TB ; } ; ", " TB = { a : TA ; } ; "}},
      {"strings and pointers", {" TU = { s : \"TE ; x\" ; p : ^TE ; e : TE ; } ; ", " TE = { a : Byte ; } ; "}},
      {"a structure embedding itself", {" TA = { a : TA ; b : TA ; } ; ", " TB = { a : TA ; } ; "}},
  };
  ExpectSameStage(
      cases, [](LineList& l) { PlainSortByNesting(l, LineList(l)); },
      [](LineList& l) { SortByNesting(l, LineList(l)); });
  // The reference list may run out of step with the working list.
  ExpectSameStage(
      cases, [](LineList& l) { PlainSortByNesting(l, LineList({" X = { a : TE ; } ; "})); },
      [](LineList& l) { SortByNesting(l, LineList({" X = { a : TE ; } ; "})); });
}

// A stage whose only difference is the list's index: namesake sizes and
// parents in the layout pass.
TEST(FastStageTest, IndexedListsLayOutAsPlainOnes) {
  const std::vector<StageCase> cases = {
      {"namesakes and forward declarations",
       {" TR = { } ; ", " TR = { a : 1 ; b : 4 ; } ; ", " tr = { } ; ", " TR = { c : TR ; } ; ",
        " setmetatable ( TR , TR ) ; "}},
      {"a derived class, its forward declaration and an empty child",
       {" TK = { } ; ", " TK = { k : 1 ; } ; ", " TP = { Vmt : 4 ; p : 8 ; } ; ", " TE = { } ; ",
        " setmetatable ( TK , TP ) ; ", " setmetatable ( TE , TK ) ; "}},
      {"a name holding = in a string", {" \"a=b\" = { a : 2 ; } ; ", " \"a=b\" = { } ; "}},
      {"a nameless table", {"= { a : 2 ; } ; ", "= { } ; ", " = { } ; "}},
      {"line past the token limit", {" TR = { a : 1 ; } ; ", " TR = { } ; " + std::string(kTokenLimit, 'q')}},
  };
  for (const StageCase& c : cases) {
    LineList plain(c.lines), fast(c.lines);
    plain.SetIndexed(false);
    // Two passes, so that a class laid out after its parent is seen too.
    for (int pass = 0; pass < 2; ++pass) {
      LayOutStructures(plain);
      LayOutStructures(fast);
    }
    EXPECT_EQ(fast.Lines(), plain.Lines()) << c.what;
  }
}

}  // namespace
}  // namespace ct
