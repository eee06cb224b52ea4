// classtable layout [DIR] [NAME...] [--json]: the memory layout of the
// structures of the last run in DIR, read from its files.
#pragma once

#include <string>
#include <vector>

namespace ct::cli {

// `args` are the words after "layout". Returns the exit status.
int LayoutCommand(const std::vector<std::string>& args);

}  // namespace ct::cli
