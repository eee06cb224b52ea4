#include "pipeline/normalise/declarations.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>

#include "pipeline/pascal_words.h"
#include "pipeline/variant_parts.h"

namespace ct {

namespace {

// ---- The tokens of a statement ----------------------------------------------

// A name or number, a string literal or one symbol, with the number of round
// and square brackets open around it.
struct Lexeme {
  Pos first = 0;
  Pos last = 0;
  int depth = 0;
  bool word = false;
};

bool IsWordByte(unsigned char c) {
  return c == '_' || c == '&' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c >= 0x80;
}

std::vector<Lexeme> Tokenize(std::string_view s) {
  std::vector<Lexeme> tokens;
  int depth = 0;
  Pos p = 1;
  // Every round moves p past at least one byte.
  while (p <= Len(s)) {
    const auto c = static_cast<unsigned char>(At(s, p));
    if (IsBlank(c)) {
      ++p;
      continue;
    }
    Lexeme token{p, p, depth, false};
    if (c == '"') {
      Pos close = FindChar(s, '"', p + 1);
      token.last = close == 0 ? Len(s) : close;
    } else if (IsWordByte(c)) {
      token.word = true;
      Pos q = p;
      // A GBK lead byte takes its trail byte with it, whatever that byte is.
      while (q <= Len(s) && IsWordByte(static_cast<unsigned char>(At(s, q))))
        q += static_cast<unsigned char>(At(s, q)) > 0x80 && q < Len(s) ? 2 : 1;
      token.last = std::min(q, Len(s) + 1) - 1;
    } else if (c == '(' || c == '[') {
      ++depth;
    } else if ((c == ')' || c == ']') && depth > 0) {
      token.depth = --depth;
    }
    tokens.push_back(token);
    p = token.last + 1;
  }
  return tokens;
}

bool IsBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return IsBlank(static_cast<unsigned char>(c)); });
}

// ---- What the walk keeps ----------------------------------------------------

// kNoData: a structure that holds no data a table could name: a helper, or
// a record without a name. (A generic template is a class or record whose
// declaration goes whole.)
enum class Kind { kRecord, kObject, kClass, kInterface, kNoData, kCode };

// A structure's body is read section by section: fields, nested types,
// nested constants, or class fields that no instance holds.
enum class Section { kMembers, kTypes, kConstants, kStatic };

// A variant part of a record: "case [tag :] type of", then branches, each
// its labels, ":" and its fields in brackets. Its head and labels are read
// and left out; the fields stay, between the marks of pipeline/variant_parts.h.
enum class PartStage { kHead, kLabels, kBranch };

struct VariantPart {
  int depth = 0;  // the bracket depth of "case", of the labels and of each branch's brackets
  PartStage stage = PartStage::kHead;
  bool tagged = false;    // "case Kind : Byte of": the tag is a field of its own
  bool branched = false;  // a branch has begun
};

struct Frame {
  explicit Frame(Kind structure, int bracket_depth = 0) : kind(structure), depth(bracket_depth) {}

  Kind kind;
  Section section = Section::kMembers;
  int depth = 0;  // the bracket depth of the structure's own fields
  // The structure's name as declared (the name made for an anonymous record).
  std::string name;
  // A field's anonymous record, written as a record of its own.
  bool anonymous = false;
  std::vector<VariantPart> parts;  // open variant parts, innermost last
  // Old-style objects: whether an ancestor holds a VMT pointer, and whether
  // the object's own methods ask for one.
  bool inherits_vmt = false;
  bool wants_vmt = false;
};

struct Opening {
  Kind kind;
  size_t head_end;  // the last token of the structure's head
  bool anonymous = false;  // a field's record type, written out in the field
};

struct OutLine {
  std::string text;
  LineOrigin origin = kNoOrigin;
};

// The lines of one declaration, held back until it ends: a structure is
// written only when its "end" has come, behind what was hoisted out of it.
enum class Fate { kRoot, kWritten, kHoisted, kDropped };

