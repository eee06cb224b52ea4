// One layout pass: every structure line whose member values all resolve gets
// its member offsets and its three size fields. A line that does not resolve
// yet is left exactly as it was read and tried again in the next cycle.
#include "pipeline/layout/structures.h"

#include <algorithm>
#include <cstdint>
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
  // b only grows, and a written-back value holds no colon.
  for (Pos b = NextColon(line, 0); b != 0; b = NextColon(line, b)) {
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
    std::string normalised = operand->text;
    if (operand->prefix != -1) normalised = std::to_string(operand->prefix) + "_" + normalised;
    line.Replace(b + 2, e - b - 2, normalised);
    result.members.push_back({std::move(value), operand->value, operand->prefix, VariantMarkOf(MemberName(line, b))});
  }
  return result;
}

void WriteOffsets(LayoutLine& line, const std::vector<std::int64_t>& offsets) {
  size_t k = 0;
  // Resolution wrote back values free of colons and " ;", so this walk meets
  // the members it resolved, one offset each.
  for (Pos b = NextColon(line, 0); b != 0 && k < offsets.size(); b = NextColon(line, b), ++k) {
    Pos e = MemberValueEnd(line, b);
    line.Replace(b + 2, e - b - 2, std::to_string(offsets[k]));
  }
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

LayoutPass LayOutStructures(LineList& working, RecordPadding padding, const LineList& declarations) {
  LayoutPass pass;
  auto unresolved = [&pass](size_t i, std::string value, std::string member) {
    pass.last_unresolved = i;
    pass.unresolved_value = value;
    pass.unresolved.push_back({i, std::move(value), std::move(member)});
  };
  const Parents parents = ParentsOf(working);
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string read = working.Get(i);
    LayoutLine line(read);
    if (FindText(line.structure, kLaidOutMark, 1) != 0) continue;

    Resolution resolution = ResolveMembers(working, line);
    if (!resolution.resolved) {
      unresolved(i, std::move(resolution.unresolved_value), std::move(resolution.unresolved_member));
      continue;
    }
    Pos brace = FindChar(line.structure, '{', 1);
    if (brace == 0) continue;
    const std::string name = Copy(line.text, 1, FindChar(line.structure, '=', 1) - 1);

    // A derived class continues its parent's instance, so it waits until the
    // parent is laid out; its forward declaration waits for the full one.
    PlacementStart start;
    auto parent = parents.find(LowerAscii(Trim(name)));
    if (parent != parents.end()) {
      if (resolution.members.empty() && HasNamesakeWithMembers(working, i, name)) continue;
      auto parent_start = ParentStart(working, declarations, parent->second);
      if (!parent_start) {
        unresolved(i, parent->second, std::string());
        continue;
      }
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
      if (k < resolution.members.size())
        unresolved(i, resolution.members[k].value, MemberName(line, NthColon(line, k)));
      else
        unresolved(i, Trim(name), std::string());
      continue;
    }
    WriteOffsets(line, placement.offsets);

    if (placement.whole != 0) {
      std::string fields = SizeFields(placement);
      line.Insert(fields, brace + 1);
      if (GiveNamesakesSizes(working, i, name, fields)) pass.changed = true;
    }
    if (line.text == read) continue;
    working.Put(i, std::move(line.text));
    pass.changed = true;
  }
  return pass;
}

}  // namespace ct
