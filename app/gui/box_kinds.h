// Which message boxes of a run are of one kind, so that a run over real
// declarations shows one box per kind instead of hundreds: the same text but
// for the numbers the run fills in.
#pragma once

#include <string>
#include <string_view>

namespace ct::gui {

// GBK in, GBK out.
std::string BoxKind(std::string_view caption, std::string_view text);

}  // namespace ct::gui
