#include "pipeline/offsets.h"

#include <cstdint>
#include <optional>
#include <string>

#include "pipeline/texts.h"
#include "text/gbk.h"
#include "text/lookups.h"
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

void ReportParent(Reporter& reporter, const std::string& parent) {
  reporter.Log(Gbk(texts::kNotIntegerLogHead) + parent + Gbk(texts::kParentNotIntegerLogTail));
  reporter.Message(Gbk(texts::kCaptionConfirm), parent + Gbk(texts::kParentNotIntegerBoxTail), MessageIcon::kError);
}

void ReportValue(Reporter& reporter, const std::string& value) {
  reporter.Log(Gbk(texts::kNotIntegerLogHead) + value + Gbk(texts::kValueNotIntegerLogTail));
  reporter.Message(Gbk(texts::kCaptionError), value + Gbk(texts::kValueNotIntegerBoxTail), MessageIcon::kError);
}

// Adds `offset` to every number after a colon of one line. Each replacement
// only rewrites digits between a colon and its ";", so the line keeps its
// colons and the walk meets each of them once.
void ShiftLine(std::string& line, long long offset, Reporter& reporter) {
  for (Pos b = FindChar(line, ':', 1); b != 0; b = FindChar(line, ':', b + 1)) {
    Pos e = FindChar(line, ';', b + 1);
    std::string value = Slice(line, b + 2, e - 2);
    auto number = IntegerValue(value);
    if (!number) {
      ReportValue(reporter, value);
      continue;
    }
    Replace(line, b + 2, Len(value), std::to_string(*number + offset));
  }
}

// Deletes the first field `key` of a line, from its leading space through its
// ";". Returns false when the line holds no such field.
bool DeleteField(std::string& line, std::string_view key) {
  Pos p = FindExact(line, key, 1);
  if (p == 0) return false;
  Pos q = FindChar(line, ';', p + 1);
  if (q != 0) Erase(line, p, q - p + 1);
  return true;
}

}  // namespace

void ShiftParentOffsets(LineList& working, Reporter& reporter) {
  const size_t count = working.Count();
  for (size_t i = 0; i < count; ++i) {
    const std::string line = working.Get(i);
    if (!Contains(LowerAscii(line), " setmetatable ")) continue;
    Pos open = FindChar(line, '(', 1);
    Pos close = FindChar(line, ')', open + 1);
    Token names = GetValidToken(Slice(line, open + 2, close - 2), ",");
    std::string child = Trim(names.token);
    std::string parent = Trim(names.rest);
    FindFieldValue(working, parent, " nWholeSize ");
    auto whole_size = IntegerValue(parent);
    if (!whole_size) {
      ReportParent(reporter, parent);
      continue;
    }
    ShiftMemberOffsets(working, child, ParentOffset(*whole_size), reporter);
  }
}

bool ShiftMemberOffsets(LineList& working, std::string_view name, long long offset, Reporter& reporter) {
  bool found = false;
  for (size_t i = 0; i < working.Count(); ++i) {
    std::string line = working.Get(i);
    if (!Contains(line, "=") || !SameText(Trim(GetValidToken(line, "=").token), name)) continue;
    found = true;
    ShiftLine(line, offset, reporter);
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
