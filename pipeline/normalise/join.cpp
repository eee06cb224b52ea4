// One statement per line: input lines are joined while a round or square
// bracket is open, and the first bracket that breaks the nesting is recorded
// for the report that follows normalisation.
#include <algorithm>
#include <cctype>
#include <vector>

#include "pipeline/normalise/declarations.h"
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

// A statement whose text so far ends with "=", ":" or "," or with the word
// "packed" or "of", or is the word "class" alone, goes on in the next line,
// and so does one whose next line starts with "=": a head written over
// several lines (" _FILETIME =", " packed", " record"), names listed over
// several lines, an initialiser that starts below its constant, an array's
// element type below its " of", " class" above the "var" or "function" it
// modifies.
bool GoesOn(std::string_view statement, std::string_view next_line) {
  const size_t next = next_line.find_first_not_of(' ');
  if (next != std::string_view::npos && next_line[next] == '=') return true;
  if (SameText(Trim(statement), "class")) return true;
  Pos last = Len(statement);
  while (last > 0 && IsBlank(static_cast<unsigned char>(At(statement, last)))) --last;
  const char c = At(statement, last);
  if (c == '=' || c == ':' || c == ',') return true;
  Pos first = last;
  while (first > 1 && (std::isalnum(static_cast<unsigned char>(At(statement, first - 1))) ||
                       At(statement, first - 1) == '_'))
    --first;
  const std::string word = Slice(statement, first, last);
  return SameText(word, "packed") || SameText(word, "bitpacked") || SameText(word, "of");
}

}  // namespace

void JoinStatements(const LineList& source, LineList& working, NestingState& state) {
  DeclarationWalk walk(working, source);
  std::vector<Stretch> stretches;  // where each input line's text starts in the statement
  for (size_t i = 0; i < source.Count(); ++i) {
    ThrowIfStopRequested();
    state.open = false;
    const std::string& line = source.Get(i);
    if (line.empty()) continue;
    stretches.push_back({Len(state.statement) + 1, source.Origin(i)});
    state.statement += line;
    CountBrackets(state.statement, '(', ')', state.round);
    Evaluate(state.round, state.square, i + 1, state);
    if (state.error_line == i + 1) state.error_origin = source.Origin(i);
    if (state.mismatch) break;
    CountBrackets(state.statement, '[', ']', state.square);
    Evaluate(state.square, state.round, i + 1, state);
    if (state.error_line == i + 1) state.error_origin = source.Origin(i);
    if (state.mismatch) break;
    if (state.open || GoesOn(state.statement, i + 1 < source.Count() ? source.Get(i + 1) : std::string())) continue;
    walk.Add(state.statement, stretches);
    state.statement.clear();
    stretches.clear();
  }
  // A statement still waiting for its next line when the input ends is
  // complete as it stands; one with a bracket open is the nesting report's.
  if (!state.mismatch && !state.open && !state.statement.empty()) {
    walk.Add(state.statement, stretches);
    state.statement.clear();
  }
  walk.Finish();
}

}  // namespace ct
