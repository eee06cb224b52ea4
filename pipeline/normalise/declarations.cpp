#include "pipeline/normalise/declarations.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>

#include "pipeline/pascal_words.h"

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

struct Frame {
  explicit Frame(Kind structure, bool in_brackets = false) : kind(structure), bracketed(in_brackets) {}

  Kind kind;
  Section section = Section::kMembers;
  bool bracketed = false;  // an anonymous record inside brackets
  // Old-style objects: the name (lower case), whether an ancestor holds a
  // VMT pointer, and whether the object's own methods ask for one.
  std::string name;
  bool inherits_vmt = false;
  bool wants_vmt = false;
};

struct Opening {
  Kind kind;
  size_t head_end;  // the last token of the structure's head
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

struct DeclarationWalk::State {
  explicit State(LineList& list) : working(list) { units.push_back(Unit{}); }

  LineList& working;
  std::vector<Frame> frames;
  std::vector<Unit> units;  // units[0] writes straight to the list
  std::unordered_set<std::string> objects_with_vmt;

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

  // The name in front of the "=" before token t.
  std::string NameBefore(size_t t) const {
    for (size_t k = t; k > 1 && !IsSymbol(k - 1, ';'); --k)
      if (IsSymbol(k - 1, '=')) return tokens[k - 2].word ? LowerAscii(Text(k - 2)) : std::string();
    return {};
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
      if (!typed && !FollowsSymbol(t, ':') && !Follows(t, "of")) return std::nullopt;
      if (IsSymbol(t + 1, '>') || IsSymbol(t + 1, ',')) return std::nullopt;
      if (Is(t + 1, "helper")) return Opening{Kind::kNoData, HelperEnd(t + 1)};
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
    Frame frame(opening.kind);
    if (opening.kind == Kind::kObject) {
      frame.name = NameBefore(t);
      if (opening.head_end > t + 1 && tokens[t + 2].word)
        frame.inherits_vmt = objects_with_vmt.count(LowerAscii(Text(t + 2))) != 0;
    }
    frames.push_back(std::move(frame));
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

  void Close(size_t t) {
    const Frame frame = std::move(frames.back());
    frames.pop_back();
    if (frame.kind != Kind::kObject) return;
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
    if ((frame.wants_vmt || frame.inherits_vmt) && !frame.name.empty()) objects_with_vmt.insert(frame.name);
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

  // "record" and "end" inside brackets: an anonymous record in a variant.
  void FollowBracketed(size_t t) {
    if (Is(t, "end") && !frames.empty() && frames.back().bracketed) {
      frames.pop_back();
    } else if (Is(t, "record")) {
      auto opening = OpeningAt(t);
      if (opening && opening->kind == Kind::kRecord) frames.push_back(Frame(Kind::kRecord, true));
    }
  }

  void Walk(std::string_view statement, const std::vector<Stretch>& from) {
    s = statement;
    stretches = &from;
    tokens = Tokenize(s);
    copied = 0;
    bool piece_start = true;
    for (size_t t = 0; t < tokens.size(); ++t) {
      if (tokens[t].depth > 0) {
        FollowBracketed(t);
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
        if (Is(t, "end") && !frames.empty()) {
          Close(t);
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
    Route(Len(s));
    for (Unit& unit : units) Flush(unit);
  }
};

DeclarationWalk::DeclarationWalk(LineList& working) : state_(std::make_unique<State>(working)) {}

DeclarationWalk::~DeclarationWalk() = default;

void DeclarationWalk::Add(std::string_view statement, const std::vector<Stretch>& stretches) {
  state_->Walk(statement, stretches);
}

void DeclarationWalk::Finish() {
  while (state_->units.size() > 1) state_->Complete();
  state_->Flush(state_->units[0]);
}

}  // namespace ct
