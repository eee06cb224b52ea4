// One statement per line: input lines are joined while a round or square
// bracket is open, and the first bracket that breaks the nesting is recorded
// for the report that follows normalisation.
#include <algorithm>

#include "pipeline/normalise/join.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/stop_request.h"
#include "text/characters.h"

namespace ct {

void CountBrackets(std::string_view statement, char opening, char closing, BracketCount& count) {
  // Resuming behind the last bracket already counted keeps every bracket
  // counted once as the statement grows; that bracket stood outside strings.
  bool in_string = false;
  const size_t from = static_cast<size_t>(std::max(count.last_open, count.last_close));
  // Every round takes one character; p is its 1-based position.
  for (size_t i = from, n = 0; i < statement.size(); i += n) {
    n = CharacterLength(statement, i);
    const Pos p = static_cast<Pos>(i) + 1;
    const char c = n == 1 ? statement[i] : '\0';
    if (c == '"') {
      in_string = !in_string;
    } else if (!in_string && c == opening) {
      ++count.count;
      count.last_open = p;
    } else if (!in_string && c == closing) {
      --count.count;
      count.last_close = p;
    }
  }
}

namespace {

void ResetPositions(NestingState& state) {
  for (BracketCount* kind : {&state.round, &state.square}) {
    kind->last_open = 0;
    kind->last_close = 0;
  }
  state.error_position = 0;
  state.error_line = 0;
}

// Judges the bracket kind just counted. The first fault of a statement is
// the one reported, so a recorded position is never overwritten.
void Evaluate(const BracketCount& kind, const BracketCount& other, size_t line_number, NestingState& state) {
  if (kind.count == 0 && other.count == 0) {
    ResetPositions(state);
  } else if (kind.count < 0) {
    if (state.error_position == 0) {
      state.error_line = line_number;
      state.error_position = kind.last_close;
    }
    state.mismatch = true;
  } else if (kind.count > 0) {
    if (state.error_position == 0) {
      state.error_line = line_number;
      state.error_position = kind.last_open;
    }
    state.open = true;
  }
}

}  // namespace

void JoinStatements(const LineList& source, LineList& working, NestingState& state) {
  LineOrigin origin = kNoOrigin;  // of the statement's first line
  for (size_t i = 0; i < source.Count(); ++i) {
    ThrowIfStopRequested();
    state.open = false;
    const std::string& line = source.Get(i);
    if (line.empty()) continue;
    if (state.statement.empty()) origin = source.Origin(i);
    state.statement += line;
    CountBrackets(state.statement, '(', ')', state.round);
    Evaluate(state.round, state.square, i + 1, state);
    if (state.error_line == i + 1) state.error_origin = source.Origin(i);
    if (state.mismatch) return;
    CountBrackets(state.statement, '[', ']', state.square);
    Evaluate(state.square, state.round, i + 1, state);
    if (state.error_line == i + 1) state.error_origin = source.Origin(i);
    if (state.mismatch) return;
    if (state.open) continue;
    working.Add(state.statement, origin);
    state.statement.clear();
  }
}

}  // namespace ct
