#include "pipeline/output_entries.h"

#include "pipeline/output_scans.h"
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
    entries.push_back(std::move(entry));
    Pos semicolon = FindChar(mask, ';', close + 1);
    if (semicolon == 0) break;
    from = semicolon + 1;
    open = FindChar(mask, '{', from);
  }
  return entries;
}

bool IsLuaKeyword(std::string_view name) {
  static constexpr std::string_view kKeywords[] = {"and",   "break", "do",    "else", "elseif", "end",
                                                   "false", "for",   "function", "goto", "if",  "in",
                                                   "local", "nil",   "not",   "or",   "repeat", "return",
                                                   "then",  "true",  "until", "while"};
  for (std::string_view keyword : kKeywords)
    if (name == keyword) return true;
  return false;
}

std::string LuaMemberKey(std::string_view name) {
  if (!IsLuaKeyword(name)) return std::string(name);
  return "[ \"" + std::string(name) + "\" ]";
}

}  // namespace ct
