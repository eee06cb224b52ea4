// Generated records and classes, laid out by the project and by a real
// 32-bit compiler (the Free Pascal harness, tests/compiler_layouts/README.md):
// with --record-padding=largest every offset and every size must agree. The
// shapes are those where Delphi and the harness's compiler agree (no packed
// record as a field, no set over a byte, no Real48, no variant part).
//
// The harness is found through FPC32_HARNESS, or else the CMake cache
// variable CLASSTABLE_FPC32_HARNESS; without it, or without its compiler
// built, the test is skipped and says why.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/support/compiler_layouts.h"
#include "tests/support/memory_run.h"
#include "tests/support/run_folder.h"
#include "text/scan.h"

#ifndef CLASSTABLE_FPC32_HARNESS
#define CLASSTABLE_FPC32_HARNESS ""
#endif

namespace ct::testing {
namespace {

// ---- The declarations ------------------------------------------------------

// One sample: a few enumerations and method pointer types, then records and
// classes whose fields draw on the basic types and on what the sample
// declared before them. Every name starts with the sample's prefix.
class SampleWriter {
 public:
  explicit SampleWriter(std::uint32_t seed) : random_(seed), prefix_("G" + std::to_string(seed) + "_") {}

  std::string Write() {
    text_ = "type\n";
    DeclareOrdinals();
    const int structures = Between(3, 7);
    for (int s = 0; s < structures; ++s) Between(0, 2) == 0 ? DeclareClass(s) : DeclareRecord(s);
    return text_;
  }

  const std::string& prefix() const { return prefix_; }

 private:
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  template <class T>
  const T& Pick(const std::vector<T>& from) {
    return from[static_cast<size_t>(Between(0, static_cast<int>(from.size()) - 1))];
  }

  void DeclareOrdinals() {
    // An enumeration of a byte, one of a word, one with a value past a byte.
    const std::string small = prefix_ + "ESmall", wide = prefix_ + "EWide", valued = prefix_ + "EValued";
    text_ += "  " + small + " = (" + Values("s", Between(2, 8)) + ");\n";
    text_ += "  " + wide + " = (" + Values("w", Between(257, 260)) + ");\n";
    text_ += "  " + valued + " = (" + prefix_ + "va, " + prefix_ + "vb = " + std::to_string(Between(256, 70000)) + ");\n";
    const std::string method = prefix_ + "Method";
    text_ += "  " + method + " = procedure(Sender: TObject; Value: Integer) of object;\n";
    fields_ = {"Byte", "ShortInt", "Word", "SmallInt", "Integer", "Cardinal", "Int64", "Single", "Double",
               "Extended", "Comp", "Currency", "Boolean", "Char", "WideChar", "Pointer", "string", "PChar",
               "ShortString", "Variant", "WordBool", "LongBool", "TNotifyEvent", small, wide, valued, method,
               "set of " + small, "set of 0..7", "procedure of object", "function(x: Integer): Integer"};
  }

  std::string Values(const std::string& stem, int count) {
    std::string values;
    for (int v = 0; v < count; ++v) values += (v ? ", " : "") + prefix_ + stem + std::to_string(v);
    return values;
  }

  std::string FieldType() {
    switch (Between(0, 9)) {
      case 0: return "String[" + std::to_string(Between(1, 30)) + "]";
      case 1:
      case 2: {
        const std::string& element = records_.empty() || Between(0, 1) ? Pick(fields_) : Pick(records_);
        if (element.find(' ') != std::string::npos) return Pick(std::vector<std::string>{"Byte", "Double", "Word"});
        return "array[0.." + std::to_string(Between(0, 4)) + "] of " + element;
      }
      case 3: return records_.empty() ? "Integer" : Pick(records_);
      default: return Pick(fields_);
    }
  }

  void WriteFields(const std::string& stem, int count) {
    for (int f = 0; f < count; ++f) text_ += "    " + stem + std::to_string(f) + ": " + FieldType() + ";\n";
  }

  void DeclareRecord(int s) {
    const std::string name = prefix_ + "R" + std::to_string(s);
    const bool packed = Between(0, 4) == 0;
    text_ += "  " + name + (packed ? " = packed record\n" : " = record\n");
    WriteFields("f", Between(1, 7));
    text_ += "  end;\n";
    // A packed record as a field is where the harness's compiler is no
    // Delphi; it stays a structure of its own.
    if (!packed) records_.push_back(name);
  }

