// What the statement join learns about bracket nesting and comments, kept
// until the nesting check reports it (stage 8).
#pragma once

#include <cstddef>
#include <string>

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

}  // namespace ct
