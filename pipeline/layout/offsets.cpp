#include "pipeline/layout/offsets.h"

#include <cstdint>
#include <optional>
#include <string>

#include "pipeline/candidate_lines.h"
#include "pipeline/input_file.h"
#include "pipeline/layout/layout.h"
#include "pipeline/lookups.h"
#include "pipeline/texts.h"
#include "pipeline/stop_request.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct {

namespace {

// Offsets and sizes describe a 32-bit host: a number outside 32 bits is no
// usable integer here, so it is reported like any other non-integer text.
std::optional<std::int32_t> IntegerValue(std::string_view text) {
  if (!IsIntegerText(text)) return std::nullopt;
  return ParseInt32(text);
}

// The start of the parent's instance rounded up to the next multiple of 8.
long long ParentOffset(std::int32_t whole_size) {
  long long p = whole_size;
  if (p % 8 != 0) p = (p / 8 + 1) * 8;
  return p;
}

// Both reports name the line of the input where the class is declared.
void ReportParent(Reporter& reporter, const std::string& parent, LineOrigin origin) {
  const std::string box = parent + Gbk(texts::kParentNotIntegerBoxTail);
  reporter.Log(Gbk(texts::kNotIntegerLogHead) + parent + Gbk(texts::kParentNotIntegerLogTail) + WhereInInput(origin));
  reporter.Message(Gbk(texts::kCaptionConfirm), box, MessageIcon::kError);
  reporter.Problem(ProblemKind::kFailure, box, origin);
}

void ReportValue(Reporter& reporter, const std::string& value, LineOrigin origin) {
  const std::string box = value + Gbk(texts::kValueNotIntegerBoxTail);
  reporter.Log(Gbk(texts::kNotIntegerLogHead) + value + Gbk(texts::kValueNotIntegerLogTail) + WhereInInput(origin));
  reporter.Message(Gbk(texts::kCaptionError), box, MessageIcon::kError);
  reporter.Problem(ProblemKind::kFailure, box, origin);
}

// Adds `offset` to every number after a colon of one line. Colons and
// semicolons inside string literals are text, so the walk runs on the masked
// copy. Each replacement only rewrites digits between a colon and its ";"
// (in the line and its mask alike), so the line keeps its colons and the
// walk meets each of them once.
void ShiftLine(std::string& line, long long offset, Reporter& reporter, LineOrigin origin) {
  std::string mask = MaskQuotedStrings(line);
  for (Pos b = FindChar(mask, ':', 1); b != 0; b = FindChar(mask, ':', b + 1)) {
    Pos e = FindChar(mask, ';', b + 1);
    std::string value = Slice(line, b + 2, e - 2);
    auto number = IntegerValue(value);
    if (!number) {
      ReportValue(reporter, value, origin);
      continue;
    }
    std::string shifted = std::to_string(*number + offset);
    Replace(line, b + 2, Len(value), shifted);
    Replace(mask, b + 2, Len(value), shifted);
  }
}

// Deletes the first field `key` outside string literals, from its leading
// space through its ";". Returns false when the line holds no such field.
bool DeleteField(std::string& line, std::string_view key) {
  const std::string mask = MaskQuotedStrings(line);
  Pos p = FindExact(mask, key, 1);
  if (p == 0) return false;
  Pos q = FindChar(mask, ';', p + 1);
  if (q != 0) Erase(line, p, q - p + 1);
  return true;
}

// The name of a definition line: the trimmed text before its first "="
// outside string literals; nothing when the line defines nothing.
std::optional<std::string> DefinitionName(std::string_view line) {
  const std::string mask = MaskQuotedStrings(line);
  if (FindChar(mask, '=', 1) == 0) return std::nullopt;
  return Trim(GetValidToken(mask, "=").token);
}

// The key under which an indexed list files a line for ShiftMemberOffsets.
bool DefinedNameKey(std::string_view line, std::string& key) {
  auto name = DefinitionName(line);
  if (!name) return false;
  key = LowerAscii(*name);
  return true;
}

}  // namespace

void ShiftParentOffsets(LineList& working, Reporter& reporter) {
  const size_t count = working.Count();
  for (size_t i = 0; i < count; ++i) {
    ThrowIfStopRequested();
    const std::string& line = working.Get(i);
    // A string literal that mentions setmetatable is no inheritance line.
    const std::string mask = MaskQuotedStrings(line);
    if (!Contains(LowerAscii(mask), " setmetatable ")) continue;
    Pos open = FindChar(mask, '(', 1);
    Pos close = FindChar(mask, ')', open + 1);
    Token names = GetValidToken(Slice(line, open + 2, close - 2), ",");
    std::string child = Trim(names.token);
    std::string parent = Trim(names.rest);
    FindFieldValue(working, parent, " nWholeSize ");
    auto whole_size = IntegerValue(parent);
    if (!whole_size) {
      ReportParent(reporter, parent, working.Origin(i));
      continue;
    }
    ShiftMemberOffsets(working, child, ParentOffset(*whole_size), reporter);
  }
}

bool ShiftMemberOffsets(LineList& working, std::string_view name, long long offset, Reporter& reporter) {
  bool found = false;
  for (size_t i : CandidateLines(working, DefinedNameKey, name).All()) {
    std::string line = working.Get(i);
    auto line_name = DefinitionName(line);
    if (!line_name || !SameText(*line_name, name)) continue;
    found = true;
    ShiftLine(line, offset, reporter, working.Origin(i));
    working.Put(i, std::move(line));
  }
  return found;
}

void RemoveSizeFields(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    std::string line = working.Get(i);
    if (!DeleteField(line, " nWholeSize ")) continue;
    DeleteField(line, " nAddSize ");
    DeleteField(line, " nMaxSize ");
    working.Put(i, std::move(line));
  }
}

}  // namespace ct
