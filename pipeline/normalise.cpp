// Placeholder: the normalisation stages leave the lists unchanged until built.
#include "pipeline/normalise.h"

namespace ct {

void EscapeInputText(LineList&) {}
void RemoveComments(LineList&) {}
void StripSymbolSpaces(LineList&) {}
void CountBrackets(std::string_view, char, char, BracketCount&) {}
void JoinStatements(const LineList& source, LineList& working, NestingState&) {
  for (const auto& line : source.Lines()) working.Add(line);
}
std::string LoosenLine(std::string_view line) { return std::string(line); }
void LoosenText(LineList&) {}
std::string CompactLine(std::string_view line) { return std::string(line); }
void DeleteJunkLines(LineList&) {}
void UnifyCase(LineList&) {}
void MarkClassPointers(LineList&) {}

}  // namespace ct