struct Unit {
  size_t base = 0;  // structures open when the declaration began
  Fate fate = Fate::kRoot;
  std::vector<OutLine> before;
  std::vector<OutLine> lines;
  OutLine current;
};

bool IsMemberWord(std::string_view word) {
  for (std::string_view member : {"case", "class", "constructor", "destructor", "end", "function", "generic",
                                  "operator", "procedure", "property"})
    if (SameText(word, member)) return true;
  return false;
}

}  // namespace

// Every word of the input, in lower case: the names an anonymous record's
// made-up name must not take.
std::unordered_set<std::string> WordsOf(const LineList& source) {
  std::unordered_set<std::string> words;
  for (const std::string& line : source.Lines())
    for (const Lexeme& token : Tokenize(line))
      if (token.word) words.insert(LowerAscii(Slice(line, token.first, token.last)));
  return words;
}

struct DeclarationWalk::State {
  State(LineList& list, const LineList& source) : working(list), taken(WordsOf(source)) { units.push_back(Unit{}); }

  LineList& working;
  std::vector<Frame> frames;
  std::vector<Unit> units;  // units[0] writes straight to the list
  std::unordered_set<std::string> objects_with_vmt;
  std::unordered_set<std::string> taken;  // lower case

  // The statement under way.
  std::string_view s;
  const std::vector<Stretch>* stretches = nullptr;
  std::vector<Lexeme> tokens;
  Pos copied = 0;         // the bytes of s handed on so far
  size_t piece_first = 0;  // the first token of the piece under way

  // ---- Tokens ----

  std::string_view Text(size_t t) const {
    const Lexeme& token = tokens[t];
    return s.substr(static_cast<size_t>(token.first - 1), static_cast<size_t>(token.last - token.first + 1));
  }
  bool Is(size_t t, std::string_view word) const { return t < tokens.size() && tokens[t].word && SameText(Text(t), word); }
  bool IsSymbol(size_t t, char c) const {
    return t < tokens.size() && !tokens[t].word && tokens[t].first == tokens[t].last && At(s, tokens[t].first) == c;
  }
  bool Follows(size_t t, std::string_view word) const { return t > 0 && Is(t - 1, word); }
  bool FollowsSymbol(size_t t, char c) const { return t > 0 && IsSymbol(t - 1, c); }

  // The ")" that closes a "(" right after token t, or t when none follows.
  size_t ParentsEnd(size_t t) const {
    if (!IsSymbol(t + 1, '(')) return t;
    const int depth = tokens[t + 1].depth;
    for (size_t k = t + 2; k < tokens.size(); ++k)
      if (tokens[k].depth == depth && IsSymbol(k, ')')) return k;
    return tokens.size() - 1;
  }

  // "helper [( Parent )] for Name" from token t on: its last token.
  size_t HelperEnd(size_t t) const {
    size_t end = ParentsEnd(t);
    if (Is(end + 1, "for")) end = std::min(end + 2, tokens.size() - 1);
    return end;
  }

  // The name in front of the "=" before token t, as written.
  std::string NameBefore(size_t t) const {
    for (size_t k = t; k > 1 && !IsSymbol(k - 1, ';'); --k)
      if (IsSymbol(k - 1, '=')) return tokens[k - 2].word ? std::string(Text(k - 2)) : std::string();
    return {};
  }

  // The first name of the field whose type holds token t ("a" for the
  // record of "a , b : record"): the names before the nearest ":" at t's
  // depth. Empty when a "=" (a type's declaration), a ";" or a branch's
  // bracket comes first.
  std::string FieldNameBefore(size_t t) const {
    const int depth = tokens[t].depth;
    for (size_t k = t; k > 0; --k) {
      const size_t c = k - 1;
      if (tokens[c].depth < depth) return {};
      if (tokens[c].depth > depth) continue;
      if (IsSymbol(c, ';') || IsSymbol(c, '=')) return {};
      if (!IsSymbol(c, ':')) continue;
      if (c == 0 || !tokens[c - 1].word) return {};
      size_t first = c - 1;
      while (first >= 2 && IsSymbol(first - 1, ',') && tokens[first - 2].word) first -= 2;
      return std::string(Text(first));
    }
    return {};
  }

