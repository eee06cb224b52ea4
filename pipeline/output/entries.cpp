#include "pipeline/output/entries.h"

#include "pipeline/output/scans.h"
#include "text/scan.h"

namespace ct {

std::vector<MemberEntry> MemberEntries(std::string_view table_line) {
  std::vector<MemberEntry> entries;
  const std::string mask = MaskQuotedStrings(table_line);
  Pos opening = FindTableOpening(table_line);
  if (opening == 0) return entries;
  Pos from = opening + 3;
  // Each round starts after the closing brace of the entry before.
  for (Pos open = FindChar(mask, '{', from); open != 0;) {
    Pos close = FindChar(mask, '}', open + 1);
    if (close == 0) break;
    MemberEntry entry;
    entry.name = Trim(GetTokenOutsideQuotes(Slice(table_line, from, open - 1), ':').token);
    std::string rest = Slice(table_line, open + 1, close - 1);
    while (!rest.empty()) entry.items.push_back(Trim(CutAtChar(rest, ',', false)));  // every cut shortens the rest
    Pos semicolon = FindChar(mask, ';', close + 1);
    entry.first = from;
    entry.last = semicolon == 0 ? Len(table_line) : semicolon;
    entries.push_back(std::move(entry));
    if (semicolon == 0) break;
    from = semicolon + 1;
    open = FindChar(mask, '{', from);
  }
  return entries;
}

namespace {

bool IsLuaKeyword(std::string_view name) {
  static constexpr std::string_view kKeywords[] = {"and",   "break", "do",    "else", "elseif", "end",
                                                   "false", "for",   "function", "goto", "if",  "in",
                                                   "local", "nil",   "not",   "or",   "repeat", "return",
                                                   "then",  "true",  "until", "while"};
  for (std::string_view keyword : kKeywords)
    if (name == keyword) return true;
  return false;
}

// The name as the inside of a Lua string. Its backslashes arrive doubled
// (the input's first step escapes them all for Lua), so Lua reads back the
// name as declared. A quote would end the string and put the quote pairing
// of the later steps out of step: it is written, like a control byte, as a
// decimal escape.
std::string LuaStringContent(std::string_view name) {
  std::string out;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || byte < 0x20 || byte == 0x7F) {
      out.push_back('\\');
      out += std::to_string(byte / 100) + std::to_string(byte / 10 % 10) + std::to_string(byte % 10);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

bool IsLuaIdentifier(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name)
    if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  return true;
}

bool IsPlainLuaName(std::string_view name) { return IsLuaIdentifier(name) && !IsLuaKeyword(name); }

std::string LuaMemberKey(std::string_view name) {
  if (IsPlainLuaName(name)) return std::string(name);
  return "[ \"" + LuaStringContent(name) + "\" ]";
}

}  // namespace ct
