// The two token layouts of a line: the compact form, where symbols touch
// their neighbours, and the loosened form, where every symbol stands between
// single spaces. Both leave the inside of string literals alone.
#include <array>
#include <string>
#include <string_view>

#include "pipeline/line_forms.h"

#include "pipeline/outside_strings.h"
#include "pipeline/stop_request.h"
#include "text/characters.h"

namespace ct {

namespace {

struct Substitution {
  std::string_view from;
  std::string_view to;
};

// Order matters: each symbol first loses the space before it, then the one
// after it. A caret only loses the space after it: it binds to the type it
// points to ("^ PGUID" is "^PGUID").
constexpr std::array<Substitution, 29> kCompactions = {{
    {" (", "("}, {"( ", "("}, {" )", ")"}, {") ", ")"}, {" {", "{"}, {"{ ", "{"}, {" }", "}"},
    {"} ", "}"}, {" [", "["}, {"[ ", "["}, {" ]", "]"}, {"] ", "]"}, {" =", "="}, {"= ", "="},
    {" ,", ","}, {", ", ","}, {" ;", ";"}, {"; ", ";"}, {" :", ":"}, {": ", ":"}, {" .", "."},
    {". ", "."}, {" +", "+"}, {"+ ", "+"}, {" -", "-"}, {"- ", "-"}, {" *", "*"}, {"* ", "*"},
    {"^ ", "^"},
}};

// A single "." is not here, so a qualified name stays one token.
constexpr std::array<Substitution, 14> kLoosenings = {{
    {"(", " ( "}, {")", " ) "}, {"{", " { "}, {"}", " } "}, {"[", " [ "}, {"]", " ] "}, {"=", " = "},
    {",", " , "}, {";", " ; "}, {":", " : "}, {"..", " .. "}, {"+", " + "}, {"-", " - "}, {"*", " * "},
}};

template <size_t N>
void Substitute(std::string& s, const std::array<Substitution, N>& table) {
  // Most lines hold few of the symbols; a line without one is left as it
  // is instead of being copied. A name spelt in GBK keeps its characters
  // whole, whatever their second bytes look like.
  for (const Substitution& sub : table)
    if (s.find(sub.from) != std::string::npos) s = ReplaceAllCharacters(s, sub.from, sub.to);
}

}  // namespace

std::string CompactLine(std::string_view line) {
  std::string padded = " " + std::string(line) + " ";
  return RewriteOutsideStrings(padded, [](std::string& s) {
    s = CollapseSpaces(ReplaceChar(s, '\t', ' '));
    Substitute(s, kCompactions);
  });
}

std::string LoosenLine(std::string_view line) {
  return RewriteOutsideStrings(line, [](std::string& s) {
    Substitute(s, kLoosenings);
    s = CollapseSpaces(s);
  });
}

void LoosenText(LineList& list) {
  for (size_t i = 0; i < list.Count(); ++i) {
    ThrowIfStopRequested();
    list.Put(i, LoosenLine(list.Get(i)));
  }
}

}  // namespace ct