  // "Owner_field", or with a number after it when the input uses that name
  // or an earlier record took it.
  std::string UnusedName(const std::string& wanted) {
    std::string name = wanted;
    for (int n = 2; !taken.insert(LowerAscii(name)).second; ++n) name = wanted + "_" + std::to_string(n);
    return name;
  }

  std::optional<Opening> OpeningAt(size_t t) const {
    const bool typed = FollowsSymbol(t, '=') || Follows(t, "packed") || Follows(t, "bitpacked");
    if (Is(t, "begin") || Is(t, "try") || Is(t, "asm") ||
        (Is(t, "case") && !frames.empty() && frames.back().kind == Kind::kCode))
      return Opening{Kind::kCode, t};
    if (Is(t, "record")) {
      // A record that a statement starts with has no name to be known by
      // (the body of a type an include file leaves to another).
      if (t == piece_first && frames.empty()) return Opening{Kind::kNoData, t};
      // A field's anonymous record, or an array's; not a generic constraint
      // ("<T: record>").
      const size_t head = Follows(t, "packed") || Follows(t, "bitpacked") ? t - 1 : t;
      const bool in_field = FollowsSymbol(head, ':') || Follows(head, "of");
      if (!typed && !in_field) return std::nullopt;
      if (IsSymbol(t + 1, '>') || IsSymbol(t + 1, ',')) return std::nullopt;
      if (Is(t + 1, "helper")) return Opening{Kind::kNoData, HelperEnd(t + 1)};
      if (in_field && InBody()) return Opening{Kind::kRecord, t, true};
      // Outside any structure only a type's array names its element's
      // record; a variable's or a typed constant's holds no data a table
      // could name.
      if (in_field && frames.empty())
        return NameBefore(t).empty() ? Opening{Kind::kNoData, t} : Opening{Kind::kRecord, t, true};
      return Opening{Kind::kRecord, t};
    }
    if (Is(t, "object")) {
      if (!typed && !FollowsSymbol(t, ':')) return std::nullopt;  // "of object" is a method pointer
      return Opening{Kind::kObject, ParentsEnd(t)};
    }
    if (Is(t, "helper") && Follows(t, "type")) return Opening{Kind::kNoData, HelperEnd(t)};
    if (Is(t, "class")) {
      if (!typed || Is(t + 1, "of")) return std::nullopt;
      if (Is(t + 1, "helper")) return Opening{Kind::kNoData, HelperEnd(t + 1)};
      size_t end = t;
      while (Is(end + 1, "sealed") || Is(end + 1, "abstract")) ++end;
      end = ParentsEnd(end);
      // "class ;" and "class ( TParent ) ;" declare no body.
      if (IsSymbol(end + 1, ';')) return std::nullopt;
      return Opening{Kind::kClass, end};
    }
    if (Is(t, "interface") || Is(t, "dispinterface")) {
      if (!FollowsSymbol(t, '=')) return std::nullopt;
      size_t end = ParentsEnd(t);
      if (IsSymbol(end + 1, ';')) return std::nullopt;
      return Opening{Kind::kInterface, end};
    }
    return std::nullopt;
  }

  // ---- Where text goes ----

  LineOrigin OriginAt(Pos p) const {
    auto after = std::upper_bound(stretches->begin(), stretches->end(), p,
                                  [](Pos pos, const Stretch& stretch) { return pos < stretch.first; });
    return after == stretches->begin() ? kNoOrigin : std::prev(after)->origin;
  }

  void Append(Unit& unit, std::string_view text, Pos from) {
    if (unit.fate == Fate::kDropped || text.empty()) return;
    OutLine& line = unit.current;
    // A declaration split off a statement starts a line, with its space.
    if (line.text.empty() && from > 1 && text[0] != ' ') line.text = " ";
    if (IsBlankText(line.text)) {
      auto first = std::find_if(text.begin(), text.end(), [](char c) { return !IsBlank(static_cast<unsigned char>(c)); });
      if (first != text.end()) line.origin = OriginAt(from + (first - text.begin()));
    }
    line.text += text;
  }

