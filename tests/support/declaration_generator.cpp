#include "tests/support/declaration_generator.h"

#include <map>
#include <random>
#include <utility>

#include "text/scan.h"

namespace ct::testing {

void FormSample::AddText(std::string lines) { pieces_.push_back({std::move(lines), -1}); }

void FormSample::AddStructure(FormStructure structure) {
  pieces_.push_back({std::string(), static_cast<int>(structures_.size())});
  structures_.push_back(std::move(structure));
}

namespace {

// "a, b: T;" for neighbours of one type when grouping, "a: T;" otherwise.
std::vector<std::string> MemberDeclarations(const std::vector<FormMember>& members, MemberGroups groups) {
  std::vector<std::string> out;
  for (size_t i = 0; i < members.size();) {
    std::string names = members[i].name;
    size_t next = i + 1;
    while (groups == MemberGroups::kGrouped && next < members.size() && members[next].type == members[i].type)
      names += ", " + members[next++].name;
    out.push_back(names + ": " + members[i].type + ";" + members[i].note);
    i = next;
  }
  return out;
}

// The labels of a branch: a list, a range or a single value.
std::string BranchLabel(size_t branch) {
  if (branch == 0) return "0, 1";
  if (branch == 1) return "2..3";
  return std::to_string(branch + 2);
}

// "case Kind: Byte of" and its branches, on the record's line or a branch a
// line with its fields one a line; a branch's last field has no ";".
std::string VariantText(const FormVariant& v, MemberLayout layout, MemberGroups groups) {
  const bool one_line = layout == MemberLayout::kOneLine;
  std::string text = v.tag.empty() ? "case Integer of" : "case " + v.tag + ": Byte of";
  for (size_t b = 0; b < v.branches.size(); ++b) {
    std::vector<std::string> fields = MemberDeclarations(v.branches[b], groups);
    text += (one_line ? " " : "\n      ") + BranchLabel(b) + ": (";
    for (size_t k = 0; k < fields.size(); ++k) text += (k == 0 ? "" : one_line ? " " : "\n          ") + fields[k];
    if (!fields.empty()) text.pop_back();
    text += ");";
  }
  return text;
}

std::string StructureText(const FormStructure& s, MemberLayout layout, MemberGroups groups) {
  const std::string head = "  " + s.name + " = " + s.head;
  const std::string end = "end" + s.tail + ";\n";
  std::vector<std::string> members = MemberDeclarations(s.members, groups);
  if (!s.variant.branches.empty()) members.push_back(VariantText(s.variant, layout, groups));
  if (layout == MemberLayout::kOneLine) {
    std::string line = head;
    for (const std::string& member : members) line += " " + member;
    return line + " " + end;
  }
  std::string text = head + "\n";
  if (!s.routines.empty()) text += "  private\n";
  for (const std::string& member : members) text += "    " + member + "\n";
  for (const std::string& routine : s.routines) text += routine + "\n";
  return text + "  " + end;
}

}  // namespace

std::vector<FormMember> DeclaredMembers(const FormStructure& structure) {
  std::vector<FormMember> members = structure.members;
  if (!structure.variant.tag.empty()) members.push_back({structure.variant.tag, "Byte", ""});
  for (const std::vector<FormMember>& branch : structure.variant.branches)
    members.insert(members.end(), branch.begin(), branch.end());
  return members;
}

std::string FormSample::Text(MemberLayout layout, MemberGroups groups) const {
  std::string text;
  for (const Piece& piece : pieces_)
    text += piece.structure < 0 ? piece.text : StructureText(structures_[piece.structure], layout, groups);
  return text;
}

namespace {

class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}
  // The engine's own output, not a distribution: the same on every library.
  size_t Below(size_t n) { return n == 0 ? 0 : engine_() % n; }
  int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<size_t>(high - low + 1))); }
  bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }
  const std::string& Pick(const std::vector<std::string>& items) { return items[Below(items.size())]; }

 private:
  std::mt19937 engine_;
};