  void DeclareClass(int s) {
    const std::string name = prefix_ + "C" + std::to_string(s);
    const std::string parent = classes_.empty() || Between(0, 2) == 0 ? "" : "(" + Pick(classes_) + ")";
    text_ += "  " + name + " = class" + parent + "\n";
    WriteFields("c" + std::to_string(s) + "_", Between(0, 5));
    text_ += "  end;\n";
    classes_.push_back(name);
  }

  std::mt19937 random_;
  std::string prefix_;
  std::string text_;
  std::vector<std::string> fields_;
  std::vector<std::string> records_;
  std::vector<std::string> classes_;
};

// ---- The compiler ----------------------------------------------------------

std::string HarnessFolder() {
  const char* set = std::getenv("FPC32_HARNESS");
  return set != nullptr && *set != '\0' ? set : CLASSTABLE_FPC32_HARNESS;
}

std::string Quoted(const std::filesystem::path& path) { return "'" + ReplaceAll(path.string(), "'", "'\\''") + "'"; }

struct HarnessAnswer {
  bool ran = false;
  std::string layouts;  // standard output
  std::string errors;   // standard error
};

// Runs layout.py over a file of declarations.
HarnessAnswer AskHarness(const std::filesystem::path& harness, const TempFolder& folder, std::string_view text) {
  folder.Write("decls.pas", text);
  const std::string command = "python3 " + Quoted(harness / "layout.py") + " " + Quoted(folder.path() / "decls.pas") +
                              " >" + Quoted(folder.path() / "out.txt") + " 2>" + Quoted(folder.path() / "err.txt");
  HarnessAnswer answer;
  answer.ran = std::system(command.c_str()) == 0;
  answer.layouts = folder.Read("out.txt");
  answer.errors = folder.Read("err.txt");
  return answer;
}

std::uint32_t Samples() {
  const char* wanted = std::getenv("CLASSTABLE_PROPERTY_SEEDS");
  auto count = wanted == nullptr ? std::nullopt : ParseInt32(wanted);
  return count && *count > 0 ? static_cast<std::uint32_t>(*count) : 25;
}

TEST(CompilerProperty, GeneratedRecordsAndClassesLayOutAsTheCompilerLaysThemOut) {
  const std::string harness = HarnessFolder();
  if (harness.empty() || !std::filesystem::exists(std::filesystem::path(harness) / "layout.py"))
    GTEST_SKIP() << "no compiler harness: set FPC32_HARNESS (or -DCLASSTABLE_FPC32_HARNESS=) to the folder of "
                    "layout.py (../shared/fpc32 beside the repository)";
  TempFolder folder;
  const HarnessAnswer probe = AskHarness(harness, folder, "type\n  TProbe = record b: Byte; d: Double; end;\n");
  if (!probe.ran || probe.layouts.find("TProbe.d 8") == std::string::npos)
    GTEST_SKIP() << "the 32-bit cross compiler does not answer (build it with the harness's build.sh): "
                 << probe.errors;

  // One compilation for a batch of samples (the program that prints the
  // layouts must stay small enough for the compiler), one conversion for
  // each sample, so that a difference shows the sample it comes from.
  constexpr std::uint32_t kBatch = 20;
  const std::uint32_t count = Samples();
  for (std::uint32_t first = 1; first <= count; first += kBatch) {
    std::vector<SampleWriter> writers;
    std::vector<std::string> samples;
    std::string batch;
    for (std::uint32_t seed = first; seed < first + kBatch && seed <= count; ++seed) {
      writers.emplace_back(seed);
      samples.push_back(writers.back().Write());
      batch += samples.back();
    }
    const HarnessAnswer answer = AskHarness(harness, folder, batch);
    ASSERT_TRUE(answer.ran) << "the compiler refused samples " << first << " on: " << answer.errors;
    std::string problem;
    auto layouts = ReadCompilerLayouts(answer.layouts, problem);
    ASSERT_TRUE(layouts) << problem;
    for (size_t k = 0; k < samples.size(); ++k) {
      std::vector<CompilerLayout> expected;
      for (const CompilerLayout& layout : *layouts)
        if (layout.name.rfind(writers[k].prefix(), 0) == 0) expected.push_back(layout);
      ASSERT_FALSE(expected.empty()) << samples[k];
      const MemoryRun run = ConvertInMemory(samples[k], RunOptions{RecordPadding::kLargest});
      EXPECT_EQ(run.outcome, RunOutcome::kSucceeded) << samples[k];
      std::string differences;
      for (const LayoutDifference& d : CompareWithRun(expected, run)) differences += "  " + Describe(d) + "\n";
      EXPECT_EQ(differences, "") << "the compiler's layout differs:\n" << samples[k];
    }
  }
}

}  // namespace
}  // namespace ct::testing
