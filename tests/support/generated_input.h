// Large, realistic ClassTable.txt inputs made from a seed, for the timing
// program and for the comparison of the fast and the plain implementation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ct::testing {

struct InputShape {
  std::uint64_t seed = 1;
  // Declaration lines wanted after the prelude; the text stops at the first
  // whole block that reaches it.
  size_t lines = 1000;
  // Percent chances, per occasion, of the hostile variations.
  int namesakes = 0;      // a constant, record or field takes a name shared by many blocks
  int case_variants = 0;  // a type is named in another letter case than its declaration
  int quoted_names = 0;   // a string constant holds declaration text and type names
  int unknown_types = 0;  // a field names a type declared nowhere, so layout cannot finish
  int variables = 0;      // a variable is declared outside any structure
  // Adds, every few blocks, a record and a string constant written on one
  // line longer than the token limit.
  bool long_lines = false;
  // Ends the text with an unclosed bracket, which stops the run after the
  // normalisation stages.
  bool unclosed_bracket = false;
};

// Inputs of one shape, `count` times over, for the growth of the steps
// that such a shape stresses:
//   kWideRecord      one record of `count` fields on one line
//   kOneLine         `count` records, all on one line
//   kEmbeddersFirst  `count` records, each embedding the one declared
//                    after it, so that each layout pass lays out one more
enum class StressShape { kWideRecord, kOneLine, kEmbeddersFirst };
// A whole ClassTable.txt: the prelude, then the shape.
std::string GenerateStressInput(StressShape shape, size_t count);

// The declarations alone, lines separated by CR LF.
std::string GenerateDeclarations(const InputShape& shape);
// The prelude followed by the declarations: a whole ClassTable.txt.
std::string GenerateClassTable(const InputShape& shape);

}  // namespace ct::testing