// Basic types of the prelude with a size and a code. Extended is left out:
// its size has two digits, which no array value can carry as its prefix.
const std::vector<std::string> kBasicTypes = {
    "Byte",     "Word",      "Integer", "Cardinal", "Shortint", "Smallint", "Longint",    "Int64",
    "Longword", "DWord",     "Boolean", "ByteBool", "WordBool", "LongBool", "Char",       "AnsiChar",
    "WideChar", "Single",    "Double",  "Real",     "Comp",     "Currency", "Pointer",    "PChar",
    "String",   "AnsiString", "WideString", "BOOL",  "THandle",  "TDateTime", "Real48"};
const std::vector<std::string> kPreludePointers = {"PInteger", "PByte", "PWord", "PLongint", "PDouble",
                                                   "PPChar",   "PCardinal", "PSingle", "PWideChar", "PShortString"};
const std::vector<std::string> kPreludeStructures = {"TRect", "TPoint"};
const std::vector<std::string> kPreludeClasses = {"TList", "TObject", "TStringList"};
const std::vector<std::string> kMemberWords = {"Count", "Flags", "Next", "Owner", "Data",  "Size",  "Kind",
                                               "Label", "Items", "State", "Value", "Left",  "Tag",   "Link",
                                               "Buffer", "Mode", "Depth", "Width", "Color", "Shape", "Total"};
// Comments between members: removed before anything else, whatever they
// hold, so they may stand in a one-line record too.
const std::vector<std::string> kNotes = {" { it's a note }", " (* a; b: c *)", " { end; }", " {}", " (* 'x' *)"};
const std::vector<std::string> kParameterLists = {"",
                                                  "(Sender: TObject)",
                                                  "(Sender: TObject; var Done: Boolean)",
                                                  "(a, b: Integer)",
                                                  "(const Text: String; Index: Integer)"};
// Pieces of string constants: everything here is structure outside a
// string and must stay text inside one.
const std::vector<std::string> kStringPieces = {
    "{",   "}",      ";",        ":",         "//",    "''",   "\\",      " { ",         "} ;",   "= {",
    "end;", " record ", "class(TObject)", "(*", "*)", "[", "]", "(", ")", ",", "^PInteger", "$FF", "..",
    " of ", "String[3]", "Press ", "to begin", "C:\\Temp\\", "\\\\server\\", "vt_Byte", "setmetatable",
    " = ", "a:b", "x;y", "It''s", " end ; ", "{0}", "nWholeSize :", "\"", "say \"hi\"", "\"{\"", "\";\""};

struct Planned {
  std::string name;
  bool is_class = false;
  bool embeds = true;  // may hold other records; a record that does not is embeddable anywhere
  std::string head;
};

class Generator {
 public:
  Generator(std::uint32_t seed, bool unknown_types) : random_(seed), unknown_types_(unknown_types) {}

  FormSample Run() {
    PlanStructures();
    sample_.AddText(Constants(3));
    sample_.AddText(Types());
    for (size_t i = 0; i < planned_.size(); ++i) {
      if (random_.Chance(15)) sample_.AddText(random_.Chance(50) ? "type\n" : Constants(1) + "type\n");
      sample_.AddStructure(Structure(i));
      if (!planned_[i].is_class && random_.Chance(35)) sample_.AddText(RecordAliases(i));
    }
    sample_.AddText(Trailing());
    return std::move(sample_);
  }

 private:
  // Every random choice is a statement of its own, so that the order of the
  // draws, and with it the sample of a seed, does not depend on the order in
  // which a compiler evaluates the operands of one expression.
  std::string Unique(const std::string& stem) { return stem + std::to_string(++counter_); }
  std::string Number(int low, int high) { return std::to_string(random_.Between(low, high)); }

  void PlanStructures() {
    for (int i = random_.Between(1, 2); i > 0; --i) interfaces_.push_back(Unique("IGen"));
    int records = random_.Between(4, 8);
    int classes = random_.Between(2, 5);
    while (records > 0 || classes > 0) {
      Planned p;
      p.is_class = classes > 0 && (records == 0 || random_.Chance(40));
      if (p.is_class) {
        --classes;
        p.name = Unique("TGenC");
        p.head = ClassHead();
        classes_.push_back(p.name);
      } else {
        --records;
        p.name = Unique("TGenR");
        p.head = random_.Chance(30) ? "packed record" : "record";
        p.embeds = random_.Chance(50);
        records_.push_back(p.name);
        if (!p.embeds) leaf_records_.push_back(p.name);
      }
      planned_.push_back(p);
    }
  }

