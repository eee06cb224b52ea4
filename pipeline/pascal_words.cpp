#include "pipeline/pascal_words.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "text/scan.h"

namespace ct {

namespace {

// Each list in ASCII order, lower case: the names stage asks about every
// word of every line.
template <size_t N>
bool OneOf(const std::string_view (&sorted)[N], std::string_view word) {
  if (word.size() > 16) return false;
  const std::string lower = LowerAscii(word);
  return std::binary_search(std::begin(sorted), std::end(sorted), std::string_view(lower));
}

constexpr std::string_view kReservedWords[] = {
    "and",       "array",          "as",        "asm",          "begin",   "case",     "class",   "const",
    "constructor", "destructor",   "dispinterface", "div",      "do",      "downto",   "else",    "end",
    "except",    "exports",        "file",      "finalization", "finally", "for",      "function", "goto",
    "if",        "implementation", "in",        "inherited",    "initialization", "inline", "interface", "is",
    "label",     "library",        "mod",       "nil",          "not",     "object",   "of",      "or",
    "out",       "packed",         "procedure", "program",      "property", "raise",   "record",  "repeat",
    "resourcestring", "set",       "shl",       "shr",          "then",    "threadvar", "to",     "try",
    "type",      "unit",           "until",     "uses",         "var",     "while",    "with",    "xor",
};

constexpr std::string_view kCallingConventions[] = {
    "cdecl", "far", "near", "pascal", "register", "safecall", "stdcall", "varargs", "winapi",
};

constexpr std::string_view kOtherDirectives[] = {
    "abstract",    "alias",       "assembler",    "compilerproc", "cppdecl",  "default",       "deprecated",
    "dispid",      "dynamic",     "experimental", "export",       "external", "final",         "forward",
    "hardfloat",   "inline",      "internconst",  "internproc",   "interrupt", "iocheck",      "library",
    "message",     "mwpascal",    "nodefault",    "noreturn",     "nostackframe", "oldfpccall", "overload",
    "override",    "platform",    "reintroduce",  "rtlproc",      "saveregisters", "softfloat", "static",
    "syscall",     "unimplemented", "virtual",
};

// The directives whose argument follows a colon.
constexpr std::string_view kColonDirectives[] = {"alias", "compilerproc", "internconst", "internproc"};

constexpr std::string_view kVisibilityWords[] = {"automated", "private", "protected", "public", "published"};

}  // namespace

bool IsReservedWord(std::string_view word) { return OneOf(kReservedWords, word); }

bool IsCallingConvention(std::string_view word) { return OneOf(kCallingConventions, word); }

bool IsDirectiveWord(std::string_view word) { return IsCallingConvention(word) || OneOf(kOtherDirectives, word); }

bool IsVisibilityWord(std::string_view word) { return OneOf(kVisibilityWords, word); }

bool IsDirectiveBefore(std::string_view word, std::string_view next) {
  if (!IsDirectiveWord(word)) return false;
  if (next == ":") return OneOf(kColonDirectives, word);
  return next != "," && next != "=";
}

}  // namespace ct
