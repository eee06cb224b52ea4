// The type descriptor of a member: what kind of value lies at its offset,
// read from the declared type as written in the reference list.
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "pipeline/accessors/descriptor.h"
#include "pipeline/lookups.h"
#include "pipeline/operands.h"
#include "pipeline/ordinals.h"
#include "text/scan.h"

namespace ct {

namespace {

struct Lists {
  const LineList& working;
  const LineList& reference;
  const LineList& snapshot;
};

// Follows type aliases through the reference list, each name at most once,
// so that a cycle of aliases (A = B ; B = A) ends where it would repeat.
// Every successful step uses the definition line of a name not followed
// before, so a trail takes at most as many steps as the list has lines.
class AliasTrail {
 public:
  explicit AliasTrail(const LineList& reference) : reference_(reference) {}

  // Replaces `name` by its alias; false when it has none or was followed
  // already.
  bool Follow(std::string& name) {
    if (!followed_.insert(LowerAscii(name)).second) return false;
    return FindTypeAlias(reference_, name);
  }

 private:
  const LineList& reference_;
  std::set<std::string> followed_;
};

// The type code of a name, spelt as the prelude spells it.
std::optional<std::string> TypeCode(const LineList& working, std::string_view name) {
  std::string code;
  if (!FindTypeCode(working, name, code)) return std::nullopt;
  return code;
}

// The code an element with a size constant names: its own, or the code
// spelt after the name where none is declared.
std::string ElementCode(const LineList& working, const std::string& name) {
  return TypeCode(working, name).value_or("vt_" + name);
}

// A descriptor list names its type in its last item; the items in front
// of it are numbers. `head` keeps the comma before the last item.
struct Items {
  std::string head;
  std::string last;
};

Items SplitLastItem(const std::string& t) {
  Pos comma = FindCharInRange(t, ',', Len(t), 1);
  return {Copy(t, 1, comma), Tail(t, comma + 1)};
}

// The first "(" outside an array's bounds. A bound that the reference list
// could not reduce, such as "( N ) - 1" with N an expression constant, is
// arithmetic and lists no enumeration values.
Pos EnumerationOpen(const std::string& t) {
  Pos depth = 0;
  for (Pos p = 1; p <= Len(t); ++p) {
    char c = At(t, p);
    if (c == '[') ++depth;
    if (c == ']' && depth > 0) --depth;
    if (c == '(' && depth == 0) return p;
  }
  return 0;
}

// Bounds and enumeration values as numbers or constants.
NumberOf NumbersIn(const LineList& working) {
  return [&working](std::string_view text) -> std::optional<std::int64_t> {
    auto operand = ResolveOperand(working, text, OperandSide::kLeft);
    if (!operand) return std::nullopt;
    return operand->value;
  };
}

// The bytes of the set a type text declares from its "set of" on (1 when
// its base cannot be told, as its size is), and where that "set of" stands.
struct SetText {
  Pos at = 0;
  std::int64_t bytes = 1;
};
std::optional<SetText> SetIn(const Lists& lists, const std::string& t) {
  Pos set = FindText(t, "set of ", 1);
  if (set == 0) return std::nullopt;
  auto base = OrdinalRangeOf(lists.reference, Tail(t, set + 7), NumbersIn(lists.working));
  return SetText{set, base ? SetBytes(*base) : 1};
}

// The storage of a subrange type written out (" 0 .. 255 ",
// " Low ( Word ) .. High ( Word ) ", " clRed .. clBlue "); nothing for any
// other type text, an array's bounds included.
std::optional<OrdinalStorage> SubrangeStorage(const Lists& lists, const std::string& t) {
  if (FindText(t, " .. ", 1) == 0 || Contains(t, "[")) return std::nullopt;
  auto range = OrdinalRangeOf(lists.reference, t, NumbersIn(lists.working));
  if (!range) return std::nullopt;
  return StorageOf(*range);
}

// A set that fits an integer of 1, 2 or 4 bytes reads as that integer, a
// bit per value; a longer one as its bytes. An enumeration, and a subrange,
// reads as the integer that stores it.
std::string ReduceSetsAndEnumerations(const Lists& lists, const std::string& t) {
  if (auto set = SetIn(lists, t)) {
    const std::string head = Copy(t, 1, set->at - 1);
    switch (set->bytes) {
      case 1: return head + "Byte";
      case 2: return head + "Word";
      case 4: return head + "Longword";
      default: return head + "1,Byte";
    }
  }
  if (auto storage = SubrangeStorage(lists, t)) return std::string(storage->type);
  Pos open = EnumerationOpen(t);
  if (open == 0) return t;
  Pos close = FindChar(t, ')', open);
  auto range = EnumerationRange(Slice(t, open + 1, close - 1), NumbersIn(lists.working));
  if (!range) return t;
  return Copy(t, 1, open - 1) + std::string(StorageOf(*range).type);
}

// A procedural type written out with parameters or a result is named by its
// leading keyword, since its parameter types may well spell the other one
// (function ( p : TProcedureList ) : Boolean).
std::optional<std::string> RoutineKeyword(const std::string& t) {
  const std::string head = LowerAscii(GetValidToken(Trim(t), " (").token);
  if (head == "procedure") return "Procedure";
  if (head == "function") return "Function";
  return std::nullopt;
}

std::optional<std::string> InlineRoutineCode(const std::string& t) {
  if (!Contains(t, ";") && !Contains(t, ":")) return std::nullopt;
  return RoutineKeyword(t);
}

// The code of a named procedural type, declared with parameters (which is
// no alias) or as an alias of a routine written out: an array of them holds
// routine addresses, not values of a type called like the name.
std::optional<std::string> NamedRoutineCode(const LineList& reference, std::string name) {
  std::string keyword = name;
  if (FindRoutineType(reference, keyword)) return "vt_" + RoutineKeyword(keyword).value_or(keyword);
  AliasTrail trail(reference);
  // Ends with the trail.
  while (trail.Follow(name))
    if (auto routine = RoutineKeyword(name)) return "vt_" + *routine;
  return std::nullopt;
}

// The keyword as a word of its own: a type called TProcedureKind or
// TFunctionList is no routine.
std::optional<std::string> RoutineCode(const std::string& t) {
  const std::string words = " " + t + " ";
  if (ContainsText(words, " procedure ")) return "Procedure";
  if (ContainsText(words, " function ")) return "Function";
  return std::nullopt;
}

// The size of a named routine type as the layout read it (the snapshot
// keeps it, where the working list has its declaration back): a method
// pointer ("of object") holds two addresses, any other routine type one.
std::string RoutineSize(const LineList& snapshot, std::string name) {
  int prefix = -1;
  return FindNumericValue(snapshot, name, prefix) ? name : "4";
}

// "String [ n ]" as an array element: n + 1 bytes of short string.
std::optional<std::string> ShortStringElement(const LineList& working, const std::string& t) {
  Pos s = FindExact(t, "String [ ", 1);
  if (s == 0) return std::nullopt;
  Pos close = FindExact(t, " ]", s + 9);
  const std::string length = Trim(Slice(t, s + 9, close - 1));
  if (Contains(length, " ")) return std::nullopt;
  auto value = ResolveOperand(working, length, OperandSide::kLeft);
  if (!value || value->value == std::numeric_limits<std::int64_t>::max()) return std::nullopt;
  return std::to_string(value->value + 1) + ",vt_ShortString";
}

enum class ArrayKind { kDynamic, kFixed };

// The element part that a name tells by itself: a routine type's size and
// code, a basic type's size and code, a structure's whole size and table.
std::optional<std::string> NamedElement(const Lists& lists, const std::string& name) {
  if (auto routine = NamedRoutineCode(lists.reference, name)) return RoutineSize(lists.snapshot, name) + "," + *routine;
  std::int32_t size = 0;
  if (FindIntegerConstant(lists.working, name, size)) return std::to_string(size) + "," + ElementCode(lists.working, name);
  std::string whole = name;
  if (FindFieldValue(lists.snapshot, whole, " nWholeSize ")) return whole + "," + name;
  return std::nullopt;
}

// The element part of an array descriptor for an element name without
// spaces: its size and code, its whole size and table, or a pointer. An
// alias (" png_byte = Byte ; ", " ACE_HEADER = _ACE_HEADER ; ") is followed
// to the first name that tells the element, so that the element keeps its
// size.
std::string ArrayElement(const Lists& lists, const std::string& element, ArrayKind kind) {
  if (auto named = NamedElement(lists, element)) return *named;
  if (Contains(element, "^")) return "4," + element;
  std::int32_t size = 0;
  std::string alias = element;
  AliasTrail trail(lists.reference);
  while (trail.Follow(alias)) {
    if (Contains(alias, "^")) {
      if (kind == ArrayKind::kFixed) return "4," + alias;
      return "4,-1," + ReplaceFirst(alias, "^", "");
    }
    if (auto named = NamedElement(lists, alias)) return *named;
  }
  // An enumeration or a set reached through its name: its elements are the
  // integers its own descriptor names (a Byte for a few values), not the
  // text of its values, which no Lua reads.
  const std::string reduced = ReduceSetsAndEnumerations(lists, alias);
  const Items items = SplitLastItem(reduced);
  if (reduced == alias || !FindIntegerConstant(lists.working, items.last, size)) return alias;
  if (items.head.empty()) return std::to_string(size) + "," + ElementCode(lists.working, items.last);
  // A set longer than an integer: each element an array of its bytes.
  return std::to_string(SetIn(lists, alias)->bytes) + "," + items.head + ElementCode(lists.working, items.last);
}

std::string ReduceArrayElement(const Lists& lists, const std::string& element, ArrayKind kind) {
  if (!Contains(element, " ")) return ArrayElement(lists, element, kind);
  if (auto short_string = ShortStringElement(lists.working, element)) return *short_string;
  if (auto storage = SubrangeStorage(lists, element))
    return std::to_string(storage->bytes) + "," + ElementCode(lists.working, std::string(storage->type));
  return element;
}

// A dynamic array is a pointer to its elements: the indirection comes first.
std::string ReduceDynamicArray(const Lists& lists, std::string t) {
  if (FindText(t, "array of ", 1) == 0) return t;
  t = ReplaceAllText(t, "array of ", "^");
  const std::string element = Trim(Tail(t, FindChar(t, '^', 1) + 1));
  return "-1," + ReduceArrayElement(lists, element, ArrayKind::kDynamic);
}

std::string ReduceFixedArray(const Lists& lists, std::string t) {
  Pos array = FindText(t, "array ", 1);
  if (array == 0) return t;
  if (Pos of = FindText(t, " of ", array)) t = Trim(Tail(t, of + 4));
  // An array of arrays is described by its innermost element, as an array
  // of several dimensions is. Each turn drops an " of ", so the walk ends.
  while (FindText(t, "array [ ", 1) == 1) {
    Pos of = FindText(t, " of ", 1);
    if (of == 0) break;
    t = Trim(Tail(t, of + 4));
  }
  return ReduceArrayElement(lists, t, ArrayKind::kFixed);
}

// Pointers: every "^" met, written or through a pointer alias, adds one
// level of indirection in front of the name pointed to. Only the last item
// is a name: in an array's descriptor the pointer is the element.
void ResolvePointer(const Lists& lists, std::string& t) {
  const Items items = SplitLastItem(t);
  std::string w = items.last;
  if (Contains(w, " ")) return;
  std::string start = w;
  AliasTrail trail(lists.reference);
  Pos hat = FindChar(w, '^', 1);
  if (hat == 0) {
    while (trail.Follow(w)) {
      if (Contains(w, " ")) {
        w = start;
        break;
      }
      hat = FindChar(w, '^', 1);
      if (hat != 0) break;
      start = w;
    }
  }
  if (hat == 0) return;
  // An alias of a pointer type keeps its own code when it has one
  // (PString = PAnsiString); else the whole name, however many aliases
  // it took, becomes the indirections and what they point to.
  if (!SameText(start, items.last) && TypeCode(lists.working, items.last)) return;
  int levels = 0;
  // Every round follows the trail once more, and the trail ends.
  while (true) {
    // Every turn erases the "^" it found.
    for (; hat != 0; hat = FindChar(w, '^', hat)) {
      Erase(w, hat, 1);
      --levels;
    }
    const std::string target = w;
    if (!trail.Follow(w)) break;
    if (Contains(w, " ")) {
      w = target;
      break;
    }
    hat = FindChar(w, '^', 1);
    if (hat == 0) break;
  }
  // The last item is one name, written or reached: the whole of it becomes
  // the indirections and what they point to.
  t = items.head + std::to_string(levels) + "," + w;
}

// One round: the declared type (or the alias reached) reduced to a code
// name, a structure name or a descriptor list.
std::string Reduce(const Lists& lists, std::string t) {
  if (auto code = InlineRoutineCode(t)) return *code;
  t = ReduceSetsAndEnumerations(lists, t);
  if (auto code = RoutineCode(t)) return *code;
  t = ReduceDynamicArray(lists, t);
  t = ReduceFixedArray(lists, t);
  ResolvePointer(lists, t);
  return t;
}

// A procedural type declared with parameters or a result is no alias, but
// what a member of that type holds is a routine's address all the same.
std::string WithRoutineCode(const LineList& reference, const std::string& descriptor, const std::string& name) {
  std::string keyword = name;
  if (!FindRoutineType(reference, keyword)) return descriptor;
  return ReplaceFirstText(descriptor, name, "vt_" + RoutineKeyword(keyword).value_or(keyword));
}

}  // namespace

std::string ResolveTypeDescriptor(const LineList& working, const LineList& reference, const LineList& snapshot,
                                  std::string_view declared_type) {
  const Lists lists{working, reference, snapshot};
  std::string descriptor;
  std::string previous;
  std::string t(declared_type);
  AliasTrail trail(reference);
  // Every round follows the trail once more, and the trail ends.
  while (true) {
    t = Reduce(lists, t);
    if (auto code = TypeCode(working, t)) t = *code;
    else if (ContainsText(t, "String [ ")) t = "vt_ShortString";
    const Items items = SplitLastItem(t);
    std::string last = items.last;
    if (auto code = TypeCode(working, last)) t = items.head + *code;
    // An alias refines the name it stands for inside what was found so far.
    descriptor = descriptor.empty() ? t : ReplaceFirstText(descriptor, previous, t);
    previous = last;
    if (!trail.Follow(last)) return WithRoutineCode(reference, descriptor, previous);
    t = last;
  }
}

}  // namespace ct
