#include "pipeline/keyword_list.h"

#include "text/scan.h"

namespace ct {

namespace {

// The keyword entry of a line: its name before the first "=", quoted; a
// name that starts with "--" or "//" becomes a commented entry.
std::string KeywordLine(const std::string& line) {
  std::string name = Trim(GetValidToken(line, "=").token);
  if (name.empty()) return line;
  auto is_comment_byte = [](char c) { return c == '-' || c == '/'; };
  if (name.size() >= 2 && is_comment_byte(name[0]) && is_comment_byte(name[1]))
    return "--\t\"" + Trim(Tail(name, 3)) + "\",";
  return "\t\"" + name + "\",";
}

}  // namespace

void ConvertKeywordList(LineList& lines) {
  bool table_mode = false;
  size_t i = 0;
  // Each round either deletes line i or moves i on.
  while (i < lines.Count()) {
    std::string s = lines.Get(i);
    if (ContainsText(s, " BindGet ") || ContainsText(s, " BindSet ")) {
      lines.Delete(i);
      continue;
    }
    bool open = Contains(s, "{");
    bool close = Contains(s, "}");
    if (!open && !close) {
      s = KeywordLine(s);
    } else if (!table_mode) {
      if (open && !close) table_mode = true;
    } else if (open && close) {
      s = KeywordLine(s);
    } else if (close) {
      s = Trim(s) + ",";
    }
    lines.Put(i, std::move(s));
    ++i;
  }
}

}  // namespace ct