  // Hands the statement's bytes up to `to` to the declaration being written.
  void Route(Pos to) {
    if (to <= copied) return;
    Append(units.back(), s.substr(static_cast<size_t>(copied), static_cast<size_t>(to - copied)), copied + 1);
    copied = to;
  }

  // Lexeme t is left out of every line.
  void Skip(size_t t) {
    Route(tokens[t].first - 1);
    copied = tokens[t].last;
  }

  void Write(OutLine line) { working.Add(std::move(line.text), line.origin); }

  void Flush(Unit& unit) {
    OutLine line = std::move(unit.current);
    unit.current = {};
    if (IsBlankText(line.text)) return;
    if (unit.fate == Fate::kRoot)
      Write(std::move(line));
    else
      unit.lines.push_back(std::move(line));
  }

  void Begin(size_t t, Fate fate) {
    Route(tokens[t].first - 1);
    units.push_back(Unit{frames.size(), fate, {}, {}, {}});
  }

  // A structure outside any other is held back from its head on.
  void BeginWritten(size_t t) {
    Route(tokens[t].first - 1);
    Unit unit{0, Fate::kWritten, {}, {}, std::move(units[0].current)};
    units[0].current = {};
    units.push_back(std::move(unit));
  }

  void Complete() {
    Unit unit = std::move(units.back());
    units.pop_back();
    Flush(unit);
    if (unit.fate == Fate::kDropped) return;
    Unit& parent = units.back();
    for (std::vector<OutLine>* part : {&unit.before, &unit.lines})
      for (OutLine& line : *part) {
        if (unit.fate == Fate::kHoisted)
          parent.before.push_back(std::move(line));
        else
          Write(std::move(line));
      }
  }

  // ---- The walk ----

  bool InBody() const {
    if (frames.empty()) return false;
    const Kind kind = frames.back().kind;
    return kind == Kind::kRecord || kind == Kind::kObject || kind == Kind::kClass;
  }

  // The first word of a piece of a structure's body: a section word (true,
  // and the next word starts a piece again), or the start of a nested
  // declaration or of a member.
  bool TakeSectionWord(size_t& t) {
    Frame& frame = frames.back();
    if (Is(t, "type") || Is(t, "const") || Is(t, "var") || Is(t, "threadvar")) {
      frame.section = Is(t, "type") ? Section::kTypes : Is(t, "const") ? Section::kConstants : Section::kMembers;
      Skip(t);
      return true;
    }
    if (Is(t, "class") && (Is(t + 1, "var") || Is(t + 1, "threadvar"))) {
      frame.section = Section::kStatic;
      Skip(t);
      Skip(++t);
      return true;
    }
    if (IsVisibilityWord(Text(t)) || Is(t, "strict")) {
      frame.section = Section::kMembers;
      return true;
    }
    if (IsMemberWord(Text(t)))
      frame.section = Section::kMembers;
    else if (frame.section == Section::kTypes || frame.section == Section::kConstants)
      Begin(t, Fate::kHoisted);
    else if (frame.section == Section::kStatic)
      Begin(t, Fate::kDropped);
    return false;
  }

  void NoteObjectMethod(size_t t) {
    if (frames.empty() || frames.back().kind != Kind::kObject) return;
    if (Is(t, "virtual") || Is(t, "dynamic") || Is(t, "constructor") || Is(t, "destructor"))
      frames.back().wants_vmt = true;
  }