  // A parent is one of the classes declared before, as the compiler wants.
  std::string ClassHead() {
    std::string parent;
    if (unknown_types_ && random_.Chance(10)) return "class(" + Unique("TNowhere") + ")";
    size_t choice = random_.Below(3);
    if (choice == 1) parent = "TObject";
    if (choice == 2 && !classes_.empty()) parent = random_.Pick(classes_);
    if (parent.empty()) return "class";
    if (random_.Chance(25)) parent += ", " + random_.Pick(interfaces_);
    return "class(" + parent + ")";
  }

  std::string StringLiteral() {
    std::string text;
    for (int i = random_.Between(1, 4); i > 0; --i) text += random_.Pick(kStringPieces);
    std::string literal = "'" + text + "'";
    if (random_.Chance(20)) literal += " + '" + random_.Pick(kStringPieces) + "'";
    if (random_.Chance(10)) literal += "#13#10'" + random_.Pick(kStringPieces) + "'";
    return literal;
  }

  std::string Constant() {
    if (constants_.empty()) return Number(2, 12);
    size_t form = random_.Below(5);
    if (form == 0) return Number(2, 12);
    if (form == 1) return std::string("$") + "0123456789ABCDEF"[random_.Below(16)] + "F";
    const std::string& other = random_.Pick(constants_);
    if (form == 2) return other + " * 2";
    if (form == 3) return other + " + 3";
    return "(" + other + " + 1) * 2";
  }

  std::string Constants(int at_least) {
    std::string text = "const\n";
    for (int i = random_.Between(at_least, at_least + 3); i > 0; --i) {
      std::string name = Unique("KGen");
      std::string value = Constant();
      text += "  " + name + " = " + value + ";\n";
      // Only a plain number can give a short string its length.
      if (IsIntegerText(value)) plain_constants_.push_back(name);
      constants_.push_back(name);
      if (random_.Chance(60)) {
        std::string string_name = Unique("SGen");
        text += "  " + string_name + " = " + StringLiteral() + ";\n";
      }
    }
    return text;
  }

  std::string EnumerationValues(int count) {
    std::string stem = Unique("ev") + "_";
    std::string values;
    for (int i = 1; i <= count; ++i) values += (i > 1 ? ", " : "") + stem + std::to_string(i);
    last_members_ = {stem + "1", stem + std::to_string(count)};
    return values;
  }

  // A small range, as a subrange type or an array's index: numbers, below
  // 0 too, an enumeration's members, characters.
  std::string Subrange() {
    switch (random_.Below(4)) {
      case 0: return "-" + Number(1, 3) + ".." + Number(0, 3);
      case 1: return random_.Pick(enumeration_ranges_);
      case 2: return "'a'..'" + std::string(1, "bcdef"[random_.Below(5)]) + "'";
    }
    return Number(0, 2) + ".." + Number(3, 30);
  }

  // Aliases of a record, declared after it: a chain, or a distinct type.
  std::string RecordAliases(size_t index) {
    std::string text = "type\n";
    std::string target = planned_[index].name;
    for (int i = random_.Between(1, 2); i > 0; --i) {
      std::string alias = Unique("TGenAl");
      std::string keyword = random_.Chance(30) ? "type " : "";
      text += "  " + alias + " = " + keyword + target + ";\n";
      record_aliases_[planned_[index].name].push_back(alias);
      target = alias;
    }
    return text;
  }

