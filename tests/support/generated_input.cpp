#include "tests/support/generated_input.h"

#include <array>
#include <string_view>
#include <vector>

#include "resources/prelude.h"

namespace ct::testing {

namespace {

// splitmix64: the same numbers on every platform and library, unlike the
// standard distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number from 0 to n - 1 (n > 0).
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  size_t Between(size_t low, size_t high) { return low + Below(high - low + 1); }
  bool Percent(int chance) { return chance > 0 && Below(100) < static_cast<size_t>(chance); }
  template <class T, size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[Below(N)];
  }

 private:
  std::uint64_t state_;
};

constexpr std::array<std::string_view, 18> kBasicTypes = {
    "Integer", "Word",   "Byte",     "LongWord", "Int64",   "Boolean", "Char",   "Double",  "Single",
    "Pointer", "PChar",  "String",   "Cardinal", "Smallint", "TPoint", "TRect",  "THandle", "ShortString",
};

// Names that many blocks declare again, each time with other contents.
constexpr std::array<std::string_view, 4> kSharedConstants = {"MaxLen", "BufSize", "Limit", "Count"};
constexpr std::array<std::string_view, 3> kSharedRecords = {"TShared", "TNode", "TInfo"};

// Another spelling of the same name: the lookups ignore ASCII case.
std::string Respelled(std::string_view name, Random& random) {
  std::string out(name);
  for (char& c : out) {
    if (random.Below(2) == 0) continue;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

class Writer {
 public:
  explicit Writer(const InputShape& shape) : shape_(shape), random_(shape.seed) {}

  std::string Run() {
    // Every block adds at least one line, so the count reaches the target.
    for (size_t block = 1; lines_ < shape_.lines; ++block) Block(block);
    if (shape_.unclosed_bracket) Line("  TBroken = (bOne, bTwo;");
    return std::move(text_);
  }

 private:
  void Line(std::string_view line) {
    text_ += line;
    text_ += "\r\n";
    ++lines_;
  }

  std::string Type(std::string name) {
    return random_.Percent(shape_.case_variants) ? Respelled(name, random_) : name;
  }

  std::string Basic() { return std::string(random_.Pick(kBasicTypes)); }

  void Constants(const std::string& k) {
    Line("const");
    Line("  MaxItems" + k + " = " + std::to_string(random_.Between(2, 64)) + ";");
    Line("  NameLen" + k + " = " + std::to_string(random_.Between(8, 40)) + ";");
    Line("  DescLen" + k + " = NameLen" + k + " * 2 + 4;");
    Line("  Levels" + k + " = MaxItems" + k + " div 4 + 1;");
    Line("  Mask" + k + " = $" + std::string(1, "0123456789ABCDEF"[random_.Below(16)]) + "F;");
    Line("  Title" + k + " = 'Block " + k + " { not a comment } // nor this';");
    if (random_.Percent(shape_.namesakes))
      Line("  " + std::string(random_.Pick(kSharedConstants)) + " = " + std::to_string(random_.Between(1, 99)) + ";");
    if (random_.Percent(shape_.variables)) {
      Line("var");
      Line("  Counter" + k + ": Integer;");
      Line("  Current" + k + ": TEntry" + k + ";");
      Line("const");
    }
    if (random_.Percent(shape_.quoted_names)) {
      Line("  Sample" + k + " = 'TEntry" + k + " = record Count: Integer; end;';");
      Line("  Hint" + k + " = 'TBase" + k + " = class(TObject) MaxItems" + k + "';");
    }
  }

  void Enumerations(const std::string& k) {
    Line("  TKind" + k + " = (kNone" + k + ", kOne" + k + ", kTwo" + k + ", kThree" + k + ");");
    Line("  TFlags" + k + " = set of (fA" + k + ", fB" + k + ", fC" + k + ", fD" + k + ");");
    Line("  TLevelSet" + k + " = set of 0..Levels" + k + ";");
    Line("  TSmall" + k + " = 0..255;");
  }

  void Fields(size_t count) {
    for (size_t f = 0; f < count; ++f) {
      std::string name = random_.Percent(shape_.namesakes) ? std::string(random_.Pick(kSharedConstants))
                                                           : "F" + std::to_string(f);
      std::string type = random_.Percent(shape_.unknown_types) ? "TMissing" + std::to_string(f) : Type(Basic());
      Line("    " + name + ": " + type + ";");
    }
  }

  // A record that names the entry before the entry is declared, then the
  // entry itself (packed), with strings, arrays and a pointer to itself.
  void Records(const std::string& k, size_t block) {
    Line("  PEntry" + k + " = ^TEntry" + k + ";");
    Line("  TTable" + k + " = record");
    Line("    Count: Integer;");
    Line("    Head: " + Type("TEntry" + k) + ";");
    Line("    Entries: array[0..MaxItems" + k + " - 1] of " + Type("TEntry" + k) + ";");
    Line("  end;");
    Line("");
    Line(std::string("  TEntry") + k + " = " + (block % 2 ? "packed record" : "record"));
    Line("    Name: String[NameLen" + k + "];");
    Line("    Desc: array[0..DescLen" + k + " - 1] of Char;");
    Line("    Kind: " + Type("TKind" + k) + ";");
    Line("    Flags: TFlags" + k + ";");
    Line("    Levels: TLevelSet" + k + ";");
    Line("    X, Y, Z: Integer;");
    Line("    Next: PEntry" + k + ";");
    Fields(random_.Between(2, 8));
    Line("  end;");
    if (random_.Percent(shape_.namesakes)) {
      Line("  " + Type(std::string(random_.Pick(kSharedRecords))) + " = record");
      Fields(random_.Between(1, 4));
      Line("  end;");
    }
    if (random_.Percent(shape_.namesakes)) {
      Line("  TSharedClass = class(TObject)");
      Fields(random_.Between(1, 3));
      Line("  end;");
    }
  }

  // A chain of classes: each block's base class derives from the previous
  // block's owner for a few blocks, then a chain starts again.
  void Classes(const std::string& k, size_t block) {
    const std::string previous = std::to_string(block - 1);
    const std::string parent = block % 4 == 1 ? "" : "(" + Type("TOwner" + previous) + ")";
    Line("  TBase" + k + " = class" + parent);
    Line("  private");
    Line("    FTable: " + Type("TTable" + k) + ";");
    Line("    FOwner: TOwner" + k + ";");
    Line("    FCount" + k + ": Integer;");
    Line("    FName: String[NameLen" + k + "];");
    Line("    FMask: array[0..Mask" + k + "] of Byte;");
    Fields(random_.Between(1, 6));
    Line("  protected");
    Line("    function GetCount: Integer; virtual;");
    Line("  public");
    Line("    constructor Create(AOwner: TOwner" + k + ");");
    Line("    destructor Destroy; override;");
    Line("    procedure Run(const Name: string;");
    Line("      Count: Integer); virtual;");
    Line("    property Count: Integer read FCount" + k + ";");
    Line("  end;");
    Line("");
    Line("  TOwner" + k + " = class(TBase" + k + ")");
    Line("    FItems: array of " + Type("TEntry" + k) + ";");
    Line("    FEntry: ^TEntry" + k + ";");
    Line("    FTitle: ShortString;");
    if (block > 1) {
      const std::string earlier = std::to_string(random_.Between(1, block - 1));
      Line("    FOld: " + Type("TEntry" + earlier) + ";");
      Line("    FOldKind: TKind" + earlier + ";");
    }
    Fields(random_.Between(1, 5));
    Line("  end;");
  }

  // One line over the token limit: a record with hundreds of fields and a
  // long string constant.
  void LongLines(const std::string& k) {
    // Long member names keep the member count, which several stages walk
    // once per member, low.
    std::string wide = "  TWide" + k + " = record";
    for (size_t f = 0; wide.size() < 21000; ++f)
      wide += " W" + std::to_string(f) + "_" + std::string(120, 'w') + ": Integer;";
    Line(wide + " end;");
    Line("const");
    Line("  Long" + k + " = '" + std::string(20500, 'x') + " TEntry" + k + "';");
    Line("type");
  }

  void Block(size_t block) {
    const std::string k = std::to_string(block);
    Line("// block " + k);
    Constants(k);
    Line("type");
    Line("  TOwner" + k + " = class;");
    Enumerations(k);
    Records(k, block);
    if (shape_.long_lines && block % 5 == 1) LongLines(k);
    Classes(k, block);
    Line("");
  }

  const InputShape& shape_;
  Random random_;
  std::string text_;
  size_t lines_ = 0;
};

}  // namespace

std::string GenerateDeclarations(const InputShape& shape) { return Writer(shape).Run(); }

std::string GenerateClassTable(const InputShape& shape) {
  return ReadPrelude(kPreludeResource) + "\r\n" + GenerateDeclarations(shape);
}

std::string GenerateStressInput(StressShape shape, size_t count) {
  std::string text = ReadPrelude(kPreludeResource) + "\r\ntype\r\n";
  switch (shape) {
    case StressShape::kWideRecord:
      text += "  TWide = record";
      for (size_t i = 0; i < count; ++i) text += " f" + std::to_string(i) + (i % 3 ? ": Integer;" : ": Byte;");
      text += " end;\r\n";
      break;
    case StressShape::kOneLine:
      for (size_t i = 0; i < count; ++i)
        text += "TR" + std::to_string(i) + " = record a: Integer; b: Byte; c: array[0..3] of Word; end; ";
      text += "\r\n";
      break;
    case StressShape::kEmbeddersFirst:
      for (size_t i = 0; i < count; ++i)
        text += "  TE" + std::to_string(i) + " = record x: Byte; inner: TE" + std::to_string(i + 1) + "; end;\r\n";
      text += "  TE" + std::to_string(count) + " = record x: Integer; end;\r\n";
      break;
  }
  return text;
}

}  // namespace ct::testing