  void Open(size_t t, const Opening& opening) {
    if (opening.anonymous) {
      OpenAnonymous(t);
      return;
    }
    if (opening.kind == Kind::kCode) {
      frames.push_back(Frame(Kind::kCode));
      return;
    }
    if (opening.kind == Kind::kInterface) {
      // A field of an interface type holds a reference: the declaration
      // keeps its name and the word; its body holds methods only.
      Route(tokens[t].first - 1);
      Append(units.back(), "interface;", tokens[t].first);
      copied = tokens[t].last;
      if (units.size() == 1) Flush(units[0]);
      Begin(t, Fate::kDropped);
      frames.push_back(Frame(Kind::kInterface));
      return;
    }
    if (opening.kind == Kind::kNoData) {
      DropDeclaration(t);
      frames.push_back(Frame(Kind::kNoData));
      return;
    }
    if (units.size() == 1) BeginWritten(t);
    Frame frame(opening.kind, tokens[t].depth);
    frame.name = NameBefore(t);
    if (opening.kind == Kind::kObject && opening.head_end > t + 1 && tokens[t + 2].word)
      frame.inherits_vmt = objects_with_vmt.count(LowerAscii(Text(t + 2))) != 0;
    frames.push_back(std::move(frame));
  }

  // A field's record type written out in the field (" a,b:record x,y:Integer;
  // end;", " items:array[0..1] of packed record ... end;") is a record of its
  // own, declared in front of the structure that holds the field and named
  // after that structure and the field's first name (" Owner_a=record
  // x,y:Integer;end;"); the field names it (" a,b:Owner_a;"). A type's array
  // of such records names them after the type (" TArr_element").
  void OpenAnonymous(size_t t) {
    const size_t head = Follows(t, "packed") || Follows(t, "bitpacked") ? t - 1 : t;
    std::string owner = frames.empty() ? std::string() : frames.back().name;
    std::string field = FieldNameBefore(t);
    if (field.empty()) {
      if (std::string type = NameBefore(t); !type.empty()) owner = std::move(type);
      field = "element";
    }
    const std::string name = UnusedName(owner + "_" + field);
    // A type outside any structure waits for its element's record.
    if (units.size() == 1)
      BeginWritten(head);
    else
      Route(tokens[head].first - 1);
    Append(units.back(), name, tokens[head].first);
    copied = tokens[t].last;
    Begin(t, Fate::kHoisted);
    const std::string packing = head == t ? std::string() : std::string(Text(head)) + " ";
    Append(units.back(), " " + name + "=" + packing + "record", tokens[head].first);
    Frame frame(Kind::kRecord, tokens[t].depth);
    frame.name = name;
    frame.anonymous = true;
    frames.push_back(std::move(frame));
  }

  // The "end" of an anonymous record ends its declaration; a ";" after it
  // ends the field that names it. Returns the last token taken.
  size_t CloseAnonymous(size_t t) {
    Route(tokens[t].first - 1);
    Append(units.back(), "end;", tokens[t].first);
    copied = tokens[t].last;
    frames.pop_back();
    Complete();
    if (!IsSymbol(t + 1, ';') || tokens[t + 1].depth != tokens[t].depth) return t;
    Unit& owner = units.back();
    OutLine& line = IsBlankText(owner.current.text) && !owner.lines.empty() ? owner.lines.back() : owner.current;
    line.text += ";";
    copied = tokens[t + 1].last;
    return t + 1;
  }

  // ---- Variant parts ----

  // The depth at which the innermost structure's fields stand: its own, or
  // inside the brackets of the branch under way; -1 between a variant
  // part's branches, where its labels stand.
  int FieldDepth() const {
    const Frame& frame = frames.back();
    if (frame.parts.empty()) return frame.depth;
    const VariantPart& part = frame.parts.back();
    return part.stage == PartStage::kBranch ? part.depth + 1 : -1;
  }

  bool AmongFields(size_t t) const { return InBody() && tokens[t].depth == FieldDepth(); }

  bool BeginsVariantPart(size_t t) const {
    return Is(t, "case") && !frames.empty() && frames.back().kind == Kind::kRecord && AmongFields(t);
  }

  void BeginPart(size_t t) {
    Skip(t);
    VariantPart part;
    part.depth = tokens[t].depth;
    frames.back().parts.push_back(part);
  }