  std::string Types() {
    std::string text = "type\n";
    for (int i = random_.Between(1, 2); i > 0; --i) {
      std::string name = Unique("TGenEnum");
      int count = random_.Chance(15) ? 300 : random_.Between(2, 9);
      text += "  " + name + " = (" + EnumerationValues(count) + ");\n";
      enumerations_.push_back(name);
      enumeration_ranges_.push_back(last_members_[0] + ".." + last_members_[1]);
      std::string set = Unique("TGenSet");
      text += "  " + set + " = set of " + name + ";\n";
      named_sets_.push_back(set);
    }
    for (int i = random_.Between(1, 2); i > 0; --i) {
      std::string name = Unique("TGenRange");
      text += "  " + name + " = " + Subrange() + ";\n";
      subranges_.push_back(name);
    }
    for (const Planned& p : planned_) {
      if (!random_.Chance(50)) continue;
      std::string alias = "P" + p.name.substr(1);
      text += "  " + alias + " = ^" + p.name + ";\n";
      pointer_aliases_.push_back(alias);
    }
    for (int i = random_.Between(1, 3); i > 0; --i) {
      std::string name = Unique("TGenProc");
      text += "  " + name + " = " + RoutineType() + ";\n";
      procedural_types_.push_back(name);
    }
    for (int i = random_.Between(1, 2); i > 0; --i) {
      std::string name = Unique("TGenAlias");
      std::string keyword = random_.Chance(30) ? "type " : "";
      text += "  " + name + " = " + keyword + random_.Pick(kBasicTypes) + ";\n";
      aliases_.push_back(name);
    }
    std::string array = Unique("TGenArr");
    std::string high = Number(1, 7);
    text += "  " + array + " = array[0.." + high + "] of " + random_.Pick(kBasicTypes) + ";\n";
    aliases_.push_back(array);
    for (const std::string& name : interfaces_) text += Interface(name);
    for (const std::string& name : classes_) {
      if (random_.Chance(40)) text += "  " + name + " = class;\n";
      if (!random_.Chance(30)) continue;
      std::string reference = name + "Class";
      text += "  " + reference + " = class of " + name + ";\n";
      class_references_.push_back(reference);
    }
    return text;
  }

  std::string Interface(const std::string& name) {
    std::string guid = "['{" + std::to_string(10000000 + counter_++) + "-0000-0000-C000-000000000046}']";
    std::string head = random_.Chance(50) ? "interface" : "interface(IUnknown)";
    if (random_.Chance(30)) return "  " + name + " = " + head + " " + guid + " end;\n";
    return "  " + name + " = " + head + "\n    " + guid + "\n    function GetCount: Integer; stdcall;\n" +
           "    procedure SetCount(Value: Integer); stdcall;\n  end;\n";
  }

  std::string RoutineType() {
    std::string parameters = random_.Pick(kParameterLists);
    std::string type = random_.Chance(50) ? "procedure" + parameters : "function" + parameters + ": Integer";
    if (random_.Chance(40)) type += " of object";
    return type;
  }

  // A record that the structure at `owner` may hold by value without a
  // cycle: one that holds no records, or one declared before it.
  // An alias of a record declared before the owner stands for it.
  std::string EmbeddableRecord(size_t owner) {
    std::vector<std::string> choices = kPreludeStructures;
    for (const std::string& name : leaf_records_)
      if (name != planned_[owner].name) choices.push_back(name);
    for (size_t i = 0; i < owner; ++i) {
      if (planned_[i].is_class) continue;
      if (planned_[i].embeds) choices.push_back(planned_[i].name);
      auto aliases = record_aliases_.find(planned_[i].name);
      if (aliases != record_aliases_.end()) choices.insert(choices.end(), aliases->second.begin(), aliases->second.end());
    }
    return random_.Pick(choices);
  }

  // A record written out in its field, nested a level or two, packed or
  // not, or as an array's elements.
  std::string AnonymousRecord(int depth) {
    std::string text = random_.Chance(25) ? "packed record" : "record";
    for (int i = random_.Between(1, 3); i > 0; --i) {
      std::string type = depth < 2 && random_.Chance(25) ? AnonymousRecord(depth + 1) : random_.Pick(kBasicTypes);
      std::string name = Unique("f");
      text += " " + name + ": " + type + ";";
    }
    return text + " end";
  }

