// One layout pass: every structure line whose member values all resolve gets
// its member offsets and its three size fields. A line that does not resolve
// yet is left exactly as it was read and tried again in the next cycle.
#include "pipeline/layout/structures.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "pipeline/candidate_lines.h"
#include "pipeline/inheritance.h"
#include "pipeline/layout/placement.h"
#include "pipeline/lookups.h"
#include "pipeline/operands.h"
#include "pipeline/stop_request.h"
#include "pipeline/variant_parts.h"
#include "text/scan.h"

namespace ct {

namespace {

constexpr std::string_view kLaidOutMark = " nWholeSize :";
constexpr std::string_view kPacked = " packed ";

// A line under layout, and the copy of it in which its structure (braces,
// member colons and ends, the packed keyword) is searched: braces, colons
// and semicolons inside double-quoted strings are text, so the copy has the
// strings' contents masked. Every edit is made to both, so that positions
// found in one apply to the other.
struct LayoutLine {
  explicit LayoutLine(std::string_view line) : text(line), structure(MaskQuotedStrings(line)) {}

  void Replace(Pos from, Pos count, std::string_view what) {
    ct::Replace(text, from, count, what);
    ct::Replace(structure, from, count, what);
  }
  void Insert(std::string_view what, Pos at) {
    InsertAt(text, what, at);
    InsertAt(structure, what, at);
  }
  // Every span (position and length, left to right, apart) replaced by its
  // text in one pass over the line: one Replace per member would copy the
  // rest of the line for each, which a record of many members feels.
  void ReplaceSpans(const std::vector<std::pair<Pos, Pos>>& spans, const std::vector<std::string>& with) {
    std::string new_text, new_structure;
    new_text.reserve(text.size());
    new_structure.reserve(structure.size());
    size_t from = 0;
    for (size_t k = 0; k < spans.size(); ++k) {
      const auto start = static_cast<size_t>(spans[k].first - 1);
      new_text.append(text, from, start - from).append(with[k]);
      new_structure.append(structure, from, start - from).append(with[k]);
      from = start + static_cast<size_t>(spans[k].second);
    }
    text = new_text.append(text, from);
    structure = new_structure.append(structure, from);
  }