  void Mark(VariantMark mark, size_t t) {
    Route(tokens[t].first - 1);
    Append(units.back(), VariantMarkMember(mark), tokens[t].first);
  }

  void EndPart(size_t t) {
    Mark(VariantMark::kPartEnds, t);
    frames.back().parts.pop_back();
  }

  // A branch's last field may leave out its ";".
  void EndField() {
    Unit& unit = units.back();
    OutLine& line = IsBlankText(unit.current.text) && !unit.lines.empty() ? unit.lines.back() : unit.current;
    const std::string text = TrimRight(line.text);
    if (!text.empty() && text.back() != ';') line.text += ";";
  }

  bool InPartHead() const {
    return !frames.empty() && !frames.back().parts.empty() && frames.back().parts.back().stage == PartStage::kHead;
  }

  // Reads token t as part of the innermost structure's variant part, if it
  // is: the head up to "of" gives the tag's field and the part's mark, the
  // labels go, a branch's brackets give way to the mark of its start and
  // its last field's ";". False for what the walk reads as usual: the
  // fields of a branch and the structure's "end".
  bool FollowVariantPart(size_t t) {
    if (frames.empty() || frames.back().parts.empty()) return false;
    Frame& frame = frames.back();
    VariantPart& part = frame.parts.back();
    const int depth = tokens[t].depth;
    if (Is(t, "end") && depth == frame.depth) return false;
    switch (part.stage) {
      case PartStage::kHead:
        if (IsSymbol(t, ':') && depth == part.depth) part.tagged = true;
        if (!Is(t, "of") || depth != part.depth) return true;
        if (part.tagged) {
          Route(tokens[t].first - 1);
          Append(units.back(), ";", tokens[t].first);
        }
        copied = tokens[t].last;
        Append(units.back(), VariantMarkMember(VariantMark::kPartBegins), tokens[t].first);
        part.stage = PartStage::kLabels;
        return true;
      case PartStage::kLabels:
        // The bracket of the branch that holds this part closes: the part
        // ends with the branch.
        if (IsSymbol(t, ')') && depth < part.depth) {
          EndPart(t);
          return FollowVariantPart(t);
        }
        Skip(t);
        if (IsSymbol(t, '(') && depth == part.depth && FollowsSymbol(t, ':')) {
          if (part.branched) Append(units.back(), VariantMarkMember(VariantMark::kBranchBegins), tokens[t].first);
          part.branched = true;
          part.stage = PartStage::kBranch;
        }
        return true;
      case PartStage::kBranch:
        if (!IsSymbol(t, ')') || depth != part.depth) return false;
        Route(tokens[t].first - 1);
        EndField();
        Skip(t);
        part.stage = PartStage::kLabels;
        return true;
    }
    return false;
  }

  // A token among the fields of a variant part's branch.
  void FollowField(size_t& t) {
    if (!tokens[t].word) return;
    if (BeginsVariantPart(t)) {
      BeginPart(t);
    } else if (Is(t, "end")) {
      if (frames.back().anonymous && frames.back().depth == tokens[t].depth) t = Close(t);
    } else if (auto opening = OpeningAt(t); opening && opening->anonymous) {
      Open(t, *opening);
      t = opening->head_end;
    }
  }

  // The declaration under way goes, from its start to the ";" that ends it.
  void DropDeclaration(size_t t) {
    if (units.size() > 1) {
      units.back().fate = Fate::kDropped;
      return;
    }
    Route(tokens[t].first - 1);
    units[0].current = {};
    Begin(t, Fate::kDropped);
  }

  // A generic type ("generic TList<T> = class", "TPair<K, V> = record") is
  // a template: only its specialisations have a layout.
  bool DeclaresGeneric(size_t equals) const {
    for (size_t k = piece_first; k < equals; ++k)
      if (IsSymbol(k, '<') || Is(k, "generic")) return true;
    return false;
  }