  std::string Bound() {
    size_t form = random_.Below(11);
    // Indexes that are types or written with their names.
    if (form == 6) return random_.Chance(50) ? "Boolean" : "Char";
    if (form == 7) return random_.Pick(enumerations_);
    if (form == 8) return random_.Pick(subranges_);
    if (form == 9) {
      const std::string& type = random_.Pick(enumerations_);
      return "Low(" + type + ")..High(" + type + ")";
    }
    if (form == 10) return Subrange();
    if (form == 0) return "0.." + random_.Pick(constants_) + " - 1";
    if (form == 1) return "1.." + random_.Pick(constants_);
    if (form == 2) return "0..(" + random_.Pick(constants_) + ")-1";
    // The size rules convert one "$" constant per field; a second stays
    // unread, so a field holds at most one.
    if (form == 3 && !hex_in_member_) {
      hex_in_member_ = true;
      return std::string("0..$") + "0123"[random_.Below(4)] + "F";
    }
    std::string low = Number(0, 1);
    return low + ".." + Number(2, 9);
  }

  std::string FixedArray(std::string element) {
    std::string bounds = Bound();
    if (random_.Chance(25)) bounds += ", 0.." + Number(1, 3);
    return "array[" + bounds + "] of " + element;
  }

  std::string ClassMember() {
    if (!class_references_.empty() && random_.Chance(30)) return random_.Pick(class_references_);
    if (random_.Chance(20)) return random_.Pick(kPreludeClasses);
    return random_.Pick(classes_);
  }

  std::string MemberType(size_t owner) {
    hex_in_member_ = false;
    if (unknown_types_ && random_.Chance(6))
      return random_.Chance(50) ? Unique("TNowhere") : FixedArray(Unique("TNowhere"));
    switch (random_.Below(30)) {
      case 26: return AnonymousRecord(0);
      case 27: return FixedArray(AnonymousRecord(1));
      case 28: return random_.Pick(subranges_);
      case 29: {
        const std::vector<std::string> inline_ranges = {"0..200", "-5..5", "1..70000", "-40000..40000",
                                                        "Low(Word)..High(Word)"};
        return random_.Chance(30) ? random_.Pick(enumeration_ranges_) : random_.Pick(inline_ranges);
      }
      case 0: return "^" + random_.Pick(kBasicTypes);
      case 1: return random_.Pick(kPreludePointers);
      case 2: return pointer_aliases_.empty() ? "^" + random_.Pick(records_) : random_.Pick(pointer_aliases_);
      case 3: return "^" + planned_[random_.Below(planned_.size())].name;
      case 4: return "String[" + Number(1, 80) + "]";
      case 5: return plain_constants_.empty() ? "ShortString" : "String[" + random_.Pick(plain_constants_) + "]";
      case 6: return "ShortString";
      case 7: return FixedArray(random_.Pick(kBasicTypes));
      case 8: return FixedArray(random_.Pick(kPreludePointers));
      case 9: return "array[0..(" + random_.Pick(constants_) + ")-1] of Char";
      case 10: return FixedArray("String[" + Number(1, 30) + "]");
      case 11: return "array of " + random_.Pick(kBasicTypes);
      case 12: return "array of " + random_.Pick(kPreludePointers);
      case 13: return "array of " + random_.Pick(records_);
      case 14: return "set of (" + EnumerationValues(random_.Between(1, 12)) + ")";
      case 15: return "set of 0.." + Number(1, 40);
      case 16: return random_.Pick(named_sets_);
      case 17: return random_.Pick(enumerations_);
      case 18: return RoutineType();
      case 19: return random_.Pick(procedural_types_);
      case 20: return ClassMember();
      case 21:
        if (!planned_[owner].embeds) return random_.Pick(kBasicTypes);
        return random_.Chance(70) ? EmbeddableRecord(owner) : FixedArray(EmbeddableRecord(owner));
      case 22: return random_.Pick(aliases_);
      case 23: {
        std::string type = random_.Pick(kBasicTypes);
        return type + (random_.Chance(50) ? " deprecated" : " platform");
      }
      case 24: return FixedArray(FixedArray(random_.Pick(kBasicTypes)));
      case 25: return random_.Chance(50) ? FixedArray(random_.Pick(procedural_types_))
                                         : "array of " + random_.Pick(procedural_types_);
    }
    return random_.Pick(kBasicTypes);
  }

