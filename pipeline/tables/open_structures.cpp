// A record or class whose "end ;" is missing takes in whatever follows it:
// the next declarations become members of a table that ends wherever the
// next table does, or vanishes with the end of the input. Nothing later can
// tell, so the table form is checked here, right after the rewrite.
#include <algorithm>
#include <string>

#include "pipeline/input_file.h"
#include "pipeline/stop_request.h"
#include "pipeline/tables/tables.h"
#include "pipeline/texts.h"
#include "text/characters.h"
#include "text/gbk.h"

namespace ct {

namespace {

// Braces opened minus braces closed by a line's structure (its mask).
long BraceBalance(std::string_view mask) {
  long balance = 0;
  // Every round moves past one character.
  for (size_t i = 0; i < mask.size(); i += CharacterLength(mask, i)) {
    if (mask[i] == '{') ++balance;
    if (mask[i] == '}') --balance;
  }
  return balance;
}

// " X = 5 ; ", " V = { ": a name defined before any member colon, which no
// member of a table is.
bool DeclaresAName(std::string_view mask) {
  const size_t equals = mask.find('=');
  const size_t colon = mask.find(':');
  return equals != std::string_view::npos && (colon == std::string_view::npos || equals < colon);
}

std::string NameDefinedBy(std::string_view line, std::string_view mask) {
  return Trim(line.substr(0, mask.find('=')));
}

}  // namespace

bool ReportOpenStructures(const LineList& working, Reporter& reporter) {
  bool sound = true;
  // "结构 U（ClassTable.txt 第 3 行） 没有以 end; 结束..." and what follows.
  auto report = [&](size_t opening, const std::string& what) {
    const std::string& line = working.Get(opening);
    const std::string name = Gbk(texts::kOpenStructureHead) + NameDefinedBy(line, MaskQuotedStrings(line));
    reporter.Log(Gbk(texts::kMarker) + name + WhereInInput(working.Origin(opening)) + what);
    reporter.Problem(ProblemKind::kFailure, name + what, working.Origin(opening));
    sound = false;
  };
  long depth = 0;
  size_t opening = 0;  // the outermost table still open
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string& line = working.Get(i);
    const std::string mask = MaskQuotedStrings(line);
    if (depth > 0 && DeclaresAName(mask)) {
      report(opening, Gbk(texts::kOpenStructureDeclaration) + NameDefinedBy(line, mask) + WhereInInput(working.Origin(i)));
      depth = 0;
    }
    if (depth == 0) opening = i;
    depth = std::max(0L, depth + BraceBalance(mask));
  }
  if (depth > 0) report(opening, Gbk(texts::kOpenStructureAtEnd));
  if (!sound) reporter.Message(Gbk(texts::kCaptionConfirm), Gbk(texts::kOpenStructureBox), MessageIcon::kError);
  return sound;
}

}  // namespace ct
