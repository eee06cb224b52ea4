#include "pipeline/input_file.h"

#include "pipeline/texts.h"
#include "resources/prelude.h"
#include "text/files.h"
#include "text/gbk.h"
#include "text/line_list.h"
#include "text/paths.h"
#include "text/scan.h"

namespace ct {

std::filesystem::path InputPath(const std::filesystem::path& folder) {
  return folder / std::string(texts::kInputFileName);
}

PreludeWrite WritePreludeIfMissing(const std::filesystem::path& folder, std::string& error) {
  switch (KindOfPath(InputPath(folder))) {
    case PathKind::kFile:
    case PathKind::kBrokenLink:  // not followed: the prelude goes nowhere the user did not put it
      return PreludeWrite::kExisted;
    case PathKind::kOther:
      error = "cannot write " + PathText(InputPath(folder)) + ": something that is no file stands there";
      return PreludeWrite::kFailed;
    case PathKind::kNothing:
      break;
  }
  LineList prelude;
  prelude.SetText(ReadPrelude(kPreludeResource));
  if (!SaveLines(prelude, InputPath(folder), error)) return PreludeWrite::kFailed;
  return PreludeWrite::kWritten;
}

bool HasDeclarations(const LineList& input) {
  LineList prelude;
  prelude.SetText(ReadPrelude(kPreludeResource));
  bool as_prelude = true;  // every line so far is the prelude's
  for (size_t i = 0; i < input.Count(); ++i) {
    const std::string line = TrimRight(input.Get(i));
    as_prelude = as_prelude && i < prelude.Count() && line == TrimRight(prelude.Get(i));
    if (!as_prelude && !line.empty()) return true;
  }
  return false;
}

std::string PreludeNotice() {
  return Gbk(texts::kPreludeNoticeHead) + std::string(texts::kInputFileName) + Gbk(texts::kPreludeNoticeTail);
}

std::string WhereInInput(LineOrigin origin) {
  if (origin == kNoOrigin) return {};
  return Gbk(texts::kInputLineHead) + std::string(texts::kInputFileName) + Gbk(texts::kInputLineMiddle) +
         std::to_string(origin) + Gbk(texts::kInputLineTail);
}

}  // namespace ct
