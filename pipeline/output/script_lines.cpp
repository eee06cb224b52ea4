#include "pipeline/output/script_lines.h"

#include <algorithm>
#include <array>

#include "pipeline/output/entries.h"
#include "text/scan.h"

namespace ct {

namespace {

enum class TokenKind { kName, kNumber, kString, kSymbol };

struct ScriptToken {
  TokenKind kind;
  std::string_view text;  // as written; a string's value is in `value`
  std::string value;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameByte(char c) { return IsDigit(c) || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The string literal that starts at `i` (a double quote), with the escapes
// the output writes: "\\" and a decimal "\ddd". Anything else inside it
// that Lua would read otherwise than as a plain byte (a line break, another
// escape) or no closing quote refuses the line.
bool ReadString(std::string_view line, size_t& i, std::string& value) {
  // Every round takes one byte or one escape.
  for (++i; i < line.size();) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c == '"') {
      ++i;
      return true;
    }
    if (c < 0x20 || c == 0x7F) return false;
    if (c != '\\') {
      value.push_back(line[i++]);
    } else if (i + 1 < line.size() && line[i + 1] == '\\') {
      value.push_back('\\');
      i += 2;
    } else if (i + 3 < line.size() && IsDigit(line[i + 1]) && IsDigit(line[i + 2]) && IsDigit(line[i + 3])) {
      const int byte = (line[i + 1] - '0') * 100 + (line[i + 2] - '0') * 10 + (line[i + 3] - '0');
      if (byte > 255) return false;
      value.push_back(static_cast<char>(byte));
      i += 4;
    } else {
      return false;
    }
  }
  return false;
}

// False for any byte or pair of bytes that is no token of the format: a
// comment ("--"), a long string ("[[", "[="), a number with a fraction or
// letters, or any other symbol.
bool Tokenize(std::string_view line, std::vector<ScriptToken>& tokens) {
  constexpr std::string_view kSymbols = "={},[].-";
  size_t i = 0;
  // Every round takes one token or one blank, or ends.
  while (i < line.size()) {
    const char c = line[i];
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    const size_t begin = i;
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (IsDigit(c)) {
      while (i < line.size() && IsDigit(line[i])) ++i;
      if (i < line.size() && (IsNameByte(line[i]) || line[i] == '.')) return false;
      tokens.push_back({TokenKind::kNumber, line.substr(begin, i - begin), {}});
    } else if (IsNameByte(c)) {
      while (i < line.size() && IsNameByte(line[i])) ++i;
      tokens.push_back({TokenKind::kName, line.substr(begin, i - begin), {}});
    } else if (c == '"') {
      std::string value;
      if (!ReadString(line, i, value)) return false;
      tokens.push_back({TokenKind::kString, line.substr(begin, i - begin), std::move(value)});
    } else if (c != '\0' && kSymbols.find(c) != std::string_view::npos) {
      if ((c == '-' && next == '-') || (c == '[' && (next == '[' || next == '='))) return false;
      tokens.push_back({TokenKind::kSymbol, line.substr(i, 1), {}});
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

// Reads the shapes of the format from a line's tokens; each shape is tried
// from the first token.
class ShapeReader {
 public:
  explicit ShapeReader(const std::vector<ScriptToken>& tokens) : tokens_(tokens) {}

  void Restart() { at_ = 0; }
  bool AtEnd() const { return at_ == tokens_.size(); }

  bool Symbol(char c) { return Take(TokenKind::kSymbol, std::string_view(&c, 1), nullptr); }
  bool Number() { return Take(TokenKind::kNumber, {}, nullptr); }
  bool String(std::string* value) { return Take(TokenKind::kString, {}, value); }
  // A name Lua reads as a variable: no keyword.
  bool Name(std::string* name) {
    if (at_ >= tokens_.size() || tokens_[at_].kind != TokenKind::kName || !IsPlainLuaName(tokens_[at_].text))
      return false;
    if (name) *name = std::string(tokens_[at_].text);
    ++at_;
    return true;
  }
  bool Word(std::string_view word) { return Take(TokenKind::kName, word, nullptr); }

  // A member key: a name, or "[ "string" ]".
  bool Key(std::string* key) {
    const size_t start = at_;
    if (Name(key)) return true;
    if (Symbol('[') && String(key) && Symbol(']')) return true;
    at_ = start;
    return false;
  }
  // A number, "- number", or a name the line reads.
  bool Value(std::vector<std::string>& reads) {
    std::string name;
    if (Name(&name)) {
      reads.push_back(std::move(name));
      return true;
    }
    const size_t start = at_;
    Symbol('-');
    if (Number()) return true;
    at_ = start;
    return false;
  }

 private:
  bool Take(TokenKind kind, std::string_view text, std::string* value) {
    if (at_ >= tokens_.size() || tokens_[at_].kind != kind) return false;
    if (!text.empty() && tokens_[at_].text != text) return false;
    if (value) *value = tokens_[at_].kind == TokenKind::kString ? tokens_[at_].value : std::string(tokens_[at_].text);
    ++at_;
    return true;
  }

  const std::vector<ScriptToken>& tokens_;
  size_t at_ = 0;
};

bool ReadEntry(ShapeReader& r, ScriptLine& out) {
  if (!(r.Key(&out.key) && r.Symbol('=') && r.Symbol('{') && r.Value(out.reads))) return false;
  // Every round takes ", value".
  while (r.Symbol(','))
    if (!r.Value(out.reads)) return false;
  if (!r.Symbol('}')) return false;
  r.Symbol(',');
  return r.AtEnd();
}

bool ReadConstant(ShapeReader& r, ScriptLine& out) {
  if (!(r.Name(&out.name) && r.Symbol('='))) return false;
  std::string text;
  return (r.String(&text) || r.Value(out.reads)) && r.AtEnd();
}

bool ReadBinding(ShapeReader& r, ScriptLine& out) {
  if (!(r.Name(&out.name) && r.Symbol('.'))) return false;
  if (r.Word("__index")) return r.Symbol('=') && r.Word("BindGet") && r.AtEnd();
  return r.Word("__newindex") && r.Symbol('=') && r.Word("BindSet") && r.AtEnd();
}

bool ReadLateReference(ShapeReader& r, ScriptLine& out) {
  if (!r.Name(&out.name)) return false;
  if (!((r.Symbol('.') && r.Name(&out.key)) || r.Key(&out.key))) return false;
  std::string target;
  if (!(r.Symbol('[') && r.Number() && r.Symbol(']') && r.Symbol('=') && r.Name(&target) && r.AtEnd())) return false;
  out.reads = {out.name, target};
  return true;
}

// A line that no shape reads may still open a table, under a name that is
// no Lua name.
ScriptLine OpeningOrNotData(std::string_view line) {
  constexpr std::string_view kOpening = "= {";
  const std::string text = TrimRight(line);
  if (text.size() > kOpening.size() && text.compare(text.size() - kOpening.size(), kOpening.size(), kOpening) == 0)
    return {ScriptLineKind::kTableOpening, Trim(text.substr(0, text.size() - kOpening.size())), {}, {}};
  return {};
}

}  // namespace

ScriptLine ReadScriptLine(std::string_view line) {
  std::vector<ScriptToken> tokens;
  tokens.reserve(16);
  if (!Tokenize(line, tokens)) return OpeningOrNotData(line);
  ShapeReader r(tokens);
  if (r.AtEnd()) return {ScriptLineKind::kBlank, {}, {}, {}};
  if (r.Symbol('}') && r.AtEnd()) return {ScriptLineKind::kClosing, {}, {}, {}};
  ScriptLine out;
  r.Restart();
  if (r.Name(&out.name) && r.Symbol('=') && r.Symbol('{')) {
    if (r.AtEnd()) return {ScriptLineKind::kTableOpening, out.name, {}, {}};
    if (r.Symbol('}') && r.AtEnd()) return {ScriptLineKind::kEmptyTable, out.name, {}, {}};
  }
  // Each shape starts afresh: a shape read halfway leaves nothing behind.
  const std::pair<ScriptLineKind, bool (*)(ShapeReader&, ScriptLine&)> shapes[] = {
      {ScriptLineKind::kEntry, ReadEntry},
      {ScriptLineKind::kConstant, ReadConstant},
      {ScriptLineKind::kBinding, ReadBinding},
      {ScriptLineKind::kLateReference, ReadLateReference},
  };
  for (const auto& [kind, read] : shapes) {
    out = ScriptLine{};
    r.Restart();
    if (read(r, out)) {
      out.kind = kind;
      return out;
    }
  }
  return OpeningOrNotData(line);
}

bool IsReservedGlobal(std::string_view name) {
  static constexpr std::array<std::string_view, 40> kReserved = {
      "_ENV",     "_G",       "_VERSION", "assert",   "collectgarbage", "coroutine", "debug",    "dofile",
      "error",    "getmetatable", "io",   "ipairs",   "load",           "loadfile",  "math",     "next",
      "os",       "package",  "pairs",    "pcall",    "print",          "rawequal",  "rawget",   "rawlen",
      "rawset",   "require",  "select",   "setmetatable", "string",     "table",     "tonumber", "tostring",
      "type",     "utf8",     "warn",     "xpcall",   "unpack",         "module",    "BindGet",  "BindSet"};
  return std::find(kReserved.begin(), kReserved.end(), name) != kReserved.end();
}

}  // namespace ct
