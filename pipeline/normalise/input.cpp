// Raw input clean-up: Pascal strings turned into double-quoted ones, and
// comments removed with their state carried from line to line.
#include <string>
#include <vector>

#include "pipeline/normalise/normalise.h"
#include "pipeline/stop_request.h"
#include "text/characters.h"

namespace ct {

namespace {

// Pascal strings become double-quoted ones. A double quote that a Pascal
// string holds is doubled on the way, the way a doubled apostrophe arrives:
// as adjacent strings, so that every byte of the string still lies between
// a pair of quotes and no brace or semicolon in it turns into structure.
std::string QuoteStrings(std::string_view line) {
  std::string out;
  bool in_string = false;
  // Every round takes one character.
  for (size_t i = 0, n = 0; i < line.size(); i += n) {
    n = CharacterLength(line, i);
    const char c = line[i];
    if (n == 2) {
      out.append(line.substr(i, n));
    } else if (c == '\'') {
      in_string = !in_string;
      out += '"';
    } else if (c == '"' && in_string) {
      out += "\"\"";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

void EscapeInputText(LineList& list) {
  // Backslashes first: the strings end up inside Lua source, where a lone
  // backslash would start an escape.
  for (size_t i = 0; i < list.Count(); ++i) list.Put(i, QuoteStrings(ReplaceAll(list.Get(i), "\\", "\\\\")));
}

namespace {

enum class OpenComment { kNone, kBrace, kStar };

bool IsBlankText(std::string_view text) { return Trim(text).empty(); }

// Positions on one line of the last comment opener and the first "}" that
// closes no comment; 0 when there is none.
struct CommentMarks {
  Pos opened_at = 0;
  Pos stray_closer = 0;
};

// Appends to `kept` the part of `line` that lies outside comments. `open`
// carries the comment that is still open at the line's start and receives
// the one open at its end. A comment separates the words around it as a
// space would ("record{ fields }end"): where it stood between two non-blank
// characters, a space takes its place.
void KeepOutsideComments(std::string_view line, OpenComment& open, CommentMarks& marks, std::string& kept) {
  bool in_string = false;
  bool after_comment = open != OpenComment::kNone;
  auto keep = [&](char c) {
    if (after_comment && !IsBlank(static_cast<unsigned char>(c)) && !kept.empty() &&
        !IsBlank(static_cast<unsigned char>(kept.back())))
      kept.push_back(' ');
    after_comment = false;
    kept.push_back(c);
  };
  size_t i = 0;
  // Every branch moves i forward by at least one character, or to the end.
  while (i < line.size()) {
    if (open == OpenComment::kBrace) {
      size_t close = FindSingleByteCharacter(line, '}', i);
      if (close == std::string_view::npos) return;
      open = OpenComment::kNone;
      i = close + 1;
      continue;
    }
    if (open == OpenComment::kStar) {
      size_t close = line.find("*)", i);
      if (close == std::string_view::npos) return;
      open = OpenComment::kNone;
      i = close + 2;
      continue;
    }
    const size_t length = CharacterLength(line, i);
    if (length == 2) {
      keep(line[i]);
      kept.push_back(line[i + 1]);
      i += length;
      continue;
    }
    char c = line[i];
    char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (c == '"') {
      in_string = !in_string;
    } else if (!in_string) {
      if (c == '/' && next == '/') return;
      if (c == '{') {
        open = OpenComment::kBrace;
        after_comment = true;
        marks.opened_at = static_cast<Pos>(i) + 1;
        i += 1;
        continue;
      }
      if (c == '(' && next == '*') {
        open = OpenComment::kStar;
        after_comment = true;
        marks.opened_at = static_cast<Pos>(i) + 1;
        i += 2;
        continue;
      }
      if (c == '}' && marks.stray_closer == 0) marks.stray_closer = static_cast<Pos>(i) + 1;
    }
    keep(c);
    ++i;
  }
}

}  // namespace

void RemoveComments(LineList& list, NestingState& state) {
  LineList out;
  OpenComment open = OpenComment::kNone;
  // What the lines of a comment that is still open kept before it began; it
  // joins the text after the comment's end, and is lost if the input ends
  // inside the comment, which the state then records.
  std::string pending;
  LineOrigin pending_origin = kNoOrigin;
  CommentFault stray, start;
  for (size_t i = 0; i < list.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string& line = list.Get(i);
    if (IsBlankText(line)) continue;
    CommentMarks marks;
    if (pending.empty()) pending_origin = list.Origin(i);
    KeepOutsideComments(line, open, marks, pending);
    if (marks.stray_closer != 0 && stray.line == 0) stray = {i + 1, marks.stray_closer, line, true};
    if (open != OpenComment::kNone) {
      if (marks.opened_at != 0) start = {i + 1, marks.opened_at, line, false};
      continue;
    }
    if (!IsBlankText(pending)) out.Add(pending, pending_origin);
    pending.clear();
  }
  // A stray "}" always stands before a comment left open: that comment
  // would have taken the "}" as its end.
  if (stray.line != 0) state.comment = std::move(stray);
  else if (open != OpenComment::kNone) state.comment = std::move(start);
  list = std::move(out);
}

}  // namespace ct