  std::string text;
  std::string structure;
};

// Members are found colon by colon; a member's value runs from the second
// byte after its colon to the byte before the next " ;".
Pos MemberValueEnd(const LayoutLine& line, Pos colon) { return FindText(line.structure, " ;", colon + 1); }
Pos NextColon(const LayoutLine& line, Pos colon) { return FindChar(line.structure, ':', colon + 1); }

// The colon of the k-th member (from 0), or 0.
Pos NthColon(const LayoutLine& line, size_t k) {
  Pos colon = NextColon(line, 0);
  for (; colon != 0 && k > 0; --k) colon = NextColon(line, colon);
  return colon;
}

// The word in front of a member's colon: its name.
std::string MemberName(const LayoutLine& line, Pos colon) {
  if (colon == 0) return {};
  Pos last = colon - 1;
  while (last > 0 && At(line.structure, last) == ' ') --last;
  Pos first = last;
  while (first > 1 && At(line.structure, first - 1) != ' ') --first;
  return Slice(line.text, first, last);
}

struct Resolution {
  std::vector<Member> members;
  bool resolved = true;
  std::string unresolved_value;  // the first value that did not resolve
  std::string unresolved_member;  // and the member it belongs to
};

// Resolves every member value and writes it back in its normalised form
// (with its size prefix, if any), as the placement walk reads it.
Resolution ResolveMembers(const LineList& working, LayoutLine& line) {
  Resolution result;
  std::vector<std::pair<Pos, Pos>> spans;
  std::vector<std::string> normalised;
  // b only grows. A written-back value holds no colon, so the next member's
  // colon stands right after this one or at the end of its value or later.
  for (Pos b = NextColon(line, 0); b != 0;) {
    ThrowIfStopRequested();
    Pos e = MemberValueEnd(line, b);
    std::string value = e == 0 ? std::string() : Slice(line.text, b + 2, e - 1);
    auto operand = ResolveMemberValue(working, value);
    if (!operand || !FitsSize(operand->value)) {
      result.resolved = false;
      result.unresolved_value = std::move(value);
      result.unresolved_member = MemberName(line, b);
      return result;
    }
    std::string text = operand->text;
    if (operand->prefix != -1) text = std::to_string(operand->prefix) + "_" + text;
    spans.emplace_back(b + 2, e - b - 2);
    normalised.push_back(std::move(text));
    result.members.push_back({std::move(value), operand->value, operand->prefix, VariantMarkOf(MemberName(line, b))});
    b = At(line.structure, b + 1) == ':' ? b + 1 : FindChar(line.structure, ':', e);
  }
  line.ReplaceSpans(spans, normalised);
  return result;
}

void WriteOffsets(LayoutLine& line, const std::vector<std::int64_t>& offsets) {
  std::vector<std::pair<Pos, Pos>> spans;
  std::vector<std::string> texts;
  // Resolution wrote back values free of colons and " ;", so this walk meets
  // the members it resolved, one offset each.
  for (Pos b = NextColon(line, 0); b != 0 && spans.size() < offsets.size(); b = NextColon(line, b)) {
    Pos e = MemberValueEnd(line, b);
    spans.emplace_back(b + 2, e - b - 2);
    texts.push_back(std::to_string(offsets[spans.size() - 1]));
  }
  line.ReplaceSpans(spans, texts);
}

std::string SizeFields(const Placement& placement) {
  return " nWholeSize : " + std::to_string(placement.whole) + " ;" + " nAddSize : " + std::to_string(placement.add) +
         " ;" + " nMaxSize : " + std::to_string(placement.max) + " ;";
}

// The lines that may begin with `name` and its "=": of an indexed list,
// those filed under the name and those filed under an empty one (a line at
// the token limit reads as nameless). A name that is empty or holds "="
// (inside a string) reads differently at a line's start: every line.
std::vector<size_t> LinesThatMayBeginWith(const LineList& working, std::string_view name) {
  if (!working.Indexed() || name.empty() || Contains(name, "=")) return EveryLine(working);
  std::vector<size_t> lines = CandidateLines(working, DefinitionNameKey, Trim(name)).All();
  std::vector<size_t> nameless = CandidateLines(working, DefinitionNameKey, "").All();
  lines.insert(lines.end(), nameless.begin(), nameless.end());
  std::sort(lines.begin(), lines.end());
  return lines;
}

// The parent of every class that has one, by the class's name in lower
// case; of several inheritance lines of one class the first counts.
using Parents = std::unordered_map<std::string, std::string>;

Parents ParentsOf(const LineList& working) {
  Parents parents;
  for (size_t i = 0; i < working.Count(); ++i)
    if (auto inheritance = ReadInheritanceLine(working.Get(i)))
      parents.emplace(LowerAscii(Trim(inheritance->child)), Trim(inheritance->parent));
  return parents;
}

// The class an alias of a class stands for. The working list holds such an
// alias as the pointer size it became, so its declaration is read, where a
// class named in a type reads as the pointer it is (" TQuery = ^TObject ; ").
bool FollowClassAlias(const LineList& declarations, std::string& name) {
  std::string declared = name;
  if (!FindTypeAlias(declarations, declared)) return false;
  name = Trim(declared.rfind('^', 0) == 0 ? declared.substr(1) : declared);
  return !name.empty();
}

// Where a derived class's own members begin: the end of its parent's
// instance (its whole size), with the parent's alignment; nothing while the
// parent is not laid out. Each alias is followed once, so a cycle of
// aliases ends.
std::optional<PlacementStart> ParentStart(const LineList& working, const LineList& declarations, std::string parent) {
  std::set<std::string> followed;
  // Every turn follows a name not followed before.
  while (true) {
    std::string whole = parent;
    int max = -1;
    if (GetStructureSizes(working, whole, max)) {
      auto offset = ParseInt64(whole);
      if (!offset || !FitsSize(*offset)) return std::nullopt;
      return PlacementStart{*offset, std::max(max, 1)};
    }
    if (!followed.insert(LowerAscii(parent)).second || !FollowClassAlias(declarations, parent))
      return std::nullopt;
  }
}

// Whether a line starts with `name` (untrimmed) and its "=": most lines
// fail this at once, without being copied.
bool BeginsWithName(const std::string& line, std::string_view name) {
  return line.compare(0, name.size(), name) == 0 && At(line, Len(name) + 1) == '=';
}

// Declarations of the same name made earlier or later (a forward declaration
// left as an empty pair of braces) take the sizes of the full one; their
// braces then hold the size fields only.
bool GiveNamesakesSizes(LineList& working, size_t self, std::string_view name, std::string_view fields) {
  bool changed = false;
  for (size_t j : LinesThatMayBeginWith(working, name)) {
    if (j == self) continue;
    const std::string& candidate = working.Get(j);
    if (!BeginsWithName(candidate, name)) continue;
    LayoutLine other(candidate);
    Pos equals = FindChar(other.structure, '=', 1);
    if (equals == 0 || Copy(other.text, 1, equals - 1) != name) continue;
    Pos open = FindChar(other.structure, '{', 1);
    if (open == 0) continue;
    Pos close = FindChar(other.structure, '}', open);
    other.Replace(open + 1, close - open - 1, fields);
    if (other.text == working.Get(j)) continue;
    working.Put(j, std::move(other.text));
    changed = true;
  }
  return changed;
}

// A line of `name` other than `self` that holds members: the declaration
// whose sizes a member-less line of the same name (a forward declaration)
// takes over.
bool HasNamesakeWithMembers(const LineList& working, size_t self, std::string_view name) {
  for (size_t j : LinesThatMayBeginWith(working, name)) {
    if (j == self || !BeginsWithName(working.Get(j), name)) continue;
    const std::string mask = MaskQuotedStrings(working.Get(j));
    Pos open = FindChar(mask, '{', 1);
    if (open != 0 && FindChar(mask, ':', open) != 0) return true;
  }
  return false;
}

}  // namespace

namespace {

// What one try at a line gave.
struct LineLayout {
  enum { kNotAStructure, kUnresolved, kLaidOut } result = kNotAStructure;
  std::string unresolved_value;
  std::string unresolved_member;  // whose value it is; empty for a class's parent
  std::string name;      // of a structure laid out
  bool changed = false;  // a line of the list was written back
};

LineLayout LayOutLine(LineList& working, size_t i, RecordPadding padding, const LineList& declarations,
                      const Parents& parents) {
  LineLayout out;
  auto unresolved = [&](std::string value, std::string member) {
    out.result = LineLayout::kUnresolved;
    out.unresolved_value = std::move(value);
    out.unresolved_member = std::move(member);
    return out;
  };
  const std::string read = working.Get(i);
  LayoutLine line(read);
  if (FindText(line.structure, kLaidOutMark, 1) != 0) return out;

  Resolution resolution = ResolveMembers(working, line);
  if (!resolution.resolved)
    return unresolved(std::move(resolution.unresolved_value), std::move(resolution.unresolved_member));
  Pos brace = FindChar(line.structure, '{', 1);
  if (brace == 0) return out;
  const std::string name = Copy(line.text, 1, FindChar(line.structure, '=', 1) - 1);

  // A derived class continues its parent's instance, so it waits until the
  // parent is laid out; its forward declaration waits for the full one.
  PlacementStart start;
  auto parent = parents.find(LowerAscii(Trim(name)));
  if (parent != parents.end()) {
    if (resolution.members.empty() && HasNamesakeWithMembers(working, i, name)) return out;
    auto parent_start = ParentStart(working, declarations, parent->second);
    if (!parent_start) return unresolved(parent->second, std::string());
    start = *parent_start;
  }

  Placement placement;
  if (Pos packed = FindText(line.structure, kPacked, 1); packed != 0) {
    line.Replace(packed, Len(kPacked), " ");
    brace = packed + 1;
    placement = PlacePacked(resolution.members, start);
  } else {
    placement = PlaceUnpacked(resolution.members, start, padding);
  }
  if (placement.overflow) {
    const size_t k = *placement.overflow;
    if (k < resolution.members.size()) return unresolved(resolution.members[k].value, MemberName(line, NthColon(line, k)));
    return unresolved(Trim(name), std::string());
  }
  WriteOffsets(line, placement.offsets);

  if (placement.whole != 0) {
    out.result = LineLayout::kLaidOut;
    out.name = name;
    std::string fields = SizeFields(placement);
    line.Insert(fields, brace + 1);
    if (GiveNamesakesSizes(working, i, name, fields)) out.changed = true;
  }
  if (line.text == read) return out;
  working.Put(i, std::move(line.text));
  out.changed = true;
  return out;
}

// The names a value that did not resolve may be waiting for, in lower case:
// every run of letters, digits, "_" and GBK bytes that starts with no digit.
std::vector<std::string> NamesIn(std::string_view value) {
  auto name_byte = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) || c == '_' || byte >= 0x80;
  };
  std::vector<std::string> names;
  // Every round moves past one name or one other byte.
  for (size_t i = 0; i < value.size();) {
    size_t end = i;
    while (end < value.size() && name_byte(value[end])) ++end;
    if (end == i) {
      ++i;
      continue;
    }
    if (!std::isdigit(static_cast<unsigned char>(value[i]))) names.push_back(LowerAscii(value.substr(i, end - i)));
    i = end;
  }
  return names;
}

}  // namespace