  // Sections, methods and properties, which the conversion drops.
  std::vector<std::string> Routines(const FormStructure& s, bool is_class) {
    if (!random_.Chance(40)) return {};
    std::vector<std::string> lines = {"  public"};
    if (is_class) {
      lines.push_back("    constructor Create;");
      lines.push_back("    destructor Destroy; override;");
      lines.push_back("    class function Make(Count: Integer): TObject;");
      lines.push_back("    procedure Update(Sender: TObject); virtual;");
    }
    lines.push_back("    procedure Clear;");
    lines.push_back("    function IsEmpty: Boolean;");
    if (!s.members.empty())
      lines.push_back("    property " + s.members[0].name.substr(1) + ": Integer read " + s.members[0].name + ";");
    lines.push_back("  strict private");
    lines.push_back("    procedure SetCount(const Value: Integer); // it's a setter");
    if (is_class) lines.push_back("  published");
    return lines;
  }

  FormStructure Structure(size_t index) {
    const Planned& p = planned_[index];
    FormStructure s;
    s.name = p.name;
    s.head = p.head;
    // A derived class may add no member of its own to what it inherits.
    int count = random_.Between(p.is_class && p.head != "class" ? 0 : 1, 7);
    for (int i = 0; i < count; ++i) {
      // Runs of one type make the field groups of the grouped layout. Not
      // of a record written out: grouped, its fields share one type, which
      // is named after the first; apart, each field has its own.
      const bool repeat = i > 0 && random_.Chance(35) && s.members.back().type.find("record") == std::string::npos;
      std::string type = repeat ? s.members.back().type : MemberType(index);
      std::string name = Unique("m" + random_.Pick(kMemberWords));
      std::string note = random_.Chance(10) ? random_.Pick(kNotes) : std::string();
      s.members.push_back({name, type, note});
    }
    // A record's variant part comes after its members, and its methods
    // before them.
    if (!p.is_class && random_.Chance(30)) {
      if (random_.Chance(50)) s.variant.tag = Unique("mKind");
      for (int b = random_.Between(2, 3); b > 0; --b) {
        std::vector<FormMember> branch;
        for (int k = random_.Between(1, 3); k > 0; --k) {
          std::string type = MemberType(index);
          std::string name = Unique("m" + random_.Pick(kMemberWords));
          branch.push_back({name, type, ""});
        }
        s.variant.branches.push_back(std::move(branch));
      }
    }
    if (s.variant.branches.empty()) s.routines = Routines(s, p.is_class);
    if (random_.Chance(15)) s.tail = random_.Chance(50) ? " deprecated 'Use " + p.name + "X instead'" : " platform";
    return s;
  }

  std::string Trailing() {
    std::string count = Unique("GGen");
    std::string record = Unique("GGen");
    std::string text = "var\n  " + count + ": Integer;\n  " + record + ": " + random_.Pick(records_) + ";\n";
    std::string typed = Unique("KTyped");
    text += "const\n  " + typed + ": array[0..1] of Byte = (1, 2);\n";
    std::string name = Unique("SGen");
    return text + "  " + name + " = " + StringLiteral() + ";\n";
  }

  Random random_;
  const bool unknown_types_;
  FormSample sample_;
  int counter_ = 0;
  bool hex_in_member_ = false;
  std::vector<std::string> last_members_;  // the first and last of the enumeration written last
  std::vector<std::string> enumeration_ranges_, subranges_;
  std::map<std::string, std::vector<std::string>> record_aliases_;
  std::vector<Planned> planned_;
  std::vector<std::string> records_, leaf_records_, classes_, interfaces_;
  std::vector<std::string> constants_, plain_constants_, enumerations_, named_sets_, pointer_aliases_;
  std::vector<std::string> procedural_types_, aliases_, class_references_;
};

}  // namespace

FormSample GenerateFormSample(std::uint32_t seed, bool unknown_types) {
  return Generator(seed, unknown_types).Run();
}

}  // namespace ct::testing