  // The structure's "end": its variant parts end with it. Returns the last
  // token taken.
  size_t Close(size_t t) {
    while (!frames.back().parts.empty()) EndPart(t);
    if (frames.back().anonymous) return CloseAnonymous(t);
    const Frame frame = std::move(frames.back());
    frames.pop_back();
    if (frame.kind != Kind::kObject) return t;
    if (frame.wants_vmt && !frame.inherits_vmt) {
      // After the object's own fields, before its "end".
      Route(tokens[t].first - 1);
      Unit& unit = units.back();
      if (unit.fate == Fate::kDropped) {
      } else if (IsBlankText(unit.current.text))
        unit.lines.push_back(OutLine{" Vmt:Pointer;", OriginAt(tokens[t].first)});
      else
        unit.current.text += " Vmt:Pointer;";
    }
    if ((frame.wants_vmt || frame.inherits_vmt) && !frame.name.empty()) objects_with_vmt.insert(LowerAscii(frame.name));
    return t;
  }

  // After a ";", a directive that still belongs to the declaration before
  // it: a word (" cdecl ;"), or a bracket with nothing after it but ";"
  // (" [ internproc : fpc_in_x ] ;").
  bool DirectiveFollows(size_t t) const {
    if (t + 1 < tokens.size() && tokens[t + 1].word)
      return IsDirectiveBefore(Text(t + 1), t + 2 < tokens.size() ? Text(t + 2) : std::string_view());
    if (!IsSymbol(t + 1, '[')) return false;
    for (size_t k = t + 2; k < tokens.size(); ++k)
      if (tokens[k].depth == tokens[t + 1].depth && IsSymbol(k, ']')) return IsSymbol(k + 1, ';');
    return false;
  }

  // A ";" outside brackets ends the declarations that began at this depth,
  // unless a directive of theirs follows.
  void EndDeclaration(size_t t) {
    if (DirectiveFollows(t)) return;
    while (units.size() > 1 && units.back().base == frames.size()) Complete();
    if (units.size() == 1 && frames.empty()) Flush(units[0]);
  }

  void Walk(std::string_view statement, const std::vector<Stretch>& from) {
    s = statement;
    stretches = &from;
    tokens = Tokenize(s);
    copied = 0;
    bool piece_start = true;
    for (size_t t = 0; t < tokens.size(); ++t) {
      if (FollowVariantPart(t)) continue;
      if (tokens[t].depth > 0) {
        if (AmongFields(t)) FollowField(t);
        continue;
      }
      if (piece_start) piece_first = t;
      if (std::exchange(piece_start, false) && tokens[t].word && InBody() && TakeSectionWord(t)) {
        piece_start = true;
        continue;
      }
      if (IsSymbol(t, '=') && frames.size() == units.back().base && DeclaresGeneric(t)) DropDeclaration(t);
      if (tokens[t].word) {
        NoteObjectMethod(t);
        if (BeginsVariantPart(t)) {
          BeginPart(t);
        } else if (Is(t, "end") && !frames.empty()) {
          t = Close(t);
          if (IsSymbol(t, ';')) {
            piece_start = true;
            EndDeclaration(t);
          }
        } else if (auto opening = OpeningAt(t)) {
          Open(t, *opening);
          t = opening->head_end;
          piece_start = opening->kind != Kind::kCode;
        }
      } else if (IsSymbol(t, ';')) {
        Route(tokens[t].last);
        piece_start = true;
        EndDeclaration(t);
      }
    }
    // A variant part's head cut off by the statement's end holds the type
    // of its labels, which goes.
    if (InPartHead()) copied = Len(s);
    Route(Len(s));
    for (Unit& unit : units) Flush(unit);
  }
};

DeclarationWalk::DeclarationWalk(LineList& working, const LineList& source)
    : state_(std::make_unique<State>(working, source)) {}

DeclarationWalk::~DeclarationWalk() = default;

void DeclarationWalk::Add(std::string_view statement, const std::vector<Stretch>& stretches) {
  state_->Walk(statement, stretches);
}

void DeclarationWalk::Finish() {
  while (state_->units.size() > 1) state_->Complete();
  state_->Flush(state_->units[0]);
}

}  // namespace ct