LayoutPass LayOutStructures(LineList& working, RecordPadding padding, const LineList& declarations) {
  LayoutPass pass;
  const Parents parents = ParentsOf(working);
  // A line that does not resolve waits for the names in its value; when a
  // structure of such a name is laid out, the lines waiting for it are
  // tried again at once, so that a chain of records that embed the records
  // declared after them lays out in one pass rather than one pass a link.
  std::map<std::string, std::vector<size_t>> waiting;
  std::map<size_t, UnresolvedLine> unresolved;  // by line
  std::vector<size_t> again;
  auto try_line = [&](size_t i) {
    ThrowIfStopRequested();
    LineLayout layout = LayOutLine(working, i, padding, declarations, parents);
    if (layout.changed) pass.changed = true;
    if (layout.result == LineLayout::kUnresolved) {
      for (std::string& name : NamesIn(layout.unresolved_value)) waiting[std::move(name)].push_back(i);
      unresolved[i] = {i, std::move(layout.unresolved_value), std::move(layout.unresolved_member)};
      return;
    }
    unresolved.erase(i);
    if (layout.result != LineLayout::kLaidOut) return;
    auto waiters = waiting.find(LowerAscii(Trim(layout.name)));
    if (waiters == waiting.end()) return;
    again.insert(again.end(), waiters->second.begin(), waiters->second.end());
    waiting.erase(waiters);
  };
  for (size_t i = 0; i < working.Count(); ++i) {
    try_line(i);
    // Each line laid out wakes its waiters once, and a line is laid out once.
    while (!again.empty()) {
      const size_t j = again.back();
      again.pop_back();
      try_line(j);
    }
  }
  for (auto& [index, line] : unresolved) pass.unresolved.push_back(std::move(line));
  if (!pass.unresolved.empty()) {
    pass.last_unresolved = pass.unresolved.back().index;
    pass.unresolved_value = pass.unresolved.back().value;
  }
  return pass;
}

}  // namespace ct
