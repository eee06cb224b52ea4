// The input file ClassTable.txt and its creation from the prelude.
#pragma once

#include <filesystem>
#include <string>

#include "text/line_list.h"

namespace ct {

std::filesystem::path InputPath(const std::filesystem::path& folder);

enum class PreludeWrite { kExisted, kWritten, kFailed };

// Writes the prelude as the input file when none exists; an existing file is
// never touched. On kFailed, `error` says why.
PreludeWrite WritePreludeIfMissing(const std::filesystem::path& folder, std::string& error);

// Whether `input` holds anything to convert: a line that is not blank and
// not the embedded prelude's own line at the same place.
bool HasDeclarations(const LineList& input);

// The first-start notice (GBK).
std::string PreludeNotice();

// Where a line came from, as every report names it after its own text:
// " (ClassTable.txt 第 453 行)" in GBK; empty for a line the pipeline made.
std::string WhereInInput(LineOrigin origin);

}  // namespace ct
