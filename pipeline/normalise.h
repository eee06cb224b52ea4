// From the raw input to the loosened form: the first eight stages of a run.
#pragma once

#include <string>
#include <string_view>

#include "text/line_list.h"
#include "text/scan.h"

namespace ct {

// Bracket nesting recorded while statements are joined, reported afterwards.
struct BracketCount {
  Pos count = 0;
  Pos last_open = 0;
  Pos last_close = 0;
};

// A block comment that the input never closes swallows every declaration
// after it, and a "}" outside any comment would close a table early; both
// stop the run like a bracket that breaks the nesting.
struct CommentFault {
  size_t line = 0;            // 1-based line of the input; 0 = no fault
  Pos position = 0;           // of the opener or the stray "}" in that line
  std::string text;           // that line
  bool stray_closer = false;  // a "}" that closes nothing
};

struct NestingState {
  std::string statement;
  BracketCount round;
  BracketCount square;
  Pos error_position = 0;
  size_t error_line = 0;  // 1-based line of the input as joined
  LineOrigin error_origin = kNoOrigin;  // that line's place in ClassTable.txt
  bool open = false;
  bool mismatch = false;
  CommentFault comment;

  bool HasError() const { return error_position != 0 || comment.line != 0; }
};

void EscapeInputText(LineList& list);
// Records in `state` the first "}" that closes no comment or, failing that,
// where a comment that the input leaves open began.
void RemoveComments(LineList& list, NestingState& state);
void StripSymbolSpaces(LineList& list);
void CountBrackets(std::string_view statement, char opening, char closing, BracketCount& count);
void JoinStatements(const LineList& source, LineList& working, NestingState& state);

// The loosened form of one line: symbols between single spaces, no double
// spaces, string contents untouched.
std::string LoosenLine(std::string_view line);
void LoosenText(LineList& list);
// The compact form of one line: spaces around symbols removed, as the
// symbol-space stage leaves it.
std::string CompactLine(std::string_view line);

void DeleteJunkLines(LineList& list);
void UnifyCase(LineList& list);
void MarkClassPointers(LineList& list);

}  // namespace ct
